#include "Backup.h"

#include <QFileInfo>

#include "JournalFile.h"

using namespace Qt::StringLiterals;

namespace {

Backup::Result fromLoad(const DatabaseFile::LoadResult& r) {
    using S = DatabaseFile::Status;
    using E = Backup::Error;
    Backup::Result out;
    switch (r.status) {
    case S::Ok:
        out.error = E::None;
        break;
    case S::NotFound:
        out.error = E::NotFound;
        break;
    case S::AccessDenied:
        out.error = E::AccessDenied;
        break;
    case S::Empty:
        out.error = E::Empty;
        break;
    case S::FormatError:
        out.error = E::FormatError;
        out.badLine = r.badLine;
        break;
    case S::TooManyLines:
        out.error = E::TooManyLines;
        break;
    case S::ReadError:
        out.error = E::Other;
        break;
    }
    return out;
}

Backup::Source readChecked(const QString& path, int separators) {
    Backup::Source source;
    const auto r = DatabaseFile::readAndCheck(path, separators, &source.bytes);
    source.check = fromLoad(r);
    source.lineCount = r.lineCount;
    if (source.check.ok()) {
        JournalFile::Read journal = JournalFile::read(JournalFile::pathFor(path));
        // Without its journal the restore would take the backup for one that has none.
        if (journal.ok)
            source.journal = std::move(journal.bytes);
        else
            source.check.error = Backup::Error::Other;
    }
    if (!source.check.ok())
        source.bytes.clear();
    return source;
}

Backup::Result writeFailed() {
    return {Backup::Error::WriteFailed, 0};
}

} // namespace

QString Backup::proposedFileName(const QDateTime& when) {
    return when.toString(u"dd.MM.yyyy hh"_s) + u'ч' + when.toString(u"mm"_s) + u"мин "_s +
           DatabaseFile::FileName;
}

QString Backup::withDefaultExtension(const QString& chosen) {
    if (chosen.isEmpty())
        return chosen;
    const QString name = QFileInfo(chosen).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const bool hasExtension =
        dot > 0 && dot + 1 < name.size() && !QStringView(name).sliced(dot + 1).contains(u' ');
    if (hasExtension)
        return chosen;
    return chosen.endsWith(u'.') ? chosen + u"spb"_s : chosen + u".spb"_s;
}

Backup::Result Backup::write(const QString& path, const SubscriberTable& table,
                             const std::optional<QByteArray>& journal,
                             const DatabaseFile::SaveFileFactory& makeFile) {
    SubscriberTable cleaned(table);
    DatabaseFile::cleanLineBreaks(cleaned);
    if (!JournalFile::writeWith(path, DatabaseFile::producing(DatabaseFile::serialize(cleaned)),
                                journal, makeFile))
        return writeFailed();
    return {};
}

Backup::Source Backup::readBackup(const QString& path) {
    return readChecked(path, DatabaseFile::Separators);
}

Backup::Result Backup::restoreBackup(const Source& source, const QString& databasePath,
                                     const std::optional<QByteArray>& journal,
                                     const DatabaseFile::SaveFileFactory& makeFile) {
    if (!source.check.ok())
        return source.check;
    // Through a temporary file and a rename: an interrupted copy never leaves
    // half a database behind.
    if (!JournalFile::writeWith(databasePath, DatabaseFile::producing(source.bytes), journal,
                                makeFile))
        return writeFailed();
    return {};
}

Backup::Source Backup::readVersion10(const QString& path) {
    return readChecked(path, Version10Separators);
}

SubscriberTable Backup::convertVersion10(const Source& source) {
    SubscriberTable table;
    if (!source.check.ok())
        return table;
    if (DatabaseFile::parse(source.bytes, table, Version10Separators).status !=
        DatabaseFile::Status::Ok)
        return SubscriberTable();
    DatabaseFile::cleanLineBreaks(table, Version10Separators);
    return table;
}

Backup::Result Backup::restoreVersion10(const Source& source, const QString& databasePath,
                                        const std::optional<QByteArray>& journal,
                                        const DatabaseFile::SaveFileFactory& makeFile) {
    if (!source.check.ok())
        return source.check;
    SubscriberTable table = convertVersion10(source);
    const bool written =
        DatabaseFile::saveThrough(table, [&](const std::function<bool(QIODevice&)>& produce) {
            return JournalFile::writeWith(databasePath, produce, journal, makeFile);
        });
    if (!written)
        return writeFailed();
    return {};
}
