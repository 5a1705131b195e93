#include "DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "core/DatabaseFile.h"
#include "core/Platform.h"

using namespace Qt::StringLiterals;

namespace {

// Asking for permission bits is not enough: root may write anywhere, a
// read-only mount refuses everyone.
bool isWritableFolder(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(u"write-test-XXXXXX"_s));
    return probe.open();
}

} // namespace

QString UserDataFolder(const QString& appName) {
    // Not AppDataLocation: with an organisation name set it nests the
    // application's folder in a second one.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(appName);
}

QString DatabaseFolder(Platform& platform, const QString& programFolder,
                       const QString& userFolder) {
    if (isWritableFolder(programFolder))
        return programFolder;
    QDir().mkpath(userFolder);
    if (!QFileInfo::exists(QDir(userFolder).filePath(DatabaseFile::FileName)))
        platform.message(
            u"Папка программы недоступна для записи. База данных будет храниться в папке "_s +
                QDir::toNativeSeparators(userFolder),
            u"Папка базы данных"_s, MsgIcon::Information, MsgButtons::Ok);
    return userFolder;
}
