#include "DesktopTools.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/Platform.h"

using namespace Qt::StringLiterals;

const QStringList& DesktopCalculators() {
    static const QStringList names = {u"gnome-calculator"_s, u"kcalc"_s, u"galculator"_s,
                                      u"qalculate-gtk"_s, u"xcalc"_s};
    return names;
}

QString FindCalculator(const QString& pathVariable) {
    const QStringList folders = pathVariable.split(QDir::listSeparator(), Qt::SkipEmptyParts);
    // An empty list would make Qt search the process's own PATH instead.
    if (folders.isEmpty())
        return {};
    for (const QString& name : DesktopCalculators()) {
        const QString found = QStandardPaths::findExecutable(name, folders);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

bool StartCalculator(Platform& platform) {
    return StartCalculator(platform, qEnvironmentVariable("PATH"));
}

bool StartCalculator(Platform& platform, const QString& pathVariable) {
    const QString calculator = FindCalculator(pathVariable);
    if (calculator.isEmpty()) {
        platform.message(u"Калькулятор не найден. Установите одну из программ: "_s +
                             DesktopCalculators().join(u", "_s) + u'.',
                         u"Калькулятор"_s, MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    if (!platform.startProgram(calculator, {})) {
        platform.message(u"Не удалось запустить калькулятор "_s +
                             QDir::toNativeSeparators(calculator) + u'.',
                         u"Калькулятор"_s, MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    return true;
}

QString ManualPath(const QString& programFolder) {
    const QDir folder(programFolder);
    const QString beside = folder.filePath(u"Help.pdf"_s);
    if (QFileInfo(beside).isFile())
        return beside;
    const QString installed =
        QDir::cleanPath(folder.filePath(QStringLiteral(OST_INSTALLED_MANUAL_DIR "/Help.pdf")));
    return QFileInfo(installed).isFile() ? installed : beside;
}

bool OpenManual(Platform& platform, const QString& programFolder) {
    const QString manual = ManualPath(programFolder);
    const QString path = QDir::toNativeSeparators(manual);
    if (!QFileInfo(manual).isFile()) {
        platform.message(u"Файл руководства пользователя не найден:\n"_s + path, u"Помощь"_s,
                         MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    if (!platform.openDocument(manual)) {
        platform.message(u"Не найдена программа для просмотра файлов PDF.\n"
                         u"Откройте руководство пользователя в любой такой программе:\n"_s +
                             path,
                         u"Помощь"_s, MsgIcon::Information, MsgButtons::Ok);
        return false;
    }
    return true;
}
