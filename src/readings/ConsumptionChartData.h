#pragma once

#include <array>

#include <QString>

class SubscriberTable;

// One subscriber's consumption by month, as the charge counts it, for the
// consumption chart.
struct ConsumptionYear {
    QString title; // name, year and the year's totals
    std::array<double, 12> t1{};
    std::array<double, 12> t2{};
    double totalT1 = 0;
    double totalT2 = 0;
    // T1 + T2 of the same months of the year before, when that year is offered.
    bool hasYearBefore = false;
    std::array<double, 12> yearBefore{};
};

// yearText outside the offered years: no consumption, the name as the title.
ConsumptionYear SubscriberConsumption(const SubscriberTable& table, int row,
                                      const QString& yearText);
