#pragma once

#include <QSizeF>

struct DebtorsList;
class QPainter;

// The printed debtors' list: portrait pages in twips, the title on the first
// page, the column header on every page, the totals after the last entry and
// the page number at the foot.
namespace DebtorsPage {
constexpr double Width = 10800;
constexpr double Height = 15600;
QSizeF size();
int pageCount(const DebtorsList& list);
} // namespace DebtorsPage

// Draws page `page` (0-based) of the list.
void PaintDebtorsPage(QPainter& painter, const DebtorsList& list, int page);
