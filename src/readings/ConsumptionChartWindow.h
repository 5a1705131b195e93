#pragma once

#include <QWidget>

#include "charts/ChartModule.h"
#include "core/AppState.h"

// The shown subscriber's consumption by month: T1 and T2 stacked, the year
// before as a line. Follows the main window's subscriber and year.
class ConsumptionChartWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ConsumptionChartWindow(AppState& state, QWidget* parent = nullptr);

    // Draws the main window's shown subscriber and year again.
    void refresh();
    // Null where the chart module could not be loaded.
    QChart* chart() const { return m_parts.chart; }
    QBarSet* t1() const { return m_parts.t1; }
    QBarSet* t2() const { return m_parts.t2; }
    QLineSeries* yearBefore() const { return m_parts.yearBefore; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppState& m_state;
    const ChartModuleApi* m_charts = nullptr;
    ConsumptionChartParts m_parts;
};
