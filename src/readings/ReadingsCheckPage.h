#pragma once

#include <QList>
#include <QSizeF>
#include <QStringList>

class QPainter;

// A landscape page of the readings check's list, in twips.
constexpr QSizeF ReadingsCheckPageTwips(16725, 11625);
constexpr int ReadingsCheckLinesPerPage = 30;

int ReadingsCheckPageCount(qsizetype lineCount); // at least 1

// Draws page `page` (0-based) of the lines as text on a painter whose area is
// areaWidth x areaHeight device pixels: the title, the column headings, the
// lines of the page in a grid and "Лист n из m".
void PaintReadingsCheckPage(QPainter& painter, const QString& title,
                            const QList<QStringList>& lines, int page, double areaWidth,
                            double areaHeight);
