#pragma once

#include <QString>

class Platform;

// The per-user data folder of a program: ~/.local/share/<appName> on Linux
// ($XDG_DATA_HOME/<appName> when that is set).
QString UserDataFolder(const QString& appName);

// An installed program: its executable in a folder "bin" with
// "../share/ostrevanka" beside it, whatever the prefix.
bool IsInstalledProgramFolder(const QString& programFolder);

// The folder of the database. A copy run from where it was built or
// unpacked keeps it in its own folder when that can be written; an
// installed program, whoever runs it, and a copy whose folder cannot be
// written use `userFolder`, made when missing. While no database is there
// yet, the user is told where it will be kept; a database found in the
// program folder is offered for copying there. Empty: the user chose to end.
QString DatabaseFolder(Platform& platform, const QString& programFolder, const QString& userFolder);
