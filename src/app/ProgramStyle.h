#pragma once

#include <QProxyStyle>

// The platform's style, with the menu bar's overflow arrow taken from the
// pictures built into the program: the style's own one is looked up in the
// icon theme and read through the image plugins, which costs the start-up
// several milliseconds for an arrow that shows only on a narrow window.
// It also opens the list of a combo box marked with ListPopupProperty as a
// plain scrolling list: a style sheet would do the same, but makes the box
// and its list slower to build and to draw.
class ProgramStyle final : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};
