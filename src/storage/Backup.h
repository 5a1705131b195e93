#pragma once

#include <optional>

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "DatabaseFile.h"
#include "core/SubscriberTable.h"

// Backup of the database, restore from a backup and the takeover of a
// version-1.0 database. Nothing here asks or tells the user: every step
// returns what went wrong and the window chooses the message.
class Backup final {
public:
    enum class Error {
        None,
        NotFound,     // the chosen file does not exist
        AccessDenied, // it cannot be opened for reading
        Empty,        // it holds no bytes
        FormatError,  // line `badLine` has too few separators
        TooManyLines, // more than 501 lines: more subscribers than the table holds
        WriteFailed,  // the target could not be written; it is unchanged
        Other,        // anything else (not a regular file, a read error, its journal unread)
    };
    struct Result {
        Error error = Error::None;
        int badLine = 0; // 1-based, for FormatError
        bool ok() const { return error == Error::None; }
    };
    // A chosen file, read and checked, ready to replace the database, and the
    // payments journal beside it (JournalFile.h), if there is one.
    struct Source {
        Result check;
        QByteArray bytes;
        int lineCount = 0;
        std::optional<QByteArray> journal;
    };

    static constexpr int Version10Separators = DatabaseFile::OldSeparators;

    // "08.12.2026 20ч56мин Ostrevanka21.spb"
    static QString proposedFileName(const QDateTime& when);

    // The chosen backup name with ".spb" added when it has no extension of
    // its own, so that the restore's "*.spb" filter shows the copy. What
    // follows the last dot is an extension only when it holds no space:
    // "10.12.2026 перед импортом" gets ".spb".
    static QString withDefaultExtension(const QString& chosen);

    // Writes rows 1..subscriberCount in the database format, line breaks
    // removed (the table itself is left as it is), and the journal's bytes,
    // when given, beside it. Atomic: a failed write leaves an earlier file of
    // that name and its journal as they were.
    static Result write(const QString& path, const SubscriberTable& table,
                        const std::optional<QByteArray>& journal = std::nullopt,
                        const DatabaseFile::SaveFileFactory& makeFile = {});

    // Reads a backup and checks every line for 2513 separators.
    static Source readBackup(const QString& path);
    // Puts a checked backup byte for byte in place of the database file and,
    // when given, `journal` in place of its journal, both or neither.
    static Result restoreBackup(const Source& source, const QString& databasePath,
                                const std::optional<QByteArray>& journal = std::nullopt,
                                const DatabaseFile::SaveFileFactory& makeFile = {});

    // Reads a version-1.0 database and checks every line for 2128 separators.
    static Source readVersion10(const QString& path);
    // The rows of a checked version-1.0 file in the current layout: column 1
    // the line number, columns 2..2128 the fields trimmed and without line
    // breaks, 2129..2513 empty. An unchecked source gives an empty table.
    static SubscriberTable convertVersion10(const Source& source);
    // Converts a checked version-1.0 file and writes it as the database file,
    // with `journal` as restoreBackup does.
    static Result restoreVersion10(const Source& source, const QString& databasePath,
                                   const std::optional<QByteArray>& journal = std::nullopt,
                                   const DatabaseFile::SaveFileFactory& makeFile = {});
};
