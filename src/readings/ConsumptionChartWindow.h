#pragma once

#include <QWidget>

#include "charts/ChartModule.h"

class SubscriberTable;

// One subscriber's consumption by month: T1 and T2 stacked, the year before
// as a line. Follows the main window's subscriber and year (refresh).
class ConsumptionChartWindow final : public QWidget {
    Q_OBJECT
public:
    ConsumptionChartWindow(const SubscriberTable& table, int row, const QString& yearText,
                           QWidget* parent = nullptr);

    // Draws the subscriber of table row `row` in the year again.
    void refresh(int row, const QString& yearText);
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
    const SubscriberTable& m_table;
    const ChartModuleApi* m_charts = nullptr;
    ConsumptionChartParts m_parts;
};
