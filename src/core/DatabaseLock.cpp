#include "DatabaseLock.h"

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
    return m_file.error() == QLockFile::LockFailedError ? Result::HeldByOther : Result::Failed;
}

void DatabaseLock::release() {
    m_file.unlock();
}

bool DatabaseLock::isTaken() const {
    return m_file.isLocked();
}
