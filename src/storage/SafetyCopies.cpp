#include "SafetyCopies.h"

#include <algorithm>
#include <tuple>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStorageInfo>

#include "DatabaseCheck.h"
#include "JournalFile.h"

using namespace Qt::StringLiterals;

namespace {

const QString BeforeRestore = u"-before-restore"_s;

QString baseName() {
    return QFileInfo(DatabaseFile::FileName).completeBaseName(); // "Ostrevanka21"
}

// What `bytes` take on a disk that hands out `block`-byte blocks.
qint64 inBlocks(qint64 bytes, qint64 block) {
    return (bytes + block - 1) / block * block;
}

// A few blocks over a file's own, for the temporary files and the folders.
constexpr qint64 SpareBlocks = 4;

qint64 blockOf(const QStorageInfo& disk) {
    return std::max<qint64>(disk.blockSize(), 512);
}

// A copy's journal is written before the copy: the copy's name tells the
// copy is there, and it is there whole.
bool writeJournalCopy(const QString& copyPath, const std::optional<QByteArray>& journal,
                      const DatabaseFile::SaveFileFactory& makeFile, SafetyCopies::Result& result) {
    if (!journal)
        return true;
    const QString path = JournalFile::pathFor(copyPath);
    if (DatabaseFile::writeAtomically(path, *journal, makeFile, &result.detail))
        return true;
    result.error = SafetyCopies::Error::WriteFailed;
    result.path = path;
    return false;
}

// Whether the disk of the copies can take a copy of `copyBytes` and still
// leave `leaveFree` for the database file, when that is on the same disk. A
// disk that cannot tell is taken to have room: the write itself finds out.
bool hasRoom(const QString& copiesFolder, const QString& databasePath, qint64 copyBytes,
             qint64 leaveFree) {
    const QStorageInfo copies(copiesFolder);
    const qint64 available = copies.isValid() ? copies.bytesAvailable() : -1;
    if (available < 0)
        return true;
    const qint64 block = blockOf(copies);
    qint64 needed = inBlocks(copyBytes, block) + SpareBlocks * block;
    if (QStorageInfo(QFileInfo(databasePath).absolutePath()) == copies)
        needed += inBlocks(leaveFree, block);
    return available >= needed;
}

} // namespace

QString SafetyCopies::folderFor(const QString& databasePath) {
    return QFileInfo(databasePath).absoluteDir().filePath(FolderName);
}

QString SafetyCopies::fileName(const QDate& day) {
    return baseName() + u'-' + day.toString(u"yyyy-MM-dd"_s) + u".spb"_s;
}

QString SafetyCopies::beforeRestoreName(const QDateTime& when) {
    return baseName() + u'-' + when.toString(u"yyyy-MM-dd-HHmmss"_s) + BeforeRestore + u".spb"_s;
}

std::optional<SafetyCopies::Copy> SafetyCopies::parseName(const QString& fileName) {
    static const QRegularExpression pattern(
        u"^"_s + QRegularExpression::escape(baseName()) +
        u"-(\\d{4})-(\\d{2})-(\\d{2})(?:-(\\d{2})(\\d{2})(\\d{2})"_s + BeforeRestore +
        u")?\\.spb$"_s);
    const QRegularExpressionMatch m = pattern.match(fileName);
    if (!m.hasMatch())
        return std::nullopt;
    Copy copy;
    copy.date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    copy.beforeRestore = m.hasCaptured(4);
    copy.time = copy.beforeRestore
                    ? QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt())
                    : QTime(0, 0);
    if (!copy.date.isValid() || !copy.time.isValid())
        return std::nullopt;
    copy.path = fileName;
    return copy;
}

std::vector<SafetyCopies::Copy> SafetyCopies::list(const QString& databasePath) {
    const QDir folder(folderFor(databasePath));
    std::vector<Copy> copies;
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        if (auto copy = parseName(name)) {
            copy->path = folder.filePath(name);
            copies.push_back(*copy);
        }
    std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) {
        return std::tie(a.date, a.time, a.path) > std::tie(b.date, b.time, b.path);
    });
    return copies;
}

SafetyCopies::Result SafetyCopies::takeDaily(const QString& databasePath, const QDate& day,
                                             const DatabaseFile::SaveFileFactory& makeFile,
                                             qint64 chunkSize, qint64 leaveFree) {
    Result result;
    const QString folder = folderFor(databasePath);
    result.path = QDir(folder).filePath(fileName(day));
    if (!QFileInfo(databasePath).isFile() || QFileInfo::exists(result.path))
        return result;
    if (!QDir().mkpath(folder)) {
        result.error = Error::FolderNotMade;
        result.path = folder;
        return result;
    }
    // The copy never stops a save: it gives way when both would not fit.
    const QString journalPath = JournalFile::pathFor(databasePath);
    if (!hasRoom(folder, databasePath,
                 QFileInfo(databasePath).size() + JournalFile::sizeFor(databasePath), leaveFree)) {
        result.error = Error::NoRoom;
        result.path = folder;
        return result;
    }
    const JournalFile::Read journal = JournalFile::read(journalPath);
    if (!journal.ok) {
        result.error = Error::ReadFailed;
        result.path = journalPath;
        result.detail = journal.detail;
        return result;
    }
    const QString copy = result.path;
    if (!writeJournalCopy(copy, journal.bytes, makeFile, result))
        return result;
    // Whatever keeps the copy from being made takes its journal back.
    const auto journalBack = qScopeGuard([&] {
        if (journal.bytes && !result.made)
            QFile::remove(JournalFile::pathFor(copy));
    });
    QFile source(databasePath);
    const auto readFailed = [&] {
        result.error = Error::ReadFailed;
        result.path = databasePath;
        result.detail = source.errorString();
        return result;
    };
    if (!source.open(QIODevice::ReadOnly))
        return readFailed();
    // A damaged file on disk would crowd good copies out of the newest 30.
    DatabaseCheck check(DatabaseFile::Separators);
    QByteArray chunk(std::max<qint64>(chunkSize, 1), Qt::Uninitialized);
    bool unreadable = false;
    // Reads the file to its end, checking it and handing it on to `out` while
    // `out` takes it and the file can still be sound. The file is read on even
    // then: a file that cannot be read is told as such, whatever else failed.
    const auto copyTo = [&](QIODevice* out) {
        for (;;) {
            const qint64 n = source.read(chunk.data(), chunk.size());
            if (n < 0 || source.error() != QFile::NoError) {
                unreadable = true;
                return false;
            }
            if (n == 0)
                break;
            check.feed(QByteArrayView(chunk.constData(), n));
            if (check.failed())
                out = nullptr;
            for (qint64 done = 0; out && done < n;) {
                const qint64 w = out->write(chunk.constData() + done, n - done);
                if (w <= 0)
                    out = nullptr;
                else
                    done += w;
            }
        }
        return out != nullptr;
    };
    bool opened = false;
    const bool written = DatabaseFile::writeAtomically(
        result.path,
        [&](QIODevice& out) {
            opened = true;
            return copyTo(&out) && check.finish().status == DatabaseFile::Status::Ok;
        },
        makeFile, &result.detail);
    if (!opened)
        copyTo(nullptr);
    if (unreadable)
        return readFailed();
    if (check.finish().status != DatabaseFile::Status::Ok) {
        result.error = Error::DatabaseDamaged;
        result.path = databasePath;
        result.detail.clear();
        return result;
    }
    if (!written) {
        result.error = Error::WriteFailed;
        return result;
    }
    result.made = true;
    prune(databasePath, result.path);
    return result;
}

SafetyCopies::Result
SafetyCopies::takeBeforeRestore(const QString& databasePath, const SubscriberTable& table,
                                const std::optional<QByteArray>& journal, const QDateTime& when,
                                const DatabaseFile::SaveFileFactory& makeFile) {
    Result result;
    const QString folder = folderFor(databasePath);
    if (!QDir().mkpath(folder)) {
        result.error = Error::FolderNotMade;
        result.path = folder;
        return result;
    }
    result.path = QDir(folder).filePath(beforeRestoreName(when));
    const QString copy = result.path;
    if (!writeJournalCopy(copy, journal, makeFile, result))
        return result;
    SubscriberTable cleaned(table);
    if (!DatabaseFile::writeAtomically(
            copy, [&](QIODevice& out) { return DatabaseFile::write(out, cleaned); }, makeFile,
            &result.detail)) {
        if (journal)
            QFile::remove(JournalFile::pathFor(copy));
        result.error = Error::WriteFailed;
        return result;
    }
    result.made = true;
    prune(databasePath, result.path);
    return result;
}

bool SafetyCopies::giveWayToSave(const QString& copy, const QString& databasePath,
                                 qint64 fileBytes) {
    const QStorageInfo disk(QFileInfo(databasePath).absolutePath());
    const QFileInfo copyFile(copy);
    // A copy on another disk takes nothing from the database's.
    if (!disk.isValid() || !copyFile.isFile() || !(QStorageInfo(copyFile.absolutePath()) == disk))
        return false;
    const qint64 block = blockOf(disk);
    const qint64 available = disk.bytesAvailable();
    const qint64 needed = inBlocks(fileBytes, block) + SpareBlocks * block;
    const QString journal = JournalFile::pathFor(copy);
    const qint64 freed =
        inBlocks(copyFile.size(), block) + inBlocks(JournalFile::sizeFor(copy), block);
    if (available < 0 || available >= needed || available + freed < needed)
        return false;
    if (!QFile::remove(copy))
        return false;
    QFile::remove(journal);
    return true;
}

QStringList SafetyCopies::prune(const QString& databasePath, const QString& kept) {
    QStringList deleted;
    const std::vector<Copy> copies = list(databasePath);
    for (size_t i = Keep; i < copies.size(); ++i)
        if (copies[i].path != kept && QFile::remove(copies[i].path)) {
            QFile::remove(JournalFile::pathFor(copies[i].path));
            deleted << copies[i].path;
        }
    return deleted;
}
