#include "JournalFile.h"

#include <filesystem>
#include <system_error>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "FolderSync.h"

using namespace Qt::StringLiterals;

namespace {

const QString Pending = u".pending"_s;
const QString BeforeRestore = u".before-restore-"_s;

// Unlike QFile::rename, takes the place of an existing file, in one step.
bool replaceFile(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), error);
    return !error;
}

QString folderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

} // namespace

QString JournalFile::pathFor(const QString& databasePath) {
    const QFileInfo info(databasePath);
    const QString name = info.fileName();
    const QString folder = databasePath.left(databasePath.size() - name.size());
    const QString journal = info.completeBaseName() + u".pay"_s;
    if (journal.compare(name, Qt::CaseInsensitive) == 0)
        return databasePath + u".pay"_s;
    return folder + journal;
}

qint64 JournalFile::sizeFor(const QString& databasePath) {
    const QFileInfo file(pathFor(databasePath));
    return file.isFile() ? file.size() : 0;
}

JournalFile::Read JournalFile::read(const QString& journalPath) {
    Read out;
    QFile file(journalPath);
    if (!file.exists())
        return out;
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray bytes = file.readAll();
        if (file.error() == QFile::NoError) {
            out.bytes = std::move(bytes);
            return out;
        }
    }
    out.ok = false;
    out.detail = file.errorString();
    return out;
}

QString JournalFile::setAsidePath(const QString& databasePath, const QDateTime& when) {
    const QString name =
        pathFor(databasePath) + BeforeRestore + when.toString(u"yyyyMMdd-HHmmss"_s);
    QString path = name;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = name + u'-' + QString::number(n);
    return path;
}

QStringList JournalFile::setAsidePaths(const QString& databasePath) {
    const QFileInfo journal(pathFor(databasePath));
    const QDir folder = journal.absoluteDir();
    const QString prefix = journal.fileName() + BeforeRestore;
    QStringList paths;
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names)
        if (name.startsWith(prefix))
            paths << folder.filePath(name);
    return paths;
}

bool JournalFile::writeWith(const QString& databasePath,
                            const std::function<bool(QIODevice&)>& produce,
                            const std::optional<QByteArray>& journal,
                            const DatabaseFile::SaveFileFactory& makeFile) {
    if (!journal)
        return DatabaseFile::writeAtomically(databasePath, produce, makeFile);
    settle(databasePath);
    const QString journalPath = pathFor(databasePath);
    const QString tablePending = databasePath + Pending;
    const QString journalPending = journalPath + Pending;
    // The journal's file goes first whenever both are taken back: a pending
    // journal alone means the table is in place.
    const auto takeBack = [&] {
        QFile::remove(journalPending);
        QFile::remove(tablePending);
        SyncFolder(folderOf(databasePath));
        return false;
    };
    if (!DatabaseFile::writeAtomically(tablePending, produce, makeFile))
        return false;
    if (!DatabaseFile::writeAtomically(journalPending, *journal, makeFile) ||
        !replaceFile(tablePending, databasePath))
        return takeBack();
    SyncFolder(folderOf(databasePath));
    // The write is done; a journal that will not go in place now does at
    // the next save or start.
    if (replaceFile(journalPending, journalPath))
        SyncFolder(folderOf(journalPath));
    return true;
}

void JournalFile::settle(const QString& databasePath) {
    const QString journalPath = pathFor(databasePath);
    const QString tablePending = databasePath + Pending;
    const QString journalPending = journalPath + Pending;
    if (QFileInfo::exists(tablePending)) {
        QFile::remove(journalPending);
        QFile::remove(tablePending);
    } else if (!QFileInfo::exists(journalPending) || !replaceFile(journalPending, journalPath)) {
        return;
    }
    SyncFolder(folderOf(databasePath));
}
