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
    QFont legendFont = t.chart->legend()->font();
    legendFont.setPointSizeF(7.5);
    t.chart->legend()->setFont(legendFont);
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
    t.imbalance->setName(u"Разбаланс (шкала справа)"_s);
    QPen pen(QColor(0xd0, 0x30, 0x30));
    pen.setWidth(2);
    t.imbalance->setPen(pen);
    t.imbalance->setPointsVisible(true);
    t.chart->addSeries(t.imbalance);

    QFont labels = t.chart->font();
    labels.setPointSizeF(7);
    auto* months = new QBarCategoryAxis;
    months->setLabelsFont(labels);
    months->append({u"Янв"_s, u"Фев"_s, u"Мар"_s, u"Апр"_s, u"Май"_s, u"Июн"_s, u"Июл"_s, u"Авг"_s,
                    u"Сен"_s, u"Окт"_s, u"Ноя"_s, u"Дек"_s});
    t.chart->addAxis(months, Qt::AlignBottom);
    bars->attachAxis(months);
    t.imbalance->attachAxis(months);

    t.axis = new QValueAxis;
    t.axis->setLabelFormat(u"%.0f"_s);
    t.axis->setLabelsFont(labels);
    t.axis->setTickType(QValueAxis::TicksDynamic);
    t.axis->setTickAnchor(0);
    t.chart->addAxis(t.axis, Qt::AlignLeft);
    bars->attachAxis(t.axis);

    // The imbalance is a few per cent of the consumption: on a scale of its
    // own it shows, with its zero level with the bars' zero.
    t.imbalanceAxis = new QValueAxis;
    t.imbalanceAxis->setLabelFormat(u"%.0f"_s);
    t.imbalanceAxis->setLabelsFont(labels);
    t.imbalanceAxis->setLabelsColor(pen.color());
    t.imbalanceAxis->setGridLineVisible(false);
    t.imbalanceAxis->setTickType(QValueAxis::TicksDynamic);
    t.imbalanceAxis->setTickAnchor(0);
    t.chart->addAxis(t.imbalanceAxis, Qt::AlignRight);
    t.imbalance->attachAxis(t.imbalanceAxis);
    return t;
}

namespace {

// A round step that parts the span into about four.
double niceStep(double span) {
    if (!(span > 0))
        return 1;
    const double raw = span / 4;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double n = raw / magnitude;
    return (n <= 1 ? 1 : n <= 2 ? 2 : n <= 5 ? 5 : 10) * magnitude;
}

} // namespace

void ImbalanceChart::fill(Tariff& t, const ImbalanceResults& r, int headCol, int subsCol,
                          int imbCol) {
    double barLo = 0, barHi = 0, imbLo = 0, imbHi = 0;
    QList<QPointF> points;
    for (int m = 0; m < 12; ++m) {
        const auto& row = r.values[size_t(m)];
        t.head->replace(m, row[size_t(headCol)]);
        t.subs->replace(m, row[size_t(subsCol)]);
        points.append(QPointF(m, row[size_t(imbCol)]));
        barLo = std::min({barLo, row[size_t(headCol)], row[size_t(subsCol)]});
        barHi = std::max({barHi, row[size_t(headCol)], row[size_t(subsCol)]});
        imbLo = std::min(imbLo, row[size_t(imbCol)]);
        imbHi = std::max(imbHi, row[size_t(imbCol)]);
    }
    t.imbalance->replace(points);

    // Both scales rounded to their steps, then the part below zero of each
    // widened until the zeros sit at the same height.
    const double barStep = niceStep(barHi - barLo), imbStep = niceStep(imbHi - imbLo);
    double top = std::max(barStep, std::ceil(barHi / barStep) * barStep);
    double bottom = std::floor(barLo / barStep) * barStep;
    double imbTop = std::max(imbStep, std::ceil(imbHi / imbStep) * imbStep);
    double imbBottom = std::floor(imbLo / imbStep) * imbStep;
    const double below = std::max(-bottom / top, -imbBottom / imbTop); // below zero : above
    bottom = -below * top;
    imbBottom = -below * imbTop;

    t.axis->setRange(bottom, top);
    t.axis->setTickInterval(barStep);
    t.imbalanceAxis->setRange(imbBottom, imbTop);
    t.imbalanceAxis->setTickInterval(imbStep);
}

void ImbalanceChart::setResults(const ImbalanceResults& results) {
    fill(m_t1, results, ImbCol::HeadT1, ImbCol::SubsT1, ImbCol::ImbT1);
    fill(m_t2, results, ImbCol::HeadT2, ImbCol::SubsT2, ImbCol::ImbT2);
}
