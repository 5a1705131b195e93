#include "DatabaseLock.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

using namespace Qt::StringLiterals;

namespace {

// The test QLockFile makes before it looks for a dead owner: the machine id
// when both sides have one (two computers may share a host name), else the
// host name. Another computer's process cannot be looked up from here.
bool writtenElsewhere(const QString& lockPath, const QString& host) {
    QFile f(lockPath);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray machine = f.read(4096).split('\n').value(3);
    const QByteArray ours = QSysInfo::machineUniqueId();
    if (!machine.isEmpty() && !ours.isEmpty())
        return machine != ours;
    return !host.isEmpty() && host != QSysInfo::machineHostName();
}

} // namespace

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
    qint64 pid = 0;
    QString host, app;
    const QFileInfo info(m_file.fileName());
    if (m_file.getLockInfo(&pid, &host, &app)) {
        if (!writtenElsewhere(m_file.fileName(), host))
            return Result::HeldByOther;
        // Written when that program started; it is not touched again.
        m_holder = {host, info.lastModified()};
        return Result::HeldElsewhere;
    }
    // A power cut can leave the lock file empty: it names no owner, so no
    // owner can be found dead and it would refuse every start for good. One
    // that has been unreadable for a while is debris; a fresh one may be
    // another start writing it right now.
    if (info.lastModified().secsTo(QDateTime::currentDateTime()) > UnreadableGraceSeconds &&
        m_file.removeStaleLockFile() && m_file.tryLock(0))
        return Result::Taken;
    return Result::HeldByOther;
}

DatabaseLock::Result DatabaseLock::takeOver() {
    if (m_file.removeStaleLockFile() && m_file.tryLock(0))
        return Result::Taken;
    return take();
}

void DatabaseLock::release() {
    m_file.unlock();
}

bool DatabaseLock::isTaken() const {
    return m_file.isLocked();
}
