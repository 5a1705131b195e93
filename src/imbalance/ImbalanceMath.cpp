#include "ImbalanceMath.h"

#include <algorithm>

#include "core/NumberText.h"
#include "core/SubscriberTable.h"

bool ImbalanceResults::isShown(int row, int col) {
    return row != TotalRow || (col != ImbCol::CoefT1 && col != ImbCol::CoefT2);
}

namespace {

double coefficient(double head, double subs) {
    if (subs == 0)
        return 0;
    // Kept in this form: it decides the last digit after rounding.
    return R6(1 - (subs - head) / subs);
}

} // namespace

ImbalanceResults ComputeImbalance(const SubscriberTable& table, int yearIndex,
                                  const HeadMeterTexts& head) {
    using namespace ImbCol;
    ImbalanceResults res;
    auto& v = res.values;
    const int count = table.subscriberCount();

    for (int m = 1; m <= 12; ++m) {
        auto& row = v[size_t(m - 1)];
        for (int i = 1; i <= count; ++i) {
            const double c1 = ReadNumber(table.cellView(i, MonthColumn(yearIndex, m, T1Current)));
            const double c2 = ReadNumber(table.cellView(i, MonthColumn(yearIndex, m, T2Current)));
            // A missing current reading means "not read this month", whatever
            // the previous one says.
            if (c1 != 0)
                row[SubsT1] +=
                    c1 - ReadNumber(table.cellView(i, MonthColumn(yearIndex, m, T1Previous)));
            if (c2 != 0)
                row[SubsT2] +=
                    c2 - ReadNumber(table.cellView(i, MonthColumn(yearIndex, m, T2Previous)));
        }

        const auto& h = head[size_t(m - 1)];
        row[HeadT1] = std::max(0.0, ReadNumber(h[0]) - ReadNumber(h[1]));
        row[HeadT2] = std::max(0.0, ReadNumber(h[2]) - ReadNumber(h[3]));
        row[ImbT1] = R6(row[HeadT1] - row[SubsT1]);
        row[ImbT2] = R6(row[HeadT2] - row[SubsT2]);
        row[CoefT1] = coefficient(row[HeadT1], row[SubsT1]);
        row[CoefT2] = coefficient(row[HeadT2], row[SubsT2]);

        // Subscriber 1's tariffs stand for the whole settlement.
        const CellText t1 = table.cellView(1, MonthColumn(yearIndex, m, Tariff1));
        const CellText t2 = table.cellView(1, MonthColumn(yearIndex, m, Tariff2));
        if (IsNumberText(t1) && IsNumberText(t2)) {
            const double p1 = ReadNumber(t1), p2 = ReadNumber(t2);
            row[PayHead] = p1 * row[HeadT1] + p2 * row[HeadT2];
            row[PaySubs] = p1 * row[SubsT1] + p2 * row[SubsT2];
        }
        row[PayImb] = row[PayHead] - row[PaySubs];
    }

    auto& total = v[ImbalanceResults::TotalRow];
    for (int c = 0; c < Count; ++c) {
        if (!ImbalanceResults::isShown(ImbalanceResults::TotalRow, c))
            continue;
        for (int m = 0; m < 12; ++m)
            total[size_t(c)] += v[size_t(m)][size_t(c)];
    }

    for (int r = 0; r < ImbalanceResults::Rows; ++r)
        for (int c = 0; c < Count; ++c)
            if (ImbalanceResults::isShown(r, c))
                res.texts[size_t(r)][size_t(c)] = (c == CoefT1 || c == CoefT2)
                                                      ? FormatCoef(v[size_t(r)][size_t(c)])
                                                      : FormatMoney(v[size_t(r)][size_t(c)]);
    return res;
}

HeadMeterTexts LoadHeadMeter(const SubscriberTable& table, int yearIndex) {
    HeadMeterTexts head;
    for (int m = 1; m <= 12; ++m)
        for (int k = 0; k < 4; ++k)
            head[size_t(m - 1)][size_t(k)] =
                table.cell(HeadMeterRow, HeadMeterColumn(yearIndex, m, k));
    return head;
}

void StoreHeadMeter(SubscriberTable& table, int yearIndex, const HeadMeterTexts& head) {
    for (int m = 1; m <= 12; ++m)
        for (int k = 0; k < 4; ++k)
            table.setCell(HeadMeterRow, HeadMeterColumn(yearIndex, m, k),
                          head[size_t(m - 1)][size_t(k)]);
}

bool CarryForward(HeadMeterTexts& head, int month, int k) {
    if (month < 0 || month >= 11 || (k != 0 && k != 2))
        return false;
    const QString& current = head[size_t(month)][size_t(k)];
    QString& nextPrevious = head[size_t(month + 1)][size_t(k + 1)];
    if (current.isEmpty() || !nextPrevious.isEmpty())
        return false;
    nextPrevious = current;
    return true;
}
