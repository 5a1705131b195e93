#pragma once

#include <QLineEdit>

// An entry or result cell of the main window's month table. It knows its
// month (1..12, 13 for the totals row) and its slot or result index.
class MonthCell final : public QLineEdit {
    Q_OBJECT
public:
    MonthCell(int month, int index, bool result, QWidget* parent);
    int month() const { return m_month; }
    int index() const { return m_index; }
    bool isResult() const { return m_result; }
    void setBackground(const QColor& color);
    // Red text with the reason as tooltip; an empty reason takes both away.
    void setWarning(const QString& reason);

private:
    int m_month;
    int m_index;
    bool m_result;
};
