#include "ChartModule.h"
#include "ConsumptionChart.h"
#include "ImbalanceChart.h"

namespace {

QWidget* imbalanceChart(QWidget* parent) {
    return new ImbalanceChart(parent);
}

void showImbalance(QWidget* chart, const ImbalanceResults& results) {
    static_cast<ImbalanceChart*>(chart)->setResults(results);
}

constexpr ChartModuleApi Api = {&ConsumptionChart, &ShowConsumption, &imbalanceChart,
                                &showImbalance};

} // namespace

extern "C" Q_DECL_EXPORT const ChartModuleApi* ostrevanka_charts() {
    return &Api;
}
