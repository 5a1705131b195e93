#include "MonthCell.h"

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
