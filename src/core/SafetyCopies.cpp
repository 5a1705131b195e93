#include "SafetyCopies.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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
                                             const DatabaseFile::SaveFileFactory& makeFile) {
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
    if (!source.open(QIODevice::ReadOnly)) {
        result.error = Error::ReadFailed;
        result.path = databasePath;
        result.detail = source.errorString();
        return result;
    }
    const QByteArray bytes = source.readAll();
    if (source.error() != QFile::NoError) {
        result.error = Error::ReadFailed;
        result.path = databasePath;
        result.detail = source.errorString();
        return result;
    }
    source.close();
    // A damaged file on disk would crowd good copies out of the newest 30.
    if (DatabaseFile::check(bytes, DatabaseFile::Separators).status != DatabaseFile::Status::Ok) {
        result.error = Error::DatabaseDamaged;
        result.path = databasePath;
        return result;
    }
    if (!DatabaseFile::writeAtomically(result.path, bytes, makeFile, &result.detail)) {
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
