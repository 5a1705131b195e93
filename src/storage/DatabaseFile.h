#pragma once

#include <functional>
#include <memory>

#include <QByteArray>
#include <QString>

#include "core/FileMapping.h"
#include "core/SubscriberTable.h"

class QIODevice;
class QSaveFile;

// The database file: one line per subscriber in Windows-1251, each holding
// the texts of columns 1..2513 followed by "|", ended by CR LF. Years after
// 2024 add whole 313-column blocks to every line (YearLayout.h).
class DatabaseFile final {
public:
    static constexpr int Separators = 2513;
    static constexpr int OldSeparators = 2128; // version 1.0
    static inline const QString FileName = QStringLiteral("Ostrevanka21.spb");

    enum class Status { Ok, NotFound, Empty, FormatError, TooManyLines, AccessDenied, ReadError };
    struct LoadResult {
        Status status = Status::Ok;
        int badLine = 0; // 1-based, for FormatError
        int lineCount = 0;
    };

    // How load() gets the bytes: read into the program's memory, or, where
    // the system can, mapped from its file cache (FileMapping.h), which is
    // faster but leaves the table's bytes the file's until the mapping is
    // made private.
    enum class Read { IntoMemory, Mapped };
    // Reads and checks the file and, only when it is sound, replaces the
    // table's rows 1..n and sets the subscriber count.
    static LoadResult load(const QString& path, SubscriberTable& table,
                           Read read = Read::IntoMemory);
    // The same on bytes already read; separators: 2513 (every field after the
    // 2513th is read too), or 2128 for version 1.0 (nothing after the 2128th).
    // A line with a field past the last column of 2099 is a format error.
    // `mapping`, when given, holds `bytes`, and the table keeps it.
    static LoadResult parse(const QByteArray& bytes, SubscriberTable& table,
                            int separators = Separators, std::shared_ptr<FileMapping> mapping = {});
    // Only checks the lines (at most 501, each with enough separators and
    // none past the last column). Lines end as DatabaseLines.h says.
    // The same rules as the loader, checked as the bytes arrive: DatabaseCheck.h.
    static LoadResult check(const QByteArray& bytes, int separators);
    static LoadResult readAndCheck(const QString& path, int separators, QByteArray* bytes);

    // Removes line breaks from every stored cell holding a CR, as leaving a
    // cell does (LineBreaks.h), and stores the cleaned texts back.
    // lastCol 0: every column a row holds.
    static void cleanLineBreaks(SubscriberTable& table, int lastCol = 0);
    // The file's bytes for rows 1..subscriberCount. A "|" left in a cell is
    // written as "¦" so the line keeps its fields; a character with no
    // Windows-1251 form is written as "?".
    static QByteArray serialize(const SubscriberTable& table);

    // A save holds at most this much of the file in memory besides the table
    // (up to twice the longest line where a line is longer).
    static constexpr qsizetype WriteBuffer = 1024 * 1024;
    // The bytes serialize() gives for the table with its line breaks
    // cleaned, written to `out` through a buffer of `bufferSize` bytes; a row
    // whose cells hold a CR is cleaned in the table as it is reached. The
    // table ends up cleaned even when writing fails (false).
    static bool write(QIODevice& out, SubscriberTable& table, qsizetype bufferSize = WriteBuffer);

    using SaveFileFactory = std::function<std::unique_ptr<QSaveFile>(const QString& path)>;
    // Cleans line breaks and writes atomically (write() into a temporary
    // file): a failed write leaves the previous file as it was. false on failure.
    static bool save(const QString& path, SubscriberTable& table,
                     const SaveFileFactory& makeFile = {}, qsizetype bufferSize = WriteBuffer);
    // The same through `writeFile`, which gets what writes the table's bytes
    // and puts them in place (with the payments journal, say).
    using Writer = std::function<bool(const std::function<bool(QIODevice&)>& produce)>;
    static bool saveThrough(SubscriberTable& table, const Writer& writeFile,
                            qsizetype bufferSize = WriteBuffer);
    // Writes bytes atomically, then syncs the folder so that the rename
    // itself survives a power cut.
    // *errorText, when given, says what failed.
    static bool writeAtomically(const QString& path, const QByteArray& bytes,
                                const SaveFileFactory& makeFile = {}, QString* errorText = nullptr);
    // The same with the bytes coming from `produce`, which gets the open file
    // and returns false to give up (the previous file stays as it was).
    static bool writeAtomically(const QString& path, const std::function<bool(QIODevice&)>& produce,
                                const SaveFileFactory& makeFile = {}, QString* errorText = nullptr);
    // What hands `bytes` (shared, not copied) to the open file.
    static std::function<bool(QIODevice&)> producing(const QByteArray& bytes);
    // One subscriber with every cell empty.
    static bool createNew(const QString& path, SubscriberTable& table);
};
