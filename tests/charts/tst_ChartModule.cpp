#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QChart>
#include <QLabel>
#include <QLineSeries>
#include <QTest>

#include "charts/ChartModule.h"
#include "core/AppState.h"
#include "imbalance/ImbalanceWindow.h"
#include "readings/ConsumptionChartData.h"
#include "readings/ConsumptionChartWindow.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;

// The chart module on its own, and the windows when it cannot be found. The
// loader keeps its result for the process, so the missing module is a second
// run of this program (CHART_MODULE_CASE=missing).
class tst_ChartModule : public QObject {
    Q_OBJECT
private slots:
    void drawsWhatItIsGiven();
};

void tst_ChartModule::drawsWhatItIsGiven() {
    QString error;
    const ChartModuleApi* api = ChartModule(&error);
    QVERIFY2(api, qPrintable(error));
    QWidget window;
    ConsumptionChartParts parts;
    QWidget* view = api->consumptionChart(&window, &parts);
    QCOMPARE(view->parent(), &window);
    QVERIFY(parts.chart && parts.t1 && parts.t2 && parts.yearBefore);
    ConsumptionYear year;
    year.title = u"Абонент, 2020 г."_s;
    year.t1[0] = 120;
    year.t2[11] = 35.5;
    api->showConsumption(parts, year);
    QCOMPARE(parts.chart->title(), year.title);
    QCOMPARE(parts.t1->at(0), 120.0);
    QCOMPARE(parts.t2->at(11), 35.5);
    QVERIFY(!parts.yearBefore->isVisible());
    year.hasYearBefore = true;
    year.yearBefore[3] = 80;
    api->showConsumption(parts, year);
    QVERIFY(parts.yearBefore->isVisible());
    QCOMPARE(parts.yearBefore->at(3), QPointF(3, 80));

    QWidget* imbalance = api->imbalanceChart(&window);
    QCOMPARE(imbalance->parent(), &window);
    const auto views = imbalance->findChildren<QChartView*>();
    QCOMPARE(views.size(), 2); // a chart per tariff
    ImbalanceResults results;
    results.values[4][ImbCol::HeadT1] = 1000;
    results.values[4][ImbCol::SubsT2] = 640;
    api->showImbalance(imbalance, results);
    const auto bars = [&](int tariff) {
        return qobject_cast<QBarSeries*>(views[tariff]->chart()->series().front())->barSets();
    };
    QCOMPARE(bars(0)[0]->at(4), 1000.0); // head meter, T1
    QCOMPARE(bars(1)[1]->at(4), 640.0);  // subscribers, T2
}

class tst_ChartModuleMissing : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("OSTREVANKA_CHART_MODULE", "/nonexistent/ostrevanka_charts.so"); }
    void windowsSayWhy();
};

// Without the module the windows still open and say why there is no chart.
void tst_ChartModuleMissing::windowsSayWhy() {
    QString error;
    QVERIFY(!ChartModule(&error));
    QVERIFY2(error.contains(u"ostrevanka_charts"_s), qPrintable(error));
    AppState state;
    ConsumptionChartWindow chart(state.table, 0, u"2017"_s);
    QVERIFY(!chart.chart());
    chart.refresh(0, u"2017"_s);
    auto* reason = chart.findChild<QLabel*>();
    QVERIFY(reason);
    QVERIFY(reason->text().startsWith(u"График недоступен: "_s));

    ScriptedPlatform platform;
    ImbalanceWindow imbalance(state, platform, u"2017"_s);
    auto* placeholder = imbalance.findChild<QLabel*>(u"chart"_s);
    QVERIFY(placeholder);
    QVERIFY(placeholder->text().startsWith(u"График недоступен: "_s));
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The module is loaded once per process: which case runs is chosen here.
    if (qEnvironmentVariable("CHART_MODULE_CASE") == u"missing"_s) {
        tst_ChartModuleMissing missing;
        return QTest::qExec(&missing, argc, argv);
    }
    tst_ChartModule module;
    return QTest::qExec(&module, argc, argv);
}

#include "tst_ChartModule.moc"
