#include "LedgerIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

using namespace Qt::StringLiterals;

namespace {

void DrawSave(QPainter& p) {
    p.setBrush(QColor(40, 80, 160));
    p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(7, 3, 10, 7));
    p.setBrush(QColor(20, 40, 90));
    p.drawRect(QRectF(6, 13, 12, 8));
}

void DrawPrint(QPainter& p) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 3, 10, 7));
    p.setBrush(QColor(120, 120, 120));
    p.drawRoundedRect(QRectF(3, 9, 18, 9), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 14, 10, 7));
}

void DrawCalculator(QPainter& p) {
    p.setBrush(QColor(90, 90, 100));
    p.drawRoundedRect(QRectF(5, 2, 14, 20), 2, 2);
    p.setBrush(QColor(190, 230, 190));
    p.drawRect(QRectF(7, 4, 10, 5));
    p.setBrush(Qt::white);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawRect(QRectF(7 + c * 3.5, 11 + r * 3.5, 2.5, 2.5));
}

void DrawExport(QPainter& p) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3, 3, 16, 18));
    p.setPen(QColor(30, 120, 60));
    for (int i = 1; i < 4; ++i)
        p.drawLine(QPointF(3, 3 + i * 4.5), QPointF(19, 3 + i * 4.5));
    p.drawLine(QPointF(9, 3), QPointF(9, 21));
    p.setPen(QPen(QColor(30, 120, 60), 2.5));
    p.drawLine(QPointF(13, 14), QPointF(21, 14));
    p.drawLine(QPointF(18, 11), QPointF(21, 14));
    p.drawLine(QPointF(18, 17), QPointF(21, 14));
}

void DrawSettings(QPainter& p) {
    p.setBrush(QColor(110, 110, 120));
    QPainterPath gear;
    const QPointF c(12, 12);
    for (int i = 0; i < 8; ++i) {
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(i * 45);
        gear.addPolygon(t.map(QPolygonF(QRectF(-2, -10, 4, 5))));
    }
    gear.addEllipse(c, 7, 7);
    p.drawPath(gear.simplified());
    p.setBrush(Qt::white);
    p.drawEllipse(c, 3, 3);
}

// White bold letters centred in rect.
void DrawLetters(QPainter& p, const QRectF& rect, int pixelSize, const QString& text) {
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(pixelSize);
    p.setFont(f);
    p.drawText(rect, Qt::AlignCenter, text);
}

void DrawHelp(QPainter& p) {
    p.setBrush(QColor(40, 110, 200));
    p.drawEllipse(QRectF(2, 2, 20, 20));
    DrawLetters(p, QRectF(2, 2, 20, 20), 15, u"?"_s);
}

void DrawArrow(QPainter& p, bool right) {
    p.setBrush(QColor(30, 110, 50));
    QPolygonF tri;
    if (right)
        tri << QPointF(7, 4) << QPointF(19, 12) << QPointF(7, 20);
    else
        tri << QPointF(17, 4) << QPointF(5, 12) << QPointF(17, 20);
    p.drawPolygon(tri);
}

// Two receipts, the upper one with a payment code.
void DrawMonthReceipts(QPainter& p) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 2, 15, 17));
    p.drawRect(QRectF(3, 5, 15, 17));
    p.setBrush(QColor(30, 30, 30));
    p.setPen(Qt::NoPen);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            if ((x + y) % 2 == 0 || x == 0)
                p.drawRect(QRectF(10 + x * 2.3, 14 + y * 2.3, 2.3, 2.3));
    p.setPen(QPen(QColor(40, 40, 40), 1));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(5, 9 + i * 3), QPointF(15, 9 + i * 3));
}

// A list with a check mark: who owes what.
void DrawReconciliation(QPainter& p) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3, 2, 16, 20));
    p.setPen(QPen(QColor(160, 30, 30), 1.5));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(6, 6 + i * 4), QPointF(16, 6 + i * 4));
    p.setPen(QPen(QColor(30, 120, 60), 2.5));
    p.drawLine(QPointF(12, 17), QPointF(15, 20));
    p.drawLine(QPointF(15, 20), QPointF(22, 11));
}

// A person beside a sheet of figures: one member's account.
void DrawMemberAccount(QPainter& p) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 2, 13, 18));
    p.setPen(QPen(QColor(40, 40, 40), 1));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(12, 6 + i * 3.5), QPointF(19, 6 + i * 3.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 90, 170));
    p.drawEllipse(QRectF(2, 9, 7, 7));
    p.drawRoundedRect(QRectF(1, 16, 10, 7), 3, 3);
}

// A receipt with its payment code going out as a red PDF sheet.
void DrawReceiptPdfs(QPainter& p) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2, 2, 14, 17));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            if ((x + y) % 2 == 0 || x == 0)
                p.drawRect(QRectF(5 + x * 2.3, 5 + y * 2.3, 2.3, 2.3));
    p.setBrush(QColor(200, 30, 30));
    p.drawRoundedRect(QRectF(10, 12, 13, 10), 1.5, 1.5);
    DrawLetters(p, QRectF(10, 12, 13, 10), 6, u"PDF"_s);
}

// A bank's statement with an arrow into the ledger.
void DrawBankStatement(QPainter& p) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2, 2, 14, 19));
    p.setPen(QPen(QColor(40, 80, 160), 1));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(5, 6 + i * 3.5), QPointF(13, 6 + i * 3.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 120, 60));
    QPolygonF arrow;
    arrow << QPointF(15, 9) << QPointF(19, 9) << QPointF(19, 15) << QPointF(22.5, 15)
          << QPointF(17, 22) << QPointF(11.5, 15) << QPointF(15, 15);
    p.drawPolygon(arrow);
}

} // namespace

QIcon LedgerIcon(LedgerIconKind kind) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    switch (kind) {
    case LedgerIconKind::Save:
        DrawSave(p);
        break;
    case LedgerIconKind::Print:
        DrawPrint(p);
        break;
    case LedgerIconKind::Calculator:
        DrawCalculator(p);
        break;
    case LedgerIconKind::Export:
        DrawExport(p);
        break;
    case LedgerIconKind::Settings:
        DrawSettings(p);
        break;
    case LedgerIconKind::Help:
        DrawHelp(p);
        break;
    case LedgerIconKind::Left:
        DrawArrow(p, false);
        break;
    case LedgerIconKind::Right:
        DrawArrow(p, true);
        break;
    case LedgerIconKind::MonthReceipts:
        DrawMonthReceipts(p);
        break;
    case LedgerIconKind::Reconciliation:
        DrawReconciliation(p);
        break;
    case LedgerIconKind::MemberAccount:
        DrawMemberAccount(p);
        break;
    case LedgerIconKind::ReceiptPdfs:
        DrawReceiptPdfs(p);
        break;
    case LedgerIconKind::BankStatement:
        DrawBankStatement(p);
        break;
    }
    p.end();
    QIcon icon(pm);
    return icon;
}
