#pragma once

#include <QString>
#include <QStringList>

class Platform;

// The desktop calculators looked for, in order of preference.
const QStringList& DesktopCalculators();
// The full path of the first of them found in the folders of a PATH-like
// text; empty when there is none.
QString FindCalculator(const QString& pathVariable);
// Starts the first calculator on the program's PATH; when there is none, or
// it does not start, the user is told so. false: nothing was started.
bool StartCalculator(Platform& platform);
bool StartCalculator(Platform& platform, const QString& pathVariable);

// "Help.pdf" in the folder of the executable or, for an installed copy, in
// its data folder (../share/ostrevanka from /usr/bin); when neither holds
// it, the place beside the executable.
QString ManualPath(const QString& programFolder);
// Opens the manual with the desktop's document viewer. With no manual, or no
// viewer that takes it, the user is told where the file is (or should be).
// false: it was not opened.
bool OpenManual(Platform& platform, const QString& programFolder);
