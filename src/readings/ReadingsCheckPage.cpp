#include "ReadingsCheckPage.h"

#include <algorithm>
#include <array>

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include "core/Twips.h"
#include "readings/ReadingsCheckModel.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int Left = 500;
constexpr int TitleTop = 500;
constexpr int GridTop = 1200;
constexpr int LineHeight = 300;
constexpr int Pad = 60;
constexpr std::array<int, ReadingsCheckModel::ColumnCount> Widths = {600, 3600, 1300, 3000, 7200};

// A font whose size is in the page's units (twips).
QFont twipsFont(double points, bool bold) {
    QFont f(u"Liberation Sans"_s);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(int(points * 20 + 0.5));
    f.setBold(bold);
    return f;
}

void drawRow(QPainter& painter, int top, const QStringList& texts) {
    const QFontMetrics metrics(painter.font());
    int x = Left;
    for (int c = 0; c < ReadingsCheckModel::ColumnCount; ++c) {
        const int w = Widths[size_t(c)];
        const QRect cell(x, top, w, LineHeight);
        painter.drawRect(cell);
        const QString text = metrics.elidedText(texts.value(c), Qt::ElideRight, w - 2 * Pad);
        const int align = c == ReadingsCheckModel::ColRow ? Qt::AlignRight : Qt::AlignLeft;
        painter.drawText(cell.adjusted(Pad, 0, -Pad, 0), align | Qt::AlignVCenter, text);
        x += w;
    }
}

} // namespace

int ReadingsCheckPageCount(qsizetype lineCount) {
    return std::max(1,
                    int((lineCount + ReadingsCheckLinesPerPage - 1) / ReadingsCheckLinesPerPage));
}

void PaintReadingsCheckPage(QPainter& painter, const QString& title,
                            const QList<QStringList>& lines, int page, double areaWidth,
                            double areaHeight) {
    const QPaintDevice* device = painter.device();
    const double dpi = device ? device->logicalDpiX() : 96.0;
    const double scale = std::min({dpi / Twips::PerInch, areaWidth / ReadingsCheckPageTwips.width(),
                                   areaHeight / ReadingsCheckPageTwips.height()});
    painter.save();
    painter.translate((areaWidth - ReadingsCheckPageTwips.width() * scale) / 2, 0);
    painter.scale(scale, scale);
    painter.setPen(QPen(Qt::black, 15));

    painter.setFont(twipsFont(12, true));
    painter.drawText(QRect(Left, TitleTop, 15000, 450), Qt::AlignLeft | Qt::AlignVCenter, title);

    painter.setFont(twipsFont(9, true));
    QStringList headings;
    for (int c = 0; c < ReadingsCheckModel::ColumnCount; ++c)
        headings << ReadingsCheckModel::columnTitle(c);
    drawRow(painter, GridTop, headings);

    painter.setFont(twipsFont(9, false));
    const qsizetype first = qsizetype(page) * ReadingsCheckLinesPerPage;
    const qsizetype last = std::min(lines.size(), first + ReadingsCheckLinesPerPage);
    for (qsizetype i = first; i < last; ++i)
        drawRow(painter, GridTop + LineHeight * int(i - first + 1), lines[i]);

    const int pages = ReadingsCheckPageCount(lines.size());
    painter.drawText(
        QRect(Left, GridTop + LineHeight * (ReadingsCheckLinesPerPage + 2), 15700, 300),
        Qt::AlignRight | Qt::AlignVCenter, u"Лист %1 из %2"_s.arg(page + 1).arg(pages));
    painter.restore();
}
