#include "ReceiptPainter.h"

#include <vector>

#include <QPainter>
#include <QPainterPath>

#include "ReceiptContent.h"
#include "ReceiptPayment.h"
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

// Line heights without and with the payee block below the table.
constexpr int LineHeight = 400;
constexpr int CompactLineHeight = 300;
constexpr int PayByHeight = 400;

int lineHeight(bool withPayee) {
    return withPayee ? CompactLineHeight : LineHeight;
}

int payByTop(bool withPayee) {
    return TableTop + ReceiptContent::ValueLines * lineHeight(withPayee) + (withPayee ? 100 : 200);
}

int payeeTop(int copyTop) {
    return copyTop + payByTop(true) + PayByHeight + 100;
}

void paintPayment(QPainter& p, int copyTop, int place, const ReceiptPayment& payment) {
    const int top = payeeTop(copyTop);
    const int textRight = ReceiptPage::codeRect(place).left() - 300;
    p.setPen(Qt::black);
    p.setFont(twipsFont(8, true));
    constexpr int PayeeLine = 280;
    QRect line(Left + 100, top, textRight - Left - 100, PayeeLine);
    for (const QString& text : payment.payeeLines) {
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(text, Qt::ElideRight, line.width()));
        p.setFont(twipsFont(8));
        line.translate(0, PayeeLine);
    }
    if (payment.code)
        PaintCode(p, payment.code->size(), payment.codeOutline, ReceiptPage::codeRect(place));
}

} // namespace

namespace ReceiptPage {

QRect payByRect(int copy, bool withPayee) {
    return QRect(Left + 1600, HeadingTop[copy] + payByTop(withPayee), 3200, PayByHeight);
}

QRect buttonRect(bool withPayee) {
    return QRect(ValueLeft, HeadingTop[0] + payByTop(withPayee), 1500, PayByHeight);
}

QRect copiesBoxRect(bool withPayee) {
    return QRect(ValueLeft + 1700, HeadingTop[0] + payByTop(withPayee), Right - ValueLeft - 1700,
                 PayByHeight);
}

QRect codeRect(int copy) {
    return QRect(Right - CodeSide, payeeTop(HeadingTop[copy]), CodeSide, CodeSide);
}

} // namespace ReceiptPage

void PaintReceiptCopy(QPainter& p, int place, bool secondCopy, const ReceiptContent& c,
                      const QString& payBy, bool forPrint, const ReceiptPayment* payment) {
    const int top = HeadingTop[place];
    const bool withPayee = payment != nullptr;
    const int lh = lineHeight(withPayee);
    p.save();
    p.setPen(Qt::black);
    p.setFont(twipsFont(11, true));
    p.drawText(QRect(Left, top, 3400, 360), Qt::AlignLeft | Qt::AlignVCenter, c.dateText);
    p.drawText(QRect(Left + 3400, top, Right - Left - 3400, 360), Qt::AlignRight | Qt::AlignVCenter,
               c.name);

    const QPen thin(Qt::black, 10);
    for (int line = 1; line <= ReceiptContent::ValueLines; ++line) {
        const int y = top + TableTop + (line - 1) * lh;
        const bool total = line == ReceiptContent::ValueLines;
        p.setPen(thin);
        p.drawRect(QRect(Left, y, ValueLeft - Left, lh));
        p.drawRect(QRect(ValueLeft, y, UnitLeft - ValueLeft, lh));
        p.drawRect(QRect(UnitLeft, y, Right - UnitLeft, lh));
        p.setFont(twipsFont(9, total));
        QString caption = ReceiptContent::caption(line);
        if (total && secondCopy)
            caption = u"ИТОГО  К ОПЛАТЕ, Руб"_s;
        const QRect captionRect(Left + 100, y, ValueLeft - Left - 150, lh);
        p.drawText(captionRect, Qt::AlignLeft | Qt::AlignVCenter, caption);
        const QString second = ReceiptContent::secondCaption(line);
        if (!second.isEmpty())
            p.drawText(captionRect.adjusted(3600, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                       second);
        p.drawText(QRect(ValueLeft, y, UnitLeft - ValueLeft - 120, lh),
                   Qt::AlignRight | Qt::AlignVCenter, c.values[size_t(line)]);
        p.setFont(twipsFont(9));
        p.drawText(QRect(UnitLeft, y, Right - UnitLeft, lh), Qt::AlignCenter,
                   ReceiptContent::unit(line));
    }
    p.setPen(QPen(Qt::black, 25));
    p.drawRect(QRect(Left, top + TableTop, Right - Left, ReceiptContent::ValueLines * lh));

    if (payment)
        paintPayment(p, top, place, *payment);

    if (!forPrint || !payBy.isEmpty()) {
        p.setPen(Qt::black);
        p.setFont(twipsFont(9, true));
        p.drawText(QRect(Left + 100, top + payByTop(withPayee), 1500, PayByHeight),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   ReceiptContent::caption(ReceiptContent::Lines));
        const QRect payByRect = ReceiptPage::payByRect(place, withPayee);
        // On screen the upper copy's pay-by text is its editor.
        if (place == 1 || forPrint)
            p.drawText(payByRect, Qt::AlignLeft | Qt::AlignVCenter, payBy);
        p.setPen(QPen(Qt::black, 10));
        p.drawLine(payByRect.bottomLeft(), payByRect.bottomRight());
    }
    p.restore();
}

void PaintCutLine(QPainter& painter) {
    painter.save();
    painter.setPen(QPen(Qt::black, 12, Qt::DashLine));
    painter.drawLine(0, ReceiptPage::CutLineY, ReceiptPage::Width, ReceiptPage::CutLineY);
    painter.restore();
}

void PaintReceipt(QPainter& painter, const ReceiptContent& content, const QString& payBy,
                  bool twoCopies, bool forPrint, const ReceiptPayment* payment) {
    PaintReceiptCopy(painter, 0, false, content, payBy, forPrint, payment);
    if (twoCopies) {
        PaintCutLine(painter);
        PaintReceiptCopy(painter, 1, true, content, payBy, forPrint, payment);
    }
}

// The code as one filled shape of vector outlines: sharp at any zoom, no
// seams between modules in any viewer, and small enough that a month's
// preview of hundreds of codes opens quickly.
void PaintCode(QPainter& p, int modules, const std::vector<std::vector<QPoint>>& outline,
               const QRectF& rect) {
    const double module = rect.width() / modules;
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const std::vector<QPoint>& loop : outline) {
        QPolygonF polygon;
        polygon.reserve(qsizetype(loop.size()));
        for (const QPoint& corner : loop)
            polygon << rect.topLeft() + QPointF(corner) * module;
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    p.fillPath(path, Qt::black);
}
