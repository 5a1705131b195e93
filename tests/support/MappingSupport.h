#pragma once

#include <QtGlobal>

#if defined(Q_OS_LINUX)
#include <cerrno>
#include <sys/mman.h>
#include <unistd.h>
#ifndef MADV_POPULATE_READ
#define MADV_POPULATE_READ 22
#endif
#endif

// Whether files are mapped here: on Linux 5.14 and later, which can page a
// mapping in and answer with an error. Elsewhere FileMapping gives way to a read.
inline bool FilesAreMapped() {
#if defined(Q_OS_LINUX)
    const auto page = size_t(sysconf(_SC_PAGESIZE));
    void* p = mmap(nullptr, page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return false;
    const bool known = madvise(p, page, MADV_POPULATE_READ) == 0 || errno != EINVAL;
    munmap(p, page);
    return known;
#else
    return false;
#endif
}
