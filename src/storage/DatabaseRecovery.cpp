#include "DatabaseRecovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "FolderSync.h"
#include "SafetyCopies.h"

using namespace Qt::StringLiterals;

bool DatabaseRecovery::canRecover(DatabaseFile::Status status) {
    using S = DatabaseFile::Status;
    return status == S::FormatError || status == S::Empty || status == S::TooManyLines;
}

std::optional<DatabaseRecovery::Candidate>
DatabaseRecovery::newestUsable(const QString& databasePath) {
    for (const SafetyCopies::Copy& copy : SafetyCopies::list(databasePath)) {
        QFile file(copy.path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        Candidate candidate{copy.date, copy.time, copy.beforeRestore, copy.path, file.readAll()};
        if (file.error() != QFile::NoError)
            continue;
        SubscriberTable probe;
        if (DatabaseFile::parse(candidate.bytes, probe).status == DatabaseFile::Status::Ok)
            return candidate;
    }
    return std::nullopt;
}

QString DatabaseRecovery::damagedName(const QDateTime& when) {
    return DatabaseFile::FileName + u".damaged-"_s + when.toString(u"yyyyMMdd-HHmmss"_s);
}

DatabaseRecovery::Result DatabaseRecovery::restore(const QString& databasePath,
                                                   const Candidate& copy, const QDateTime& when,
                                                   const DatabaseFile::SaveFileFactory& makeFile) {
    Result result;
    const QDir folder = QFileInfo(databasePath).absoluteDir();
    const QString name = damagedName(when);
    QString kept = folder.filePath(name);
    for (int n = 2; QFileInfo::exists(kept); ++n)
        kept = folder.filePath(name + u'-' + QString::number(n));
    // A rename keeps the very bytes; it never replaces an existing file.
    if (!QFile::rename(databasePath, kept)) {
        result.error = Error::DamagedNotKept;
        return result;
    }
    SyncFolder(folder.absolutePath());
    result.damagedPath = kept;
    if (!DatabaseFile::writeAtomically(databasePath, copy.bytes, makeFile)) {
        // The next start finds the damaged file again and may offer the copy again.
        QFile::rename(kept, databasePath);
        SyncFolder(folder.absolutePath());
        result.error = Error::RestoreFailed;
        result.damagedPath.clear();
    }
    return result;
}
