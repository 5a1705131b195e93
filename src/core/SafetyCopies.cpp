#include "SafetyCopies.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "DatabaseCheck.h"

using namespace Qt::StringLiterals;

namespace {

QString baseName() {
    return QFileInfo(DatabaseFile::FileName).completeBaseName(); // "Ostrevanka21"
}

} // namespace

QString SafetyCopies::folderFor(const QString& databasePath) {
    return QFileInfo(databasePath).absoluteDir().filePath(FolderName);
}

QString SafetyCopies::fileName(const QDate& day) {
    return baseName() + u'-' + day.toString(u"yyyy-MM-dd"_s) + u".spb"_s;
}

std::optional<QDate> SafetyCopies::dateOf(const QString& fileName) {
    static const QRegularExpression pattern(u"^"_s + QRegularExpression::escape(baseName()) +
                                            u"-(\\d{4})-(\\d{2})-(\\d{2})\\.spb$"_s);
    const QRegularExpressionMatch m = pattern.match(fileName);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::vector<SafetyCopies::Copy> SafetyCopies::list(const QString& databasePath) {
    const QDir folder(folderFor(databasePath));
    std::vector<Copy> copies;
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        if (const auto date = dateOf(name))
            copies.push_back({*date, folder.filePath(name)});
    std::sort(copies.begin(), copies.end(),
              [](const Copy& a, const Copy& b) { return a.date > b.date; });
    return copies;
}

SafetyCopies::Result SafetyCopies::takeDaily(const QString& databasePath, const QDate& day,
                                             const DatabaseFile::SaveFileFactory& makeFile,
                                             qint64 chunkSize) {
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
    prune(databasePath, day);
    return result;
}

QStringList SafetyCopies::prune(const QString& databasePath, const QDate& kept) {
    QStringList deleted;
    const std::vector<Copy> copies = list(databasePath);
    for (size_t i = Keep; i < copies.size(); ++i)
        if (copies[i].date != kept && QFile::remove(copies[i].path))
            deleted << copies[i].path;
    return deleted;
}
