#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>

#include "app/Application.h"
#include "app/ProgramStyle.h"
#include "app/QtPlatform.h"
#include "storage/DataFolder.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The user's choice of style (-style, QT_STYLE_OVERRIDE) stays underneath.
    auto* style = new ProgramStyle;
    style->setBaseStyle(QStyleFactory::create(QApplication::style()->name()));
    QApplication::setStyle(style);
    const QString appName = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    QCoreApplication::setApplicationName(appName);
    QCoreApplication::setOrganizationName(appName);
    // Lets the desktop match the windows to the installed menu entry and icon.
    QGuiApplication::setDesktopFileName(u"ostrevanka"_s);

    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslator);

    QtPlatform platform(appName);

    // An installed program never keeps data beside itself, whoever runs it:
    // its database lives in the user's data folder.
    const QString folder =
        DatabaseFolder(platform, QCoreApplication::applicationDirPath(), UserDataFolder(appName));
    if (folder.isEmpty())
        return 1;
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
