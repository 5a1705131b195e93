#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "DatabaseFile.h"

class QIODevice;

// The files of the payments journal. The journal of any X.spb is X.pay
// beside it, and a table and its journal are written as one: whatever fails
// or is cut off, the two files on disk agree.
class JournalFile final {
public:
    // "X.pay" beside "X.spb" (or any other name); a file itself named
    // "X.pay" has "X.pay.pay", so that a journal never replaces its table.
    static QString pathFor(const QString& databasePath);
    // The bytes of the journal beside `databasePath`; 0 when there is none.
    static qint64 sizeFor(const QString& databasePath);

    // A journal file as read: no bytes when there is no file (an empty journal).
    struct Read {
        bool ok = true; // false: the file is there but could not be read
        std::optional<QByteArray> bytes;
        QString detail; // the system's word on a failure
    };
    static Read read(const QString& journalPath);

    // Where a restore sets the journal aside at `when`:
    // "<X.pay>.before-restore-YYYYMMDD-HHMMSS", "-2", "-3"... when taken.
    static QString setAsidePath(const QString& databasePath, const QDateTime& when);
    // The journals set aside beside a database, by name.
    static QStringList setAsidePaths(const QString& databasePath);

    // Writes the table through `produce` and, when given, the journal, so
    // that both files are replaced or neither is. Both go to files of their
    // own first ("<X.spb>.pending", "<X.pay>.pending"), each synced; the
    // table's rename is the moment the write is done, the journal's follows
    // it. Without a journal it is DatabaseFile::writeAtomically.
    static bool writeWith(const QString& databasePath,
                          const std::function<bool(QIODevice&)>& produce,
                          const std::optional<QByteArray>& journal,
                          const DatabaseFile::SaveFileFactory& makeFile = {});
    // Ends a write of both that was cut off (a crash, a power cut): with the
    // table's file still pending the table was never replaced, and both
    // pending files go; with only the journal's left, it is put in place.
    static void settle(const QString& databasePath);
};
