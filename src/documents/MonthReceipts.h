#pragma once

#include <utility>
#include <vector>

#include <QString>

class SubscriberTable;

// The subscribers, in row order, whose receipt for month 1..12 of yearText
// has something to pay ("ИТОГО К ОПЛАТЕ" above 0). Empty for a month or year
// outside the lists.
std::vector<int> RowsToBill(const SubscriberTable& table, int month, const QString& yearText);

// Printed pages of `receipts` receipts: two to a page, or one to a page when
// each receipt is printed in two copies.
int ReceiptPageCount(int receipts, bool twoCopies);
// The receipts (indexes into the list) on a 0-based page; -1 for an empty place.
std::pair<int, int> ReceiptsOnPage(int page, int receipts, bool twoCopies);
