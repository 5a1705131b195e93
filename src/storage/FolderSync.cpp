#include "FolderSync.h"

#include <QFile>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

bool SyncFolder(const QString& folder) {
#if defined(Q_OS_UNIX)
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
#else
    // Windows commits a rename with the file's metadata.
    return true;
#endif
}
