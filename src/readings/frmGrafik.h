#pragma once

#include <QWidget>

#include "core/AppState.h"

class QBarSet;
class QChart;
class QLineSeries;
class QValueAxis;

// The shown subscriber's consumption by month: T1 and T2 stacked, the year
// before as a line. Follows the main window's subscriber and year.
class frmGrafik final : public QWidget {
    Q_OBJECT
public:
    explicit frmGrafik(AppState& state, QWidget* parent = nullptr);

    // Draws the main window's shown subscriber and year again.
    void refresh();
    QChart* chart() const { return m_chart; }
    QBarSet* t1() const { return m_t1; }
    QBarSet* t2() const { return m_t2; }
    QLineSeries* yearBefore() const { return m_yearBefore; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppState& m_state;
    QChart* m_chart = nullptr;
    QBarSet* m_t1 = nullptr;
    QBarSet* m_t2 = nullptr;
    QLineSeries* m_yearBefore = nullptr;
    QValueAxis* m_axis = nullptr;
};
