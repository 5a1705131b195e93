#pragma once

#include <optional>
#include <vector>

#include <QDate>
#include <QString>
#include <QStringList>

#include "DatabaseFile.h"

// Daily safety copies of the database, kept in the folder "backups" beside
// the database file as "Ostrevanka21-YYYY-MM-DD.spb"; the newest 30 stay.
// Nothing here asks or tells the user.
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
        QString path;
    };

    // The folder of the copies: "backups" in the database file's own folder.
    static QString folderFor(const QString& databasePath);
    // "Ostrevanka21-2026-12-10.spb"
    static QString fileName(const QDate& day);
    // The day a copy's file name stands for; nothing for any other name.
    static std::optional<QDate> dateOf(const QString& fileName);
    // The copies beside a database, newest first.
    static std::vector<Copy> list(const QString& databasePath);

    // Copies the database file as it is on disk to the copy of `day`, unless
    // that copy exists or there is no file, atomically; then keeps the newest
    // 30 copies. A failure leaves every earlier copy as it was. The file is
    // read, checked and written `chunkSize` bytes at a time, never whole.
    static constexpr qint64 ReadChunk = 1024 * 1024;
    static Result takeDaily(const QString& databasePath, const QDate& day,
                            const DatabaseFile::SaveFileFactory& makeFile = {},
                            qint64 chunkSize = ReadChunk);
    // Deletes the copies after the newest 30 (never the copy of `kept`) and
    // nothing else; returns what it deleted.
    static QStringList prune(const QString& databasePath, const QDate& kept);
};
