#include "frmGrafik.h"

#include <algorithm>
#include <cmath>

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include "readings/ConsumptionChartData.h"

using namespace Qt::StringLiterals;

frmGrafik::frmGrafik(AppState& state, QWidget* parent) : QWidget(parent), m_state(state) {
    setObjectName(u"frmGrafik"_s);
    setWindowTitle(u"График потребления"_s);

    m_chart = new QChart;
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    QFont titleFont = m_chart->titleFont();
    titleFont.setBold(true);
    m_chart->setTitleFont(titleFont);

    m_t1 = new QBarSet(u"Т1 (день), кВт*ч"_s);
    m_t1->setColor(QColor(0xe0, 0xa0, 0x30));
    m_t2 = new QBarSet(u"Т2 (ночь), кВт*ч"_s);
    m_t2->setColor(QColor(0x3a, 0x6e, 0xa5));
    for (int m = 0; m < 12; ++m) {
        m_t1->append(0);
        m_t2->append(0);
    }
    auto* bars = new QStackedBarSeries;
    bars->append(m_t1);
    bars->append(m_t2);
    bars->setBarWidth(0.7);
    m_chart->addSeries(bars);

    m_yearBefore = new QLineSeries;
    m_yearBefore->setName(u"Год назад, Т1 + Т2"_s);
    QPen pen(QColor(0xd0, 0x30, 0x30));
    pen.setWidth(2);
    m_yearBefore->setPen(pen);
    m_yearBefore->setPointsVisible(true);
    m_chart->addSeries(m_yearBefore);

    auto* months = new QBarCategoryAxis;
    months->append({u"Янв"_s, u"Фев"_s, u"Мар"_s, u"Апр"_s, u"Май"_s, u"Июн"_s, u"Июл"_s, u"Авг"_s,
                    u"Сен"_s, u"Окт"_s, u"Ноя"_s, u"Дек"_s});
    m_chart->addAxis(months, Qt::AlignBottom);
    bars->attachAxis(months);
    m_yearBefore->attachAxis(months);
    m_axis = new QValueAxis;
    m_axis->setLabelFormat(u"%.0f"_s);
    m_axis->setTitleText(u"кВт*ч"_s);
    m_chart->addAxis(m_axis, Qt::AlignLeft);
    bars->attachAxis(m_axis);
    m_yearBefore->attachAxis(m_axis);

    auto* view = new QChartView(m_chart, this);
    view->setObjectName(u"chartView"_s);
    view->setRenderHint(QPainter::Antialiasing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(view);
    resize(760, 440);
    refresh();
}

void frmGrafik::refresh() {
    const ConsumptionYear data =
        SubscriberConsumption(m_state.table, m_state.currentRow, m_state.shownYearText);
    m_chart->setTitle(data.title);
    double top = 0;
    QList<QPointF> points;
    for (int m = 0; m < 12; ++m) {
        m_t1->replace(m, data.t1[size_t(m)]);
        m_t2->replace(m, data.t2[size_t(m)]);
        top = std::max(top, data.t1[size_t(m)] + data.t2[size_t(m)]);
        if (data.hasYearBefore) {
            points.append(QPointF(m, data.yearBefore[size_t(m)]));
            top = std::max(top, data.yearBefore[size_t(m)]);
        }
    }
    m_yearBefore->replace(points);
    m_yearBefore->setVisible(data.hasYearBefore);
    // The series stays in the legend only where it has a line.
    const auto markers = m_chart->legend()->markers(m_yearBefore);
    for (auto* marker : markers)
        marker->setVisible(data.hasYearBefore);
    // A round top a little above the highest bar or point.
    const double magnitude = top > 0 ? std::pow(10.0, std::floor(std::log10(top))) : 10;
    m_axis->setRange(0, std::max(10.0, std::ceil(top * 1.05 / magnitude * 2) * magnitude / 2));
}

void frmGrafik::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
