#pragma once

#include <QString>

#include "DebtorsList.h"

class Platform;
class WorkbookSheet;

// The list as a worksheet: the title, the four columns, one row per entry in
// the list's order, the totals; money as numbers.
WorkbookSheet DebtorsSheet(const DebtorsList& list);

// Asks for a file name and writes the sheet; false when cancelled or failed
// (a failed write is told to the user).
bool ExportDebtors(const DebtorsList& list, const QString& folder, Platform& platform);
