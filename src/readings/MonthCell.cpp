#include "MonthCell.h"

#include <QApplication>

MonthCell::MonthCell(int month, int index, bool result, QWidget* parent)
    : QLineEdit(parent), m_month(month), m_index(index), m_result(result) {
    setAutoFillBackground(true);
    setFrame(true);
    setAlignment(result ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignCenter);
    setReadOnly(result);
    if (result)
        setFocusPolicy(Qt::ClickFocus);
    setTextMargins(1, 0, 1, 0);
}

void MonthCell::setBackground(const QColor& color) {
    QPalette p = palette();
    if (p.color(QPalette::Base) == color)
        return;
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

void MonthCell::setWarning(const QString& reason) {
    if (toolTip() == reason)
        return;
    QPalette p = palette();
    p.setColor(QPalette::Text,
               reason.isEmpty() ? QApplication::palette().color(QPalette::Text) : QColor(Qt::red));
    setPalette(p);
    setToolTip(reason);
}
