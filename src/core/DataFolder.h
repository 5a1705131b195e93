#pragma once

#include <QString>

class Platform;

// The per-user data folder of a program: ~/.local/share/<appName> on Linux
// ($XDG_DATA_HOME/<appName> when that is set).
QString UserDataFolder(const QString& appName);

// The folder of the database: the program's own folder when it can be
// written (a copy run from where it was built or unpacked), otherwise
// `userFolder`, made when missing. While no database is there yet, the user
// is told where it will be kept; once it exists, nothing more is said.
QString DatabaseFolder(Platform& platform, const QString& programFolder, const QString& userFolder);
