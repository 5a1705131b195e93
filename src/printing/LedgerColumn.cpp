#include "LedgerColumn.h"

#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

int LedgerColumnOf(const QString& yearText, int month) {
    const auto year = YearIndex(yearText);
    if (!year || month < 1 || month > 12)
        return MonthColumn(0, 1, 10);
    return MonthColumn(*year, month, 10);
}
