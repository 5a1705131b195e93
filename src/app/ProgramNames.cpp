#include "ProgramNames.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

void SetProgramNames(const QString& executablePath) {
    QCoreApplication::setApplicationName(QFileInfo(executablePath).baseName());
    // An organisation name would put a second folder of the same name in the path.
    QCoreApplication::setOrganizationName(QString());
}

QString UserDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}
