#include "LedgerPagePainter.h"

#include <array>

#include <QPainter>

#include "LedgerPrintModel.h"
#include "PageGeometry.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int GridLeft = 1000;
constexpr int GridTop = 1290;
constexpr int GridHeight = 9480;
constexpr int RowHeight = GridHeight / (LedgerPrintModel::RowsPerPage + 1);
constexpr int HeaderTop = 600;
constexpr int GroupBottom = 960;
constexpr std::array<int, LedgerPrintModel::Columns> Widths = {445,  3200, 1150, 1150, 1200, 1100,
                                                               1100, 1300, 1150, 1100, 1155, 1150};

int columnLeft(int column) {
    int x = GridLeft;
    for (int c = 0; c < column; ++c)
        x += Widths[size_t(c)];
    return x;
}

enum class Tone { Plain, Charge, Income };

// Blue over charges and debts, red over income and credits.
Tone columnTone(int column) {
    switch (column) {
    case 2:
    case 4:
    case 5:
    case 6:
    case 10:
        return Tone::Charge;
    case 3:
    case 8:
    case 9:
    case 11:
        return Tone::Income;
    default:
        return Tone::Plain;
    }
}

QColor toneColor(Tone tone, bool forPrint) {
    if (forPrint || tone == Tone::Plain)
        return Qt::black;
    return tone == Tone::Charge ? QColor(0, 0, 255) : QColor(255, 0, 0);
}

} // namespace

void PaintLedgerPage(QPainter& painter, const LedgerPrintModel& model, const QString& dateText,
                     bool forPrint) {
    using PageGeometry::twipsFont;
    painter.save();
    const QPen thin(Qt::black, 10);
    const QPen thick(Qt::black, 20);
    const int gridRight = columnLeft(LedgerPrintModel::Columns);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;

    painter.setPen(Qt::black);
    painter.setFont(twipsFont(12, true));
    painter.drawText(QRect(GridLeft, 150, 8000, 380), Qt::AlignLeft | Qt::AlignVCenter, dateText);
    painter.setFont(twipsFont(10));
    painter.drawText(QRect(gridRight - 2000, 150, 2000, 380), Qt::AlignRight | Qt::AlignVCenter,
                     u"Лист "_s + QString::number(model.page()));

    // The header: a group caption over the columns that share it.
    painter.setFont(twipsFont(7.5, true));
    for (int c = 0; c < LedgerPrintModel::Columns; ++c) {
        const QString group = LedgerPrintModel::groupHeader(c);
        const int left = columnLeft(c);
        const int top = group.isEmpty() ? HeaderTop : GroupBottom;
        const QRect cell(left, top, Widths[size_t(c)], GridTop - top);
        painter.setPen(thin);
        painter.drawRect(cell);
        painter.setPen(toneColor(columnTone(c), forPrint));
        painter.drawText(cell.adjusted(30, 0, -30, 0), flags, LedgerPrintModel::columnHeader(c));
        if (!group.isEmpty() && group != LedgerPrintModel::groupHeader(c - 1)) {
            int right = left + Widths[size_t(c)];
            for (int k = c + 1; LedgerPrintModel::groupHeader(k) == group; ++k)
                right += Widths[size_t(k)];
            const QRect groupCell(left, HeaderTop, right - left, GroupBottom - HeaderTop);
            painter.setPen(thin);
            painter.drawRect(groupCell);
            // The charges' caption is blue, the income's red, the balances plain.
            painter.setPen(toneColor(c == 4   ? Tone::Charge
                                     : c == 8 ? Tone::Income
                                              : Tone::Plain,
                                     forPrint));
            painter.drawText(groupCell.adjusted(30, 0, -30, 0), flags, group);
        }
    }

    // The rows.
    painter.setPen(thin);
    for (int r = 0; r < model.rowCount(); ++r) {
        const bool sums = model.isSumsRow(r);
        painter.setFont(twipsFont(8, sums));
        const int top = GridTop + r * RowHeight;
        for (int c = 0; c < LedgerPrintModel::Columns; ++c) {
            const QRect cell(columnLeft(c), top, Widths[size_t(c)], RowHeight);
            painter.drawRect(cell);
            const int align = c == 1   ? Qt::AlignLeft | Qt::AlignVCenter
                              : c == 0 ? Qt::AlignCenter
                                       : Qt::AlignRight | Qt::AlignVCenter;
            painter.drawText(cell.adjusted(40, 0, -40, 0), align, model.text(r, c));
        }
    }
    // A heavier frame round the header and the rows.
    painter.setPen(thick);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(GridLeft, HeaderTop, gridRight - GridLeft,
                           GridTop - HeaderTop + model.rowCount() * RowHeight));
    painter.restore();
}
