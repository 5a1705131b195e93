#include "Charges.h"

#include "core/NumberText.h"
#include "core/SubscriberTable.h"

MonthCharge ComputeMonthCharge(const SubscriberTable& table, int row, int yearIndex, int month) {
    const auto num = [&](int slot) {
        return ReadNumber(table.cellView(row, MonthColumn(yearIndex, month, slot)));
    };
    const double c1 = num(T1Current), p1 = num(T1Previous);
    const double c2 = num(T2Current), p2 = num(T2Previous);
    const double t1 = num(Tariff1), t2 = num(Tariff2);
    const double k1 = num(CompCoef1), k2 = num(CompCoef2);
    MonthCharge r;
    r.d1 = c1 >= p1 ? R6(c1 - p1) : 0;
    r.d2 = c2 >= p2 ? R6(c2 - p2) : 0;
    const double a1 = r.d1 * t1;
    const double a2 = r.d2 * t2;
    r.a = a1 + a2;
    r.ak = a1 * k1 + a2 * k2;
    return r;
}

ChargeDisplay ComputeCharges(SubscriberTable& table, int yearIndex, int shownRow,
                             const std::array<bool, 12>& ticked) {
    std::array<MonthCharge, 12> shown{};
    for (int s = 1; s <= table.subscriberCount(); ++s) {
        for (int m = 1; m <= 12; ++m) {
            const MonthCharge r = ComputeMonthCharge(table, s, yearIndex, m);
            const int col = MonthColumn(yearIndex, m, ChargeWithComp);
            if (!IsPlainNumberOf(table.cellView(s, col), r.ak))
                table.setCell(s, col, PlainNumber(r.ak));
            if (s == shownRow)
                shown[size_t(m - 1)] = r;
        }
    }
    if (shownRow == 0 || shownRow > table.subscriberCount())
        for (int m = 1; m <= 12; ++m)
            shown[size_t(m - 1)] = ComputeMonthCharge(table, shownRow, yearIndex, m);

    ChargeDisplay out;
    MonthCharge total;
    for (int m = 0; m < 12; ++m) {
        if (!ticked[size_t(m)])
            continue; // left empty and out of the totals
        const MonthCharge& r = shown[size_t(m)];
        auto& cells = out.cells[size_t(m)];
        cells[0] = PlainNumber(r.d1);
        cells[1] = PlainNumber(r.d2);
        cells[2] = FormatMoney(r.a);
        cells[4] = FormatMoney(r.ak);
        total.d1 += r.d1;
        total.d2 += r.d2;
        total.a += r.a;
        total.ak += r.ak;
    }
    auto& totals = out.cells[12];
    totals[0] = PlainNumber(total.d1);
    totals[1] = PlainNumber(total.d2);
    totals[2] = FormatMoney(total.a);
    totals[4] = FormatMoney(total.ak);
    return out;
}
