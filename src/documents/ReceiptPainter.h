#pragma once

#include <vector>

#include <QPoint>
#include <QRect>
#include <QString>

struct ReceiptContent;
struct ReceiptPayment;
class QPainter;

// The receipt's page in twips: one copy, or two with a cut line between.
namespace ReceiptPage {
constexpr int Width = 10800;
constexpr int OneCopyHeight = 8000;
constexpr int TwoCopiesHeight = 16825;
constexpr int CutLineY = 8000;
// The printed payment code's side, quiet zone left out (30 mm).
constexpr int CodeSide = 1700;

// Where the pay-by text of copy 0 or 1 stands, and the room beside the
// first copy's pay-by line for the print button and the copies box. With a
// payee block (withPayee) the lines are closer, to leave room for it.
QRect payByRect(int copy, bool withPayee);
QRect buttonRect(bool withPayee);
QRect copiesBoxRect(bool withPayee);
// Where the payment code of a copy stands.
QRect codeRect(int copy);
} // namespace ReceiptPage

// Draws the receipt in twips: one copy, or two identical copies one above the
// other with the cut line between them. On paper an empty pay-by text leaves
// out the "Оплата до " captions; on screen the first copy's pay-by text is
// left to its editor. A payment adds the payee block and, when there is
// something to pay, its code to every copy.
void PaintReceipt(QPainter& painter, const ReceiptContent& content, const QString& payBy,
                  bool twoCopies, bool forPrint, const ReceiptPayment* payment = nullptr);

// One copy in the upper (place 0) or lower (place 1) half of the page; a
// second copy has its own caption of the total.
void PaintReceiptCopy(QPainter& painter, int place, bool secondCopy, const ReceiptContent& content,
                      const QString& payBy, bool forPrint, const ReceiptPayment* payment);
// The cut line between the halves.
void PaintCutLine(QPainter& painter);

// A payment code of `modules` modules a side drawn from its outline
// (QrMatrix::outline) into rect, quiet zone left to the caller.
void PaintCode(QPainter& painter, int modules, const std::vector<std::vector<QPoint>>& outline,
               const QRectF& rect);
