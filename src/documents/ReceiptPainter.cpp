#include "ReceiptPainter.h"

#include <QPainter>

#include "ReceiptContent.h"
#include "printing/PageGeometry.h"

using namespace Qt::StringLiterals;
using PageGeometry::twipsFont;

namespace {

constexpr int HeadingTop[2] = {285, 8280};
constexpr int Left = 500;
constexpr int ValueLeft = 6300;
constexpr int UnitLeft = 8700;
constexpr int Right = 10300;
constexpr int TableTop = 600; // below the heading
constexpr int LineHeight = 400;
constexpr int PayByTop = TableTop + ReceiptContent::ValueLines * LineHeight + 200;

void paintCopy(QPainter& p, int copy, const ReceiptContent& c, const QString& payBy,
               bool forPrint) {
    const int top = HeadingTop[copy];
    p.setPen(Qt::black);
    p.setFont(twipsFont(11, true));
    p.drawText(QRect(Left, top, 3400, 360), Qt::AlignLeft | Qt::AlignVCenter, c.dateText);
    p.drawText(QRect(Left + 3400, top, Right - Left - 3400, 360), Qt::AlignRight | Qt::AlignVCenter,
               c.name);

    const QPen thin(Qt::black, 10);
    for (int line = 1; line <= ReceiptContent::ValueLines; ++line) {
        const int y = top + TableTop + (line - 1) * LineHeight;
        const bool total = line == ReceiptContent::ValueLines;
        p.setPen(thin);
        p.drawRect(QRect(Left, y, ValueLeft - Left, LineHeight));
        p.drawRect(QRect(ValueLeft, y, UnitLeft - ValueLeft, LineHeight));
        p.drawRect(QRect(UnitLeft, y, Right - UnitLeft, LineHeight));
        p.setFont(twipsFont(9, total));
        QString caption = ReceiptContent::caption(line);
        if (total && copy == 1)
            caption = u"ИТОГО  К ОПЛАТЕ, Руб"_s;
        const QRect captionRect(Left + 100, y, ValueLeft - Left - 150, LineHeight);
        p.drawText(captionRect, Qt::AlignLeft | Qt::AlignVCenter, caption);
        const QString second = ReceiptContent::secondCaption(line);
        if (!second.isEmpty())
            p.drawText(captionRect.adjusted(3600, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                       second);
        p.drawText(QRect(ValueLeft, y, UnitLeft - ValueLeft - 120, LineHeight),
                   Qt::AlignRight | Qt::AlignVCenter, c.values[size_t(line)]);
        p.setFont(twipsFont(9));
        p.drawText(QRect(UnitLeft, y, Right - UnitLeft, LineHeight), Qt::AlignCenter,
                   ReceiptContent::unit(line));
    }
    p.setPen(QPen(Qt::black, 25));
    p.drawRect(QRect(Left, top + TableTop, Right - Left, ReceiptContent::ValueLines * LineHeight));

    if (forPrint && payBy.isEmpty())
        return;
    p.setPen(Qt::black);
    p.setFont(twipsFont(9, true));
    p.drawText(QRect(Left + 100, top + PayByTop, 1500, LineHeight),
               Qt::AlignLeft | Qt::AlignVCenter, ReceiptContent::caption(ReceiptContent::Lines));
    const QRect payByRect = ReceiptPage::payByRect(copy);
    if (copy == 1 || forPrint)
        p.drawText(payByRect, Qt::AlignLeft | Qt::AlignVCenter, payBy);
    p.setPen(QPen(Qt::black, 10));
    p.drawLine(payByRect.bottomLeft(), payByRect.bottomRight());
}

} // namespace

namespace ReceiptPage {

QRect payByRect(int copy) {
    return QRect(Left + 1600, HeadingTop[copy] + PayByTop, 3200, LineHeight);
}

QRect buttonRect() {
    return QRect(ValueLeft, HeadingTop[0] + PayByTop, 1500, LineHeight);
}

QRect copiesBoxRect() {
    return QRect(ValueLeft + 1700, HeadingTop[0] + PayByTop, Right - ValueLeft - 1700, LineHeight);
}

} // namespace ReceiptPage

void PaintReceipt(QPainter& painter, const ReceiptContent& content, const QString& payBy,
                  bool twoCopies, bool forPrint) {
    painter.save();
    paintCopy(painter, 0, content, payBy, forPrint);
    if (twoCopies) {
        painter.setPen(QPen(Qt::black, 12, Qt::DashLine));
        painter.drawLine(0, ReceiptPage::CutLineY, ReceiptPage::Width, ReceiptPage::CutLineY);
        paintCopy(painter, 1, content, payBy, forPrint);
    }
    painter.restore();
}
