#include "FileMapping.h"

#include <algorithm>
#include <cstring>

#include <QFile>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef MADV_POPULATE_READ
#define MADV_POPULATE_READ 22 // Linux 5.14; an older kernel refuses it and the file is read
#endif
#endif

FileMapping::FileMapping(char* base, std::size_t size) : m_base(base), m_size(size) {}

std::shared_ptr<FileMapping> FileMapping::map(QFile& file) {
#if defined(Q_OS_LINUX)
    const int fd = file.handle();
    struct stat before {};
    if (fd < 0 || fstat(fd, &before) != 0 || !S_ISREG(before.st_mode) || before.st_size <= 0)
        return {};
    const auto size = std::size_t(before.st_size);
    void* p = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED)
        return {};
    // Paged in now: a read error is an answer here instead of a signal on
    // some later access. A file that changed size meanwhile is read instead.
    struct stat after {};
    if (madvise(p, size, MADV_POPULATE_READ) != 0 || fstat(fd, &after) != 0 ||
        after.st_size != before.st_size) {
        munmap(p, size);
        return {};
    }
    return std::shared_ptr<FileMapping>(new FileMapping(static_cast<char*>(p), size));
#else
    Q_UNUSED(file);
    return {};
#endif
}

FileMapping::~FileMapping() {
#if defined(Q_OS_LINUX)
    munmap(m_base, m_size);
#endif
}

QByteArray FileMapping::bytes() const {
    return QByteArray::fromRawData(m_base, qsizetype(m_size));
}

bool FileMapping::makePrivate() {
#if defined(Q_OS_LINUX)
    if (m_private.load())
        return true;
    const auto page = std::size_t(sysconf(_SC_PAGESIZE));
    const std::size_t total = (m_size + page - 1) / page * page;
    // A chunk at a time, so the copy never holds the file twice in memory.
    constexpr std::size_t Chunk = 1024 * 1024;
    for (std::size_t at = 0; at < total; at += Chunk) {
        const std::size_t n = std::min(Chunk, total - at);
        void* fresh = mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (fresh == MAP_FAILED)
            return false;
        std::memcpy(fresh, m_base + at, n);
        // Moved over the file's pages in one step: a reader finds the same
        // bytes before and after.
        if (mprotect(fresh, n, PROT_READ) != 0 ||
            mremap(fresh, n, n, MREMAP_MAYMOVE | MREMAP_FIXED, m_base + at) == MAP_FAILED) {
            munmap(fresh, n);
            return false;
        }
    }
    m_private.store(true);
    return true;
#else
    return false;
#endif
}
