#pragma once

#include <QString>

class Platform;
class QWidget;

// Prints a widget and its children as they are drawn on the screen, scaled
// to fit one landscape page.
void PrintWidget(Platform& platform, QWidget* widget, const QString& title);
