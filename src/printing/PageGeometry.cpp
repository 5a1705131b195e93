#include "PageGeometry.h"

#include <algorithm>

#include <QPaintDevice>
#include <QPainter>

#include "core/Twips.h"

using namespace Qt::StringLiterals;

namespace PageGeometry {

void fitPage(QPainter& painter, QSizeF pageTwips, double areaWidth, double areaHeight) {
    const QPaintDevice* device = painter.device();
    const double dpi = device ? device->logicalDpiX() : 96.0;
    const double trueScale = dpi / Twips::PerInch;
    const double scale =
        std::min({trueScale, areaWidth / pageTwips.width(), areaHeight / pageTwips.height()});
    painter.translate((areaWidth - pageTwips.width() * scale) / 2, 0);
    painter.scale(scale, scale);
}

static QFont makeFont(int pixelSize, bool bold) {
    QFont f(u"Liberation Sans"_s);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(1, pixelSize));
    f.setBold(bold);
    return f;
}

QFont twipsFont(double points, bool bold) {
    return makeFont(int(points * 20 + 0.5), bold);
}

QFont pixelFont(double points, bool bold) {
    return makeFont(int(points * 96 / 72 + 0.5), bold);
}

} // namespace PageGeometry
