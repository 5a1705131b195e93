#pragma once

#include "ChartModule.h"

// The shown subscriber's consumption by month: T1 and T2 stacked, the year
// before as a line.
QWidget* ConsumptionChart(QWidget* parent, ConsumptionChartParts* parts);
void ShowConsumption(const ConsumptionChartParts& parts, const ConsumptionYear& data);
