#pragma once

#include <QString>

#include "core/MonthNames.h"

// The table column of ledger slot 10 of a month (1..12) of a year text:
// MonthColumn(year, month, 10). A month or year outside the lists gives
// January of the first year.
int LedgerColumnOf(const QString& yearText, int month);
