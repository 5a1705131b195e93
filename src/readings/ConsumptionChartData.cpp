#include "ConsumptionChartData.h"

#include "core/NumberText.h"
#include "core/SubscriberTable.h"
#include "readings/Charges.h"

using namespace Qt::StringLiterals;

ConsumptionYear SubscriberConsumption(const SubscriberTable& table, int row,
                                      const QString& yearText) {
    ConsumptionYear out;
    const QString name = table.cell(row, ColName);
    const auto y = table.offeredYears().indexOf(yearText);
    if (!y) {
        out.title = name;
        return out;
    }
    for (int m = 1; m <= 12; ++m) {
        const MonthCharge c = ComputeMonthCharge(table, row, *y, m);
        out.t1[size_t(m - 1)] = c.d1;
        out.t2[size_t(m - 1)] = c.d2;
        out.totalT1 += c.d1;
        out.totalT2 += c.d2;
    }
    if (*y > 0) {
        out.hasYearBefore = true;
        for (int m = 1; m <= 12; ++m) {
            const MonthCharge c = ComputeMonthCharge(table, row, *y - 1, m);
            out.yearBefore[size_t(m - 1)] = c.d1 + c.d2;
        }
    }
    out.title = name + u", "_s + yearText + u" г.: Т1 "_s + PlainNumber(R6(out.totalT1)) +
                u" кВт*ч, Т2 "_s + PlainNumber(R6(out.totalT2)) + u" кВт*ч, всего "_s +
                PlainNumber(R6(out.totalT1 + out.totalT2)) + u" кВт*ч"_s;
    return out;
}
