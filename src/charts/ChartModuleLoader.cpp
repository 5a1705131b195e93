#include "ChartModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

using namespace Qt::StringLiterals;

namespace {

struct Loaded {
    const ChartModuleApi* api = nullptr;
    QString error;
};

Loaded load() {
    const QString file = QStringLiteral(OST_CHART_MODULE_FILE);
    const QDir programDir(QCoreApplication::applicationDirPath());
    QStringList candidates = {
        programDir.filePath(file),
        programDir.filePath(u"../lib/ostrevanka/"_s + file),
    };
    // Tests and benchmarks run from other folders of the build.
    if (const QString given = qEnvironmentVariable("OSTREVANKA_CHART_MODULE"); !given.isEmpty())
        candidates.prepend(given);
    Loaded out;
    for (const QString& path : candidates) {
        if (!QFileInfo::exists(path))
            continue;
        // Never unloaded: the widgets it made live as long as the program.
        QLibrary library(path);
        const auto entry =
            reinterpret_cast<ChartModuleEntry>(library.resolve(ChartModuleEntryName));
        if (entry && (out.api = entry()))
            return out;
        out.error = library.errorString();
    }
    if (out.error.isEmpty())
        out.error = u"не найден файл "_s + file;
    return out;
}

} // namespace

const ChartModuleApi* ChartModule(QString* error) {
    static const Loaded loaded = load();
    if (error)
        *error = loaded.error;
    return loaded.api;
}
