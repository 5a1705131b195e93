#pragma once

#include <optional>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include "DatabaseFile.h"

// Recovery of a damaged database from its safety copies (SafetyCopies).
// Nothing here asks or tells the user.
class DatabaseRecovery final {
public:
    struct Candidate {
        QDate date;
        QTime time; // 00:00:00 for a day's copy
        bool beforeRestore = false;
        QString path;
        QByteArray bytes;
        std::optional<QByteArray> journal; // the copy's payments journal, if it has one
    };
    enum class Error {
        None,
        DamagedNotKept, // the damaged file could not be moved aside; nothing changed
        RestoreFailed,  // the copy could not be written; the damaged file is back in place
    };
    struct Result {
        Error error = Error::None;
        QString damagedPath; // where the damaged file is kept
        bool ok() const { return error == Error::None; }
    };

    // A load that failed this way may be mended from a copy: the file is
    // there and readable, but its content is not a database.
    static bool canRecover(DatabaseFile::Status status);
    // The newest safety copy that loads (with its journal, when that can be
    // read), trying older ones when it does not.
    static std::optional<Candidate> newestUsable(const QString& databasePath);
    // "Ostrevanka21.spb.damaged-20261210-140500"
    static QString damagedName(const QDateTime& when);
    // Keeps the damaged file, unchanged, under its timestamped name (with
    // "-2", "-3"... when that name is taken, so nothing is overwritten), and
    // its journal as "Ostrevanka21.pay.damaged-..." with the same ending; then
    // puts the copy and the copy's journal (none when it has none) in place
    // of them, atomically.
    static Result restore(const QString& databasePath, const Candidate& copy, const QDateTime& when,
                          const DatabaseFile::SaveFileFactory& makeFile = {});
};
