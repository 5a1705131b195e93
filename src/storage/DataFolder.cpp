#include "DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "storage/DatabaseFile.h"
#include "storage/JournalFile.h"
#include "core/Platform.h"

using namespace Qt::StringLiterals;

namespace {

const QString Title = u"Папка базы данных"_s;

// Asking for permission bits is not enough: root may write anywhere, a
// read-only mount refuses everyone.
bool isWritableFolder(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(u"write-test-XXXXXX"_s));
    return probe.open();
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString stamp(const QString& path) {
    return QFileInfo(path).lastModified().toString(u"dd.MM.yyyy HH:mm"_s);
}

// Copies through a file of its own: under its name only once complete.
bool copyWhole(const QString& from, const QString& to) {
    const QString part = to + u".part"_s;
    QFile::remove(part);
    if (!QFile::copy(from, part))
        return false;
    if (QFile::rename(part, to))
        return true;
    QFile::remove(part);
    return false;
}

// The payments journal goes with its database, replacing any journal left
// without one; the database is put in place last.
bool copyDatabase(const QString& from, const QString& to) {
    const QString journalFrom = JournalFile::pathFor(from);
    const QString journalTo = JournalFile::pathFor(to);
    if (QFileInfo::exists(journalFrom)) {
        QFile::remove(journalTo);
        if (!copyWhole(journalFrom, journalTo))
            return false;
    }
    return copyWhole(from, to);
}

} // namespace

QString UserDataFolder(const QString& appName) {
    // Not AppDataLocation: with an organisation name set it nests the
    // application's folder in a second one.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(appName);
}

bool IsInstalledProgramFolder(const QString& programFolder) {
    const QDir bin(QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath()));
    return bin.dirName() == u"bin"_s && QFileInfo(bin.filePath(u"../share/ostrevanka"_s)).isDir();
}

QString DatabaseFolder(Platform& platform, const QString& programFolder,
                       const QString& userFolder) {
    const bool installed = IsInstalledProgramFolder(programFolder);
    if (!installed && isWritableFolder(programFolder))
        return programFolder;
    QDir().mkpath(userFolder);
    const QString userBase = QDir(userFolder).filePath(DatabaseFile::FileName);
    const QString programBase = QDir(programFolder).filePath(DatabaseFile::FileName);
    const bool programHasBase = QFileInfo(programBase).isFile();
    const QString why = installed ? u"Установленная программа хранит базу данных в папке "
                                    u"пользователя."_s
                                  : u"Папка программы недоступна для записи."_s;

    if (QFileInfo::exists(userBase)) {
        // The copy made at an earlier start, worked on since. Only a base
        // changed in the program folder afterwards can hold work this one
        // lacks.
        if (programHasBase &&
            QFileInfo(programBase).lastModified() > QFileInfo(userBase).lastModified())
            platform.message(
                u"В папке программы %1 есть база данных %2, изменённая %3, позже базы в папке "
                u"%4 (изменена %5). Программа работает с базой из папки %4. Если нужна база "
                u"из папки программы, закройте программу и скопируйте её в папку %4."_s.arg(
                    shown(programFolder), DatabaseFile::FileName, stamp(programBase),
                    shown(userFolder), stamp(userBase)),
                Title, MsgIcon::Warning, MsgButtons::Ok);
        return userFolder;
    }
    if (programHasBase) {
        if (platform.message(
                why +
                    u"\n\nВ папке программы %1 есть база данных %2. Скопировать её в папку %3 "
                    u"и работать с копией?\n\n«Да» — скопировать, «Нет» — завершить работу."_s.arg(
                        shown(programFolder), DatabaseFile::FileName, shown(userFolder)),
                Title, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes) != MsgAnswer::Yes)
            return {};
        if (!copyDatabase(programBase, userBase)) {
            platform.message(u"Не удалось скопировать базу данных в папку "_s + shown(userFolder),
                             Title, MsgIcon::Critical, MsgButtons::Ok);
            return {};
        }
        return userFolder;
    }
    platform.message(why + u" База данных будет храниться в папке "_s + shown(userFolder), Title,
                     MsgIcon::Information, MsgButtons::Ok);
    return userFolder;
}
