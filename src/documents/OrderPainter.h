#pragma once

#include <array>

#include <QFont>
#include <QString>

#include "OrderLayout.h"

class QPainter;

// Draws the cash receipt order: the KO-1 blank (the order, the cut line and
// the tear-off receipt) with the label texts over its fields. The painter's
// units are 96-dpi pixels; the blank is 762 x 518 of them.
void PaintOrder(QPainter& painter, const std::array<QString, OrderLayout::Labels>& labels);

// The font of the label texts, in pixels.
QFont OrderLabelFont();
