#include "ReadingSheetPainter.h"

#include <QPainter>

#include "PageGeometry.h"
#include "ReadingSheetModel.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int GridLeft = 400;
constexpr int GridTop = 660;
constexpr int GridHeight = 15495;
constexpr int RowHeight = GridHeight / (ReadingSheetModel::RowsPerPage + 1);

} // namespace

void PaintReadingSheet(QPainter& painter, const ReadingSheetModel& model, const QString& dateText) {
    using PageGeometry::twipsFont;
    painter.save();
    painter.setPen(Qt::black);
    painter.setFont(twipsFont(10, true));
    painter.drawText(QRect(4635, 285, 2000, 330), Qt::AlignLeft | Qt::AlignTop,
                     u"Лист "_s + QString::number(model.page()));
    painter.drawText(QRect(6810, 255, 4000, 360), Qt::AlignLeft | Qt::AlignTop, dateText);

    const QPen thin(Qt::black, 10);
    const auto drawRow = [&](int top, bool header, auto textOf) {
        int left = GridLeft;
        for (int c = 0; c < ReadingSheetModel::Columns; ++c) {
            const int width = ReadingSheetModel::columnWidth(c);
            const QRect cell(left, top, width, RowHeight);
            painter.drawRect(cell);
            // The name sits left and low; the header texts keep their leading spaces.
            int align = Qt::AlignLeft | Qt::AlignVCenter;
            if (c == 1)
                align = Qt::AlignLeft | Qt::AlignBottom;
            else if (!header)
                align = (c == 0 || c == 2 ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter;
            painter.drawText(cell.adjusted(30, 0, -20, -20), align, textOf(c));
            left += width;
        }
    };
    painter.setPen(thin);
    painter.setFont(twipsFont(7, true));
    drawRow(GridTop, true, [](int c) { return ReadingSheetModel::columnHeader(c); });
    painter.setFont(twipsFont(8));
    for (int r = 0; r < model.rowCount(); ++r)
        drawRow(GridTop + (r + 1) * RowHeight, false, [&](int c) { return model.text(r, c); });

    int width = 0;
    for (int c = 0; c < ReadingSheetModel::Columns; ++c)
        width += ReadingSheetModel::columnWidth(c);
    painter.setPen(QPen(Qt::black, 20));
    painter.drawRect(QRect(GridLeft, GridTop, width, (model.rowCount() + 1) * RowHeight));
    painter.restore();
}
