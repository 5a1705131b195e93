#include "ConsumptionChart.h"

#include <algorithm>
#include <cmath>

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QValueAxis>

#include "readings/ConsumptionChartData.h"

using namespace Qt::StringLiterals;

QWidget* ConsumptionChart(QWidget* parent, ConsumptionChartParts* parts) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);

    auto* t1 = new QBarSet(u"Т1 (день), кВт*ч"_s);
    t1->setColor(QColor(0xe0, 0xa0, 0x30));
    auto* t2 = new QBarSet(u"Т2 (ночь), кВт*ч"_s);
    t2->setColor(QColor(0x3a, 0x6e, 0xa5));
    for (int m = 0; m < 12; ++m) {
        t1->append(0);
        t2->append(0);
    }
    auto* bars = new QStackedBarSeries;
    bars->append(t1);
    bars->append(t2);
    bars->setBarWidth(0.7);
    chart->addSeries(bars);

    auto* yearBefore = new QLineSeries;
    yearBefore->setName(u"Год назад, Т1 + Т2"_s);
    QPen pen(QColor(0xd0, 0x30, 0x30));
    pen.setWidth(2);
    yearBefore->setPen(pen);
    yearBefore->setPointsVisible(true);
    chart->addSeries(yearBefore);

    auto* months = new QBarCategoryAxis;
    months->append({u"Янв"_s, u"Фев"_s, u"Мар"_s, u"Апр"_s, u"Май"_s, u"Июн"_s, u"Июл"_s, u"Авг"_s,
                    u"Сен"_s, u"Окт"_s, u"Ноя"_s, u"Дек"_s});
    chart->addAxis(months, Qt::AlignBottom);
    bars->attachAxis(months);
    yearBefore->attachAxis(months);
    auto* axis = new QValueAxis;
    axis->setObjectName(u"consumptionAxis"_s);
    axis->setLabelFormat(u"%.0f"_s);
    axis->setTitleText(u"кВт*ч"_s);
    chart->addAxis(axis, Qt::AlignLeft);
    bars->attachAxis(axis);
    yearBefore->attachAxis(axis);

    auto* view = new QChartView(chart, parent);
    view->setObjectName(u"chartView"_s);
    view->setRenderHint(QPainter::Antialiasing);
    *parts = {chart, t1, t2, yearBefore};
    return view;
}

void ShowConsumption(const ConsumptionChartParts& parts, const ConsumptionYear& data) {
    parts.chart->setTitle(data.title);
    double top = 0;
    QList<QPointF> points;
    for (int m = 0; m < 12; ++m) {
        parts.t1->replace(m, data.t1[size_t(m)]);
        parts.t2->replace(m, data.t2[size_t(m)]);
        top = std::max(top, data.t1[size_t(m)] + data.t2[size_t(m)]);
        if (data.hasYearBefore) {
            points.append(QPointF(m, data.yearBefore[size_t(m)]));
            top = std::max(top, data.yearBefore[size_t(m)]);
        }
    }
    parts.yearBefore->replace(points);
    parts.yearBefore->setVisible(data.hasYearBefore);
    // The series stays in the legend only where it has a line.
    const auto markers = parts.chart->legend()->markers(parts.yearBefore);
    for (auto* marker : markers)
        marker->setVisible(data.hasYearBefore);
    // A round top a little above the highest bar or point.
    const double magnitude = top > 0 ? std::pow(10.0, std::floor(std::log10(top))) : 10;
    const auto axes = parts.chart->axes(Qt::Vertical);
    for (auto* axis : axes)
        axis->setRange(0, std::max(10.0, std::ceil(top * 1.05 / magnitude * 2) * magnitude / 2));
}
