#include "Charges.h"

#include <vector>

#include "core/NumberText.h"
#include "core/SubscriberTable.h"

namespace {

// The month's results from its readings, tariffs and coefficients, read as
// numbers in slot order (slot 1 at index 0).
MonthCharge ChargeOf(const std::array<double, 8>& v) {
    const double c1 = v[T1Current - 1], p1 = v[T1Previous - 1];
    const double c2 = v[T2Current - 1], p2 = v[T2Previous - 1];
    const double t1 = v[Tariff1 - 1], t2 = v[Tariff2 - 1];
    const double k1 = v[CompCoef1 - 1], k2 = v[CompCoef2 - 1];
    MonthCharge r;
    r.d1 = c1 >= p1 ? R6(c1 - p1) : 0;
    r.d2 = c2 >= p2 ? R6(c2 - p2) : 0;
    const double a1 = r.d1 * t1;
    const double a2 = r.d2 * t2;
    r.a = a1 + a2;
    r.ak = a1 * k1 + a2 * k2;
    return r;
}

} // namespace

MonthCharge ComputeMonthCharge(const SubscriberTable& table, int row, int yearIndex, int month) {
    std::array<double, 8> v{};
    for (int slot = T1Current; slot <= CompCoef2; ++slot)
        v[size_t(slot - T1Current)] =
            ReadNumber(table.cellView(row, MonthColumn(yearIndex, month, slot)));
    return ChargeOf(v);
}

namespace {

// One pass over a subscriber's year: each month's results and whether its
// stored slot 9 differs from them.
class YearPass {
public:
    YearPass(const SubscriberTable& table, int yearIndex)
        : m_table(table), m_year(yearIndex), m_first(MonthColumn(yearIndex, 1, T1Current)),
          m_cells(size_t(MonthColumn(yearIndex, 12, ChargeWithComp) - m_first + 1)) {}

    void run(int row) {
        m_table.cellRange(row, m_first, m_first + int(m_cells.size()) - 1, m_cells, m_scratch);
        for (int m = 1; m <= 12; ++m) {
            const size_t at = size_t(MonthColumn(m_year, m, T1Current) - m_first);
            std::array<double, 8> v{};
            for (size_t k = 0; k < 8; ++k)
                v[k] = ReadNumber(m_cells[at + k]);
            month[size_t(m - 1)] = ChargeOf(v);
            stale[size_t(m - 1)] =
                !IsPlainNumberOf(m_cells[at + ChargeWithComp - T1Current], month[size_t(m - 1)].ak);
        }
    }

    std::array<MonthCharge, 12> month{};
    std::array<bool, 12> stale{};

private:
    const SubscriberTable& m_table;
    const int m_year;
    const int m_first;
    std::vector<QStringView> m_cells;
    QString m_scratch;
};

} // namespace

ChargeDisplay ComputeCharges(SubscriberTable& table, int yearIndex, int shownRow,
                             const std::array<bool, 12>& ticked) {
    std::array<MonthCharge, 12> shown{};
    YearPass pass(table, yearIndex);
    const auto passRow = [&](int s) {
        pass.run(s);
        // Written after the pass: a write may move the row's text under the views.
        for (int m = 1; m <= 12; ++m)
            if (pass.stale[size_t(m - 1)])
                table.setCell(s, MonthColumn(yearIndex, m, ChargeWithComp),
                              PlainNumber(pass.month[size_t(m - 1)].ak));
        if (s == shownRow)
            shown = pass.month;
    };
    for (int s = 1; s <= table.subscriberCount(); ++s)
        passRow(s);
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
