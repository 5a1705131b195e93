#include "DatabaseLock.h"

#include <QDateTime>
#include <QFileInfo>

using namespace Qt::StringLiterals;

DatabaseLock::DatabaseLock(const QString& databasePath) : m_file(pathFor(databasePath)) {
    // Only a dead owner makes a lock stale: a program left open for days
    // still holds its database.
    m_file.setStaleLockTime(0);
}

DatabaseLock::~DatabaseLock() = default;

QString DatabaseLock::pathFor(const QString& databasePath) {
    return QFileInfo(databasePath).absoluteFilePath() + u".lock"_s;
}

DatabaseLock::Result DatabaseLock::take() {
    if (m_file.tryLock(0))
        return Result::Taken;
    if (m_file.error() != QLockFile::LockFailedError)
        return Result::Failed;
    // A power cut can leave the lock file empty: it names no owner, so no
    // owner can be found dead and it would refuse every start for good. One
    // that has been unreadable for a while is debris; a fresh one may be
    // another start writing it right now.
    qint64 pid = 0;
    QString host, app;
    const QFileInfo info(m_file.fileName());
    if (!m_file.getLockInfo(&pid, &host, &app) &&
        info.lastModified().secsTo(QDateTime::currentDateTime()) > UnreadableGraceSeconds &&
        m_file.removeStaleLockFile() && m_file.tryLock(0))
        return Result::Taken;
    return Result::HeldByOther;
}

void DatabaseLock::release() {
    m_file.unlock();
}

bool DatabaseLock::isTaken() const {
    return m_file.isLocked();
}
