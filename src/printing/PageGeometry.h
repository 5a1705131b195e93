#pragma once

#include <QFont>
#include <QSizeF>

class QPainter;

// Pages are laid out in twips (1440 to the inch). These helpers map a page
// onto a device and give fonts whose size is in the page's units.
namespace PageGeometry {

// Scales and moves the painter so that a page of `pageTwips` fits into an
// area of areaWidth x areaHeight device pixels: at its true size when it fits,
// smaller when it does not, centred across.
void fitPage(QPainter& painter, QSizeF pageTwips, double areaWidth, double areaHeight);

// A font of `points` points for a painter whose units are twips.
QFont twipsFont(double points, bool bold = false);
// A font of `points` points for a painter whose units are 96-dpi pixels.
QFont pixelFont(double points, bool bold = false);

} // namespace PageGeometry
