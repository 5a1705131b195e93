#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>

#include "DatabaseFile.h"
#include "core/SubscriberTable.h"

// Safety copies of the database, kept in the folder "backups" beside the
// database file: the day's copy "Ostrevanka21-YYYY-MM-DD.spb" and the table
// kept before a restore, "Ostrevanka21-YYYY-MM-DD-HHMMSS-before-restore.spb".
// The newest 30 of both kinds stay. Nothing here asks or tells the user.
class SafetyCopies final {
public:
    static constexpr int Keep = 30;
    static inline const QString FolderName = QStringLiteral("backups");

    enum class Error {
        None,
        FolderNotMade,   // the folder "backups" could not be made
        ReadFailed,      // the database file could not be read
        DatabaseDamaged, // the file on disk would not load: it never joins the copies
        WriteFailed,     // the copy could not be written; nothing is left of it
        NoRoom,          // the disk could not hold the copy and the next save together
    };
    struct Result {
        Error error = Error::None;
        bool made = false; // false too when the day's copy was there or there is no file
        QString path;      // the copy, or the folder or file that failed
        QString detail;    // the system's word on a failure
        bool ok() const { return error == Error::None; }
    };
    struct Copy {
        QDate date;
        QTime time; // 00:00:00 for the day's copy
        bool beforeRestore = false;
        QString path;
    };

    // The folder of the copies: "backups" in the database file's own folder.
    static QString folderFor(const QString& databasePath);
    // "Ostrevanka21-2026-12-10.spb"
    static QString fileName(const QDate& day);
    // "Ostrevanka21-2026-12-10-140507-before-restore.spb"
    static QString beforeRestoreName(const QDateTime& when);
    // What a copy's file name stands for, its path the name itself; nothing
    // for any other name.
    static std::optional<Copy> parseName(const QString& fileName);
    // The copies beside a database, newest first: by date, then time.
    static std::vector<Copy> list(const QString& databasePath);

    // Every copy "X.spb" has the payments journal as it was beside it,
    // "X.pay", when there was one; pruning a copy takes its journal too.

    // Copies the database file as it is on disk to the copy of `day`, unless
    // that copy exists or there is no file, atomically; then keeps the newest
    // 30 copies. A failure leaves every earlier copy as it was. The file is
    // read, checked and written `chunkSize` bytes at a time, never whole.
    // The copy is not made (NoRoom) when the disk would then have less than
    // `leaveFree` bytes left for the database file.
    static constexpr qint64 ReadChunk = 1024 * 1024;
    static Result takeDaily(const QString& databasePath, const QDate& day,
                            const DatabaseFile::SaveFileFactory& makeFile = {},
                            qint64 chunkSize = ReadChunk, qint64 leaveFree = 0);
    // Writes `table` (line breaks cleaned in the copy, not in the table) and,
    // when given, the journal's bytes as the copy taken before a restore at
    // `when`, atomically; then keeps the newest 30 copies.
    static Result takeBeforeRestore(const QString& databasePath, const SubscriberTable& table,
                                    const std::optional<QByteArray>& journal, const QDateTime& when,
                                    const DatabaseFile::SaveFileFactory& makeFile = {});
    // After a save that failed: deletes `copy` (and its journal) when the
    // database's disk lacks room for `fileBytes` and has it without the copy.
    // true when the copy is gone.
    static bool giveWayToSave(const QString& copy, const QString& databasePath, qint64 fileBytes);
    // Deletes the copies after the newest 30 (never `kept`) and nothing
    // else; returns what it deleted.
    static QStringList prune(const QString& databasePath, const QString& kept);
};
