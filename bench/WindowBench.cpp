#include "WindowBench.h"

#include <benchmark/benchmark.h>

#include <QApplication>

int RunWindowBenchmarks(int argc, char** argv, const std::function<void()>& dropFixtures) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef OST_CHART_MODULE_PATH
    if (qEnvironmentVariableIsEmpty("OSTREVANKA_CHART_MODULE"))
        qputenv("OSTREVANKA_CHART_MODULE", OST_CHART_MODULE_PATH);
#endif
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    dropFixtures();
    return 0;
}
