#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTemporaryFile>
#include <QTranslator>

#include "app/Application.h"
#include "app/ProgramNames.h"
#include "app/QtPlatform.h"
#include "core/DatabaseFile.h"

using namespace Qt::StringLiterals;

namespace {

bool isWritableFolder(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(u"write-test-XXXXXX"_s));
    return probe.open();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SetProgramNames(QCoreApplication::applicationFilePath());
    const QString appName = QCoreApplication::applicationName();

    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslator);

    QtPlatform platform(appName);

    QString folder = QCoreApplication::applicationDirPath();
    if (!isWritableFolder(folder)) {
        // An installed copy: keep the database in the user's data folder.
        folder = UserDataFolder();
        QDir().mkpath(folder);
        if (!QFileInfo::exists(QDir(folder).filePath(DatabaseFile::FileName)))
            platform.message(
                u"Папка программы недоступна для записи. База данных будет храниться в папке "_s +
                    QDir::toNativeSeparators(folder),
                QString(), MsgIcon::Information, MsgButtons::Ok);
    }

    Application application(platform, folder);
    int exitCode = 0;
    QObject::connect(&application, &Application::finished, &app, [&exitCode](int code) {
        exitCode = code;
        QCoreApplication::exit(code);
    });
    if (!application.start())
        return 1;
    app.setQuitOnLastWindowClosed(false);
    const int rc = app.exec();
    return exitCode ? exitCode : rc;
}
