#pragma once

#include <QSizeF>
#include <QString>

class ReadingSheetModel;
class QPainter;

// A portrait page of the meter-reading sheet, in twips.
constexpr QSizeF ReadingSheetTwips(11600, 16500);

// Draws the shown page: the sheet number, the month and the grid with its
// header row.
void PaintReadingSheet(QPainter& painter, const ReadingSheetModel& model, const QString& dateText);
