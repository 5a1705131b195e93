#pragma once

#include <QString>
#include <QStringList>

// "Январь".."Декабрь".
const QStringList& MonthNames();
// The name of month 1..12; empty for any other number.
QString MonthName(int month);
