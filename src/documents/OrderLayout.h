#pragma once

#include <QRect>
#include <Qt>

// Where the 21 labels of the cash receipt order lie on its blank, in twips
// from the blank's top left corner, and which labels show the same value on
// the order and on its tear-off receipt.
namespace OrderLayout {

constexpr int Labels = 21;
constexpr int BlankWidthPx = 762;
constexpr int BlankHeightPx = 518;

QRect labelRect(int label); // twips
Qt::Alignment labelAlignment(int label);
// The label's twin on the other half, or -1.
int twin(int label);

} // namespace OrderLayout
