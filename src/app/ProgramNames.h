#pragma once

#include <QString>

// The application name is the executable's name and there is no
// organisation name, so the per-user data folder is ~/.local/share/<name>/.
// (Settings names its store itself.)
void SetProgramNames(const QString& executablePath);
// Where the database lives when the program folder is not writable.
QString UserDataFolder();
