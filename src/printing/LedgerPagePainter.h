#pragma once

#include <QSizeF>
#include <QString>

class LedgerPrintModel;
class QPainter;

// A landscape page of the month's personal accounts, in twips.
constexpr QSizeF LedgerPageTwips(16725, 11625);

// Draws the shown page of the model: the date line, the sheet number, the
// two-level column header and the grid. On screen the headers over charges
// and debts are blue and those over income and credits red; on paper all is
// black.
void PaintLedgerPage(QPainter& painter, const LedgerPrintModel& model, const QString& dateText,
                     bool forPrint);
