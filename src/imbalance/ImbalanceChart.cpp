#include "ImbalanceChart.h"

#include <algorithm>
#include <cmath>

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QValueAxis>

using namespace Qt::StringLiterals;

ImbalanceChart::ImbalanceChart(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_t1 = makeChart(u"Т1 (день), кВт*ч"_s);
    m_t2 = makeChart(u"Т2 (ночь), кВт*ч"_s);
    for (QChart* c : {m_t1.chart, m_t2.chart}) {
        auto* view = new QChartView(c, this);
        view->setRenderHint(QPainter::Antialiasing);
        layout->addWidget(view);
    }
}

ImbalanceChart::Tariff ImbalanceChart::makeChart(const QString& title) {
    Tariff t;
    t.chart = new QChart;
    t.chart->setTitle(title);
    QFont titleFont = t.chart->titleFont();
    titleFont.setBold(true);
    t.chart->setTitleFont(titleFont);
    t.chart->setMargins(QMargins(2, 2, 2, 2));
    t.chart->legend()->setAlignment(Qt::AlignBottom);
    t.chart->setAnimationOptions(QChart::NoAnimation);

    t.head = new QBarSet(u"Головной счетчик"_s);
    t.head->setColor(QColor(0x3a, 0x6e, 0xa5));
    t.subs = new QBarSet(u"Сумма абонентов"_s);
    t.subs->setColor(QColor(0x8c, 0xc0, 0x6e));
    for (int m = 0; m < 12; ++m) {
        t.head->append(0);
        t.subs->append(0);
    }
    auto* bars = new QBarSeries;
    bars->append(t.head);
    bars->append(t.subs);
    bars->setBarWidth(0.8);
    t.chart->addSeries(bars);

    t.imbalance = new QLineSeries;
    t.imbalance->setName(u"Разбаланс"_s);
    QPen pen(QColor(0xd0, 0x30, 0x30));
    pen.setWidth(2);
    t.imbalance->setPen(pen);
    t.imbalance->setPointsVisible(true);
    t.chart->addSeries(t.imbalance);

    auto* months = new QBarCategoryAxis;
    months->append({u"Янв"_s, u"Фев"_s, u"Мар"_s, u"Апр"_s, u"Май"_s, u"Июн"_s, u"Июл"_s, u"Авг"_s,
                    u"Сен"_s, u"Окт"_s, u"Ноя"_s, u"Дек"_s});
    t.chart->addAxis(months, Qt::AlignBottom);
    bars->attachAxis(months);
    t.imbalance->attachAxis(months);

    t.axis = new QValueAxis;
    t.axis->setLabelFormat(u"%.0f"_s);
    t.chart->addAxis(t.axis, Qt::AlignLeft);
    bars->attachAxis(t.axis);
    t.imbalance->attachAxis(t.axis);
    return t;
}

void ImbalanceChart::fill(Tariff& t, const ImbalanceResults& r, int headCol, int subsCol,
                          int imbCol) {
    double lo = 0, hi = 0;
    QList<QPointF> points;
    for (int m = 0; m < 12; ++m) {
        const auto& row = r.values[size_t(m)];
        t.head->replace(m, row[size_t(headCol)]);
        t.subs->replace(m, row[size_t(subsCol)]);
        points.append(QPointF(m, row[size_t(imbCol)]));
        for (int c : {headCol, subsCol, imbCol}) {
            lo = std::min(lo, row[size_t(c)]);
            hi = std::max(hi, row[size_t(c)]);
        }
    }
    t.imbalance->replace(points);
    if (hi == lo)
        hi = lo + 1;
    t.axis->setRange(lo, hi);
    t.axis->applyNiceNumbers();
}

void ImbalanceChart::setResults(const ImbalanceResults& results) {
    fill(m_t1, results, ImbCol::HeadT1, ImbCol::SubsT1, ImbCol::ImbT1);
    fill(m_t2, results, ImbCol::HeadT2, ImbCol::SubsT2, ImbCol::ImbT2);
}
