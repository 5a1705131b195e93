#include "DatabaseRecovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "FolderSync.h"
#include "JournalFile.h"
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
        QByteArray bytes = file.readAll();
        if (file.error() != QFile::NoError)
            continue;
        JournalFile::Read journal = JournalFile::read(JournalFile::pathFor(copy.path));
        if (!journal.ok)
            continue;
        Candidate candidate{copy.date, copy.time,        copy.beforeRestore,
                            copy.path, std::move(bytes), std::move(journal.bytes)};
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
    const QString journal = JournalFile::pathFor(databasePath);
    const bool hasJournal = QFileInfo::exists(journal);
    // The table's and the journal's kept names end alike.
    const QString ending = damagedName(when).mid(DatabaseFile::FileName.size());
    QString kept = folder.filePath(DatabaseFile::FileName + ending);
    QString keptJournal = journal + ending;
    for (int n = 2; QFileInfo::exists(kept) || (hasJournal && QFileInfo::exists(keptJournal));
         ++n) {
        kept = folder.filePath(DatabaseFile::FileName + ending + u'-' + QString::number(n));
        keptJournal = journal + ending + u'-' + QString::number(n);
    }
    // A rename keeps the very bytes; it never replaces an existing file.
    if (!QFile::rename(databasePath, kept)) {
        result.error = Error::DamagedNotKept;
        return result;
    }
    if (hasJournal && !QFile::rename(journal, keptJournal)) {
        QFile::rename(kept, databasePath);
        result.error = Error::DamagedNotKept;
        return result;
    }
    SyncFolder(folder.absolutePath());
    result.damagedPath = kept;
    if (!JournalFile::writeWith(databasePath, DatabaseFile::producing(copy.bytes), copy.journal,
                                makeFile)) {
        // The next start finds the damaged file again and may offer the copy again.
        QFile::rename(kept, databasePath);
        if (hasJournal)
            QFile::rename(keptJournal, journal);
        SyncFolder(folder.absolutePath());
        result.error = Error::RestoreFailed;
        result.damagedPath.clear();
    }
    return result;
}
