#pragma once

#include <QString>

class QBarSet;
class QChart;
class QLineSeries;
class QWidget;
struct ConsumptionYear;
struct ImbalanceResults;

// The chart widgets are built in a module of their own, loaded the first
// time a chart is shown: Qt Charts and the OpenGL libraries it needs cost
// every start a few milliseconds otherwise. The module uses Qt alone; what
// it draws comes in as plain data.

// The parts of a consumption chart, for its window and for tests to look at.
struct ConsumptionChartParts {
    QChart* chart = nullptr;
    QBarSet* t1 = nullptr;
    QBarSet* t2 = nullptr;
    QLineSeries* yearBefore = nullptr;
};

struct ChartModuleApi {
    // One subscriber's T1 and T2 by month, stacked, the year before as a line.
    QWidget* (*consumptionChart)(QWidget* parent, ConsumptionChartParts* parts);
    void (*showConsumption)(const ConsumptionChartParts& parts, const ConsumptionYear& data);
    // The head meter against the subscribers, a chart per tariff.
    QWidget* (*imbalanceChart)(QWidget* parent);
    void (*showImbalance)(QWidget* chart, const ImbalanceResults& results);
};

// The module's entry point, by this name.
using ChartModuleEntry = const ChartModuleApi* (*)();
inline constexpr char ChartModuleEntryName[] = "ostrevanka_charts";

// Loads the module on the first call: the file OSTREVANKA_CHART_MODULE
// names, if any, then beside the program (the build), then in
// ../lib/ostrevanka from it (an installed copy).
// nullptr when it cannot be loaded, with the reason in *error.
const ChartModuleApi* ChartModule(QString* error = nullptr);
