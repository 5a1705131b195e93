#pragma once

#include <array>

#include <QString>

// A typed point becomes a comma in the number slots (1..8); in the date
// slot (0) a typed comma becomes a point.
QString ApplySeparatorRule(const QString& text, int slot);
// The last day of every month with the year's two-digit suffix: "31.01.17".
std::array<QString, 12> MonthEndDates(const QString& yearText);
