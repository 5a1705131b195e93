#include "DebtorsPainter.h"

#include <array>
#include <vector>

#include <QPainter>

#include "DebtorsList.h"
#include "core/NumberText.h"
#include "printing/PageGeometry.h"

using namespace Qt::StringLiterals;
using PageGeometry::twipsFont;

namespace {

constexpr int Left = 300;
constexpr int ColumnWidths[4] = {4900, 1700, 1900, 1900};
constexpr int TitleHeight = 900;
constexpr int HeaderHeight = 420;
constexpr int LineHeight = 300;
constexpr int FootHeight = 500;

int linesOnPage(bool first) {
    const int room =
        int(DebtorsPage::Height) - HeaderHeight - FootHeight - (first ? TitleHeight : 0);
    return room / LineHeight;
}

std::vector<std::pair<int, int>> slices(const DebtorsList& list) {
    return DebtorsPageSlices(int(list.entries.size()), linesOnPage(true), linesOnPage(false));
}

void drawRow(QPainter& p, int top, int height, const std::array<QString, 4>& texts, bool bold) {
    int x = Left;
    p.setFont(twipsFont(9, bold));
    for (int c = 0; c < 4; ++c) {
        const QRect cell(x, top, ColumnWidths[c], height);
        p.setPen(QPen(Qt::black, 10));
        p.drawRect(cell);
        const int align = (c >= 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
        const QRect inner = cell.adjusted(80, 0, -80, 0);
        p.drawText(inner, align,
                   p.fontMetrics().elidedText(texts[size_t(c)], Qt::ElideRight, inner.width()));
        x += ColumnWidths[c];
    }
}

} // namespace

namespace DebtorsPage {

QSizeF size() {
    return QSizeF(Width, Height);
}

int pageCount(const DebtorsList& list) {
    return int(slices(list).size());
}

} // namespace DebtorsPage

void PaintDebtorsPage(QPainter& p, const DebtorsList& list, int page) {
    const auto pages = slices(list);
    if (page < 0 || page >= int(pages.size()))
        return;
    p.save();
    p.setPen(Qt::black);
    int y = 0;
    if (page == 0) {
        p.setFont(twipsFont(12, true));
        p.drawText(QRect(Left, 0, int(DebtorsPage::Width) - 2 * Left, TitleHeight - 150),
                   Qt::AlignCenter | Qt::TextWordWrap, list.title);
        y = TitleHeight;
    }
    // The header on every page.
    const QStringList headers = DebtorsList::headers();
    {
        int x = Left;
        p.setFont(twipsFont(9, true));
        for (int c = 0; c < 4; ++c) {
            const QRect cell(x, y, ColumnWidths[c], HeaderHeight);
            p.fillRect(cell, QColor(235, 235, 235));
            p.setPen(QPen(Qt::black, 10));
            p.drawRect(cell);
            p.drawText(cell, Qt::AlignCenter, headers[c]);
            x += ColumnWidths[c];
        }
        y += HeaderHeight;
    }
    const auto [first, count] = pages[size_t(page)];
    const int entries = int(list.entries.size());
    for (int line = first; line < first + count; ++line) {
        if (line < entries) {
            const DebtorEntry& e = list.entries[size_t(line)];
            drawRow(p, y, LineHeight, {e.label, e.plot, e.debt, e.credit}, false);
        } else {
            drawRow(
                p, y, LineHeight,
                {u"Итого"_s, QString(), FormatMoney(list.totalDebt), FormatMoney(list.totalCredit)},
                true);
        }
        y += LineHeight;
    }
    p.setFont(twipsFont(8));
    p.setPen(Qt::black);
    p.drawText(QRect(Left, int(DebtorsPage::Height) - FootHeight + 150,
                     int(DebtorsPage::Width) - 2 * Left, FootHeight - 150),
               Qt::AlignRight | Qt::AlignVCenter,
               u"Страница %1 из %2"_s.arg(page + 1).arg(pages.size()));
    p.restore();
}
