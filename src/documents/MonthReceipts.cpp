#include "MonthReceipts.h"

#include "ReceiptPayment.h"
#include "core/SubscriberTable.h"

std::vector<int> RowsToBill(const SubscriberTable& table, int month, const QString& yearText) {
    std::vector<int> rows;
    const auto year = YearIndex(yearText);
    if (!year || month < 1 || month > 12)
        return rows;
    const int column = MonthColumn(*year, month, SlotTotalDue);
    for (int r = 1; r <= table.subscriberCount(); ++r)
        if (PayableKopecks(table.cell(r, column)) > 0)
            rows.push_back(r);
    return rows;
}

int ReceiptPageCount(int receipts, bool twoCopies) {
    if (receipts <= 0)
        return 0;
    return twoCopies ? receipts : (receipts + 1) / 2;
}

std::pair<int, int> ReceiptsOnPage(int page, int receipts, bool twoCopies) {
    if (page < 0 || page >= ReceiptPageCount(receipts, twoCopies))
        return {-1, -1};
    if (twoCopies)
        return {page, page};
    const int first = 2 * page;
    return {first, first + 1 < receipts ? first + 1 : -1};
}
