#include "OrderPainter.h"

#include <QPainter>

#include "core/Twips.h"
#include "printing/PageGeometry.h"

using namespace Qt::StringLiterals;
using PageGeometry::pixelFont;

namespace {

constexpr int OrderLeft = 8;
constexpr int OrderRight = 466;
constexpr int CutX = 481;
constexpr int ReceiptLeft = 496;
constexpr int ReceiptRight = 756;

QRectF labelRectPx(int label) {
    const QRect r = OrderLayout::labelRect(label);
    return QRectF(Twips::ToPixels(r.x()), Twips::ToPixels(r.y()), Twips::ToPixels(r.width()),
                  Twips::ToPixels(r.height()));
}

class Blank {
public:
    explicit Blank(QPainter& p) : m_p(p) {}

    void text(double x, double y, double w, double h, const QString& s, int flags,
              const QFont& font) {
        m_p.setFont(font);
        m_p.drawText(QRectF(x, y, w, h), flags, s);
    }
    void caption(double x, double y, double w, const QString& s) {
        text(x, y, w, 14, s, Qt::AlignLeft | Qt::AlignBottom, pixelFont(8));
    }
    // A small note under a line: "(подпись)".
    void note(double x1, double x2, double y, const QString& s) {
        text(x1, y + 1, x2 - x1, 8, s, Qt::AlignHCenter | Qt::AlignTop, pixelFont(5));
    }
    void line(double x1, double x2, double y) { m_p.drawLine(QPointF(x1, y), QPointF(x2, y)); }
    void box(double x1, double y1, double x2, double y2) {
        m_p.drawRect(QRectF(x1, y1, x2 - x1, y2 - y1));
    }
    void boxText(double x1, double y1, double x2, double y2, const QString& s, const QFont& font) {
        box(x1, y1, x2, y2);
        text(x1 + 1, y1, x2 - x1 - 2, y2 - y1, s, Qt::AlignCenter | Qt::TextWordWrap, font);
    }

private:
    QPainter& m_p;
};

// The printed captions of the blank. A few lie under labels that repeat them
// or fill their place; those give way to a label that has a text.
void drawCaptions(Blank& b, const std::array<QString, OrderLayout::Labels>& labels) {
    const auto free = [&](int label) { return labels[size_t(label)].isEmpty(); };
    // The order.
    b.text(250, 2, OrderRight - 250, 9, u"Унифицированная форма № КО-1"_s,
           Qt::AlignRight | Qt::AlignTop, pixelFont(5.5));
    b.text(250, 11, OrderRight - 250, 18,
           u"Утверждена постановлением Госкомстата\nРоссии от 18.08.98 № 88"_s,
           Qt::AlignRight | Qt::AlignTop, pixelFont(5));
    b.text(300, 48, 100, 16, u"Форма по ОКУД"_s, Qt::AlignRight | Qt::AlignVCenter, pixelFont(6));
    b.text(300, 90, 100, 16, u"по ОКПО"_s, Qt::AlignRight | Qt::AlignVCenter, pixelFont(6));
    b.note(OrderLeft, 396, 106, u"(организация)"_s);
    b.note(OrderLeft, 396, 128, u"(структурное подразделение)"_s);
    b.text(20, 172, 284, 22, u"ПРИХОДНЫЙ КАССОВЫЙ ОРДЕР"_s, Qt::AlignRight | Qt::AlignVCenter,
           pixelFont(9.5, true));
    b.caption(OrderLeft, 312, 90, u"Принято от"_s);
    b.caption(OrderLeft, 332, 90, u"Основание:"_s);
    b.caption(OrderLeft, 368, 70, u"Сумма"_s);
    if (free(15))
        b.note(280, OrderRight, 382, u"(прописью)"_s);
    b.caption(OrderLeft, 418, 94, u"В том числе"_s);
    b.caption(OrderLeft, 436, 80, u"Приложение"_s);
    b.caption(OrderLeft, 454, 104, u"Главный бухгалтер"_s);
    b.note(114, 230, 468, u"(подпись)"_s);
    b.note(238, OrderRight, 468, u"(расшифровка подписи)"_s);
    b.caption(OrderLeft, 486, 100, u"Получил кассир"_s);
    b.note(114, 230, 500, u"(подпись)"_s);
    b.note(238, OrderRight, 500, u"(расшифровка подписи)"_s);

    // The tear-off receipt.
    b.note(ReceiptLeft, ReceiptRight, 52, u"(организация)"_s);
    b.text(ReceiptLeft, 62, ReceiptRight - ReceiptLeft, 22, u"КВИТАНЦИЯ"_s, Qt::AlignCenter,
           pixelFont(10, true));
    b.caption(ReceiptLeft, 94, 180, u"к приходному кассовому ордеру №"_s);
    b.caption(ReceiptLeft, 114, 20, u"от"_s);
    if (free(3))
        b.caption(500, 132, 90, u"Принято от"_s);
    if (free(4))
        b.caption(500, 172, 90, u"Основание"_s);
    b.caption(ReceiptLeft, 286, 44, u"Сумма"_s);
    b.note(540, ReceiptRight, 300, u"(цифрами)"_s);
    if (free(7))
        b.caption(ReceiptLeft, 360, 90, u"В том числе"_s);
    b.text(ReceiptLeft, 418, 120, 14, u"М. П. (штампа)"_s, Qt::AlignLeft | Qt::AlignVCenter,
           pixelFont(7));
    b.text(ReceiptLeft, 446, 78, 14, u"Главный бухгалтер"_s, Qt::AlignLeft | Qt::AlignBottom,
           pixelFont(7));
    b.note(582, 644, 460, u"(подпись)"_s);
    b.note(648, ReceiptRight, 460, u"(расшифровка подписи)"_s);
    b.caption(ReceiptLeft, 478, 44, u"Кассир"_s);
    b.note(542, 600, 492, u"(подпись)"_s);
    b.note(604, ReceiptRight, 492, u"(расшифровка подписи)"_s);
}

// The rules, boxes and the codes and debit/credit tables of the blank.
void drawRules(Blank& b, QPainter& p) {
    const QFont tiny = pixelFont(5.5);
    // Codes column.
    b.boxText(404, 34, OrderRight, 48, u"Код"_s, pixelFont(6));
    b.boxText(404, 48, OrderRight, 64, u"0310001"_s, pixelFont(7, true));
    b.box(404, 64, OrderRight, 106);
    b.line(OrderLeft, 396, 106);
    b.line(OrderLeft, 396, 128);

    // Number and date of the document.
    b.boxText(310, 150, 388, 174, u"Номер документа"_s, tiny);
    b.boxText(388, 150, 464, 174, u"Дата составления"_s, tiny);
    p.save();
    p.setPen(QPen(Qt::black, 1.6));
    b.box(310, 174, 388, 194);
    b.box(388, 174, 464, 194);
    p.restore();

    // Debit, credit and amount.
    b.boxText(OrderLeft, 204, 58, 284, u"Дебет"_s, tiny);
    b.boxText(58, 204, 288, 220, u"Кредит"_s, tiny);
    b.boxText(58, 220, 128, 284, u"код структурного подразделения"_s, tiny);
    b.boxText(128, 220, 208, 284, u"корреспондирующий счет, субсчет"_s, tiny);
    b.boxText(208, 220, 288, 284, u"код аналитического учета"_s, tiny);
    b.boxText(288, 204, 384, 284, u"Сумма, руб. коп."_s, tiny);
    b.boxText(384, 204, 436, 284, u"Код целевого назначения"_s, tiny);
    b.box(436, 204, OrderRight, 284);
    for (const auto& [x1, x2] : {std::pair{OrderLeft, 58},
                                 {58, 128},
                                 {128, 208},
                                 {208, 288},
                                 {288, 384},
                                 {384, 436},
                                 {436, OrderRight}})
        b.box(x1, 284, x2, 306);

    b.line(100, OrderRight, 326);
    b.line(100, OrderRight, 346);
    b.line(OrderLeft, OrderRight, 362);
    b.line(78, OrderRight, 382);
    b.line(OrderLeft, OrderRight, 398);
    b.line(100, OrderRight, 432);
    b.line(80, OrderRight, 450);
    for (const int y : {468, 500}) {
        b.line(114, 230, y);
        b.line(238, OrderRight, y);
    }

    // The cut line.
    p.save();
    p.setPen(QPen(Qt::black, 0.8, Qt::DashLine));
    p.drawLine(QPointF(CutX, 0), QPointF(CutX, 518));
    p.translate(CutX - 3, 300);
    p.rotate(-90);
    p.fillRect(QRectF(-2, -6, 62, 12), Qt::white);
    p.setFont(pixelFont(5.5));
    p.drawText(QRectF(0, -6, 58, 12), Qt::AlignCenter, u"Линия отреза"_s);
    p.restore();

    // The tear-off receipt.
    b.line(ReceiptLeft, ReceiptRight, 52);
    b.line(676, ReceiptRight, 108);
    b.line(518, ReceiptRight, 128);
    for (const int y : {148, 168, 188, 206, 224, 244, 264})
        b.line(ReceiptLeft, ReceiptRight, y);
    b.line(540, ReceiptRight, 300);
    b.line(ReceiptLeft, ReceiptRight, 327);
    b.line(ReceiptLeft, ReceiptRight, 345);
    b.line(ReceiptLeft, ReceiptRight, 376);
    b.line(ReceiptLeft, ReceiptRight, 412);
    b.line(582, 644, 460);
    b.line(648, ReceiptRight, 460);
    b.line(542, 600, 492);
    b.line(604, ReceiptRight, 492);
}

} // namespace

QFont OrderLabelFont() {
    return pixelFont(8);
}

void PaintOrder(QPainter& painter, const std::array<QString, OrderLayout::Labels>& labels) {
    painter.save();
    painter.setPen(QPen(Qt::black, 0.8));
    painter.setBrush(Qt::NoBrush);
    Blank blank(painter);
    drawCaptions(blank, labels);
    drawRules(blank, painter);

    painter.setPen(Qt::black);
    painter.setFont(OrderLabelFont());
    for (int i = 0; i < OrderLayout::Labels; ++i) {
        const QString& text = labels[size_t(i)];
        if (text.isEmpty())
            continue;
        const QRectF r = labelRectPx(i);
        painter.drawText(r.adjusted(1, 0, -1, 0),
                         int(OrderLayout::labelAlignment(i)) | Qt::TextWordWrap, text);
    }
    painter.restore();
}
