#pragma once

#include <QRect>
#include <QString>

struct ReceiptContent;
class QPainter;

// The receipt's page in twips: one copy, or two with a cut line between.
namespace ReceiptPage {
constexpr int Width = 10800;
constexpr int OneCopyHeight = 8000;
constexpr int TwoCopiesHeight = 16825;
constexpr int CutLineY = 8000;

// Where the pay-by text of copy 0 or 1 stands, and the room beside the
// first copy's pay-by line for the print button and the copies box.
QRect payByRect(int copy);
QRect buttonRect();
QRect copiesBoxRect();
} // namespace ReceiptPage

// Draws the receipt in twips: one copy, or two identical copies one above the
// other with the cut line between them. On paper an empty pay-by text leaves
// out the "Оплата до " captions; on screen the first copy's pay-by text is
// left to its editor.
void PaintReceipt(QPainter& painter, const ReceiptContent& content, const QString& payBy,
                  bool twoCopies, bool forPrint);
