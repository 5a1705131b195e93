#pragma once

#include <QWidget>

#include "imbalance/ImbalanceMath.h"

class QBarSet;
class QChart;
class QLineSeries;
class QValueAxis;

// Twelve months of the head meter against the subscribers' meters, one chart
// per tariff, with the imbalance drawn over the bars. Shows results only.
class ImbalanceChart final : public QWidget {
    Q_OBJECT
public:
    explicit ImbalanceChart(QWidget* parent = nullptr);
    void setResults(const ImbalanceResults& results);

private:
    struct Tariff {
        QChart* chart = nullptr;
        QBarSet* head = nullptr;
        QBarSet* subs = nullptr;
        QLineSeries* imbalance = nullptr;
        QValueAxis* axis = nullptr;          // consumption, left
        QValueAxis* imbalanceAxis = nullptr; // imbalance, right
    };
    Tariff makeChart(const QString& title);
    static void fill(Tariff& t, const ImbalanceResults& r, int headCol, int subsCol, int imbCol);

    Tariff m_t1;
    Tariff m_t2;
};
