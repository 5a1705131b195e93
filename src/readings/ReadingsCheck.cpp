#include "ReadingsCheck.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

#include "core/MonthNames.h"
#include "core/NumberText.h"
#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

namespace {

bool Filled(QStringView text) {
    return !text.trimmed().isEmpty();
}

// The consumption the charge counts: nothing for a current reading below the
// previous one.
double Consumption(double current, double previous) {
    return current >= previous ? R6(current - previous) : 0;
}

struct MonthRef {
    int year;
    int month;
};

// The month `delta` (-1 or +1) away, across the year's end when the offered
// years go on.
std::optional<MonthRef> Neighbour(const OfferedYears& offered, int yearIndex, int month,
                                  int delta) {
    int y = yearIndex;
    int m = month + delta;
    if (m < 1) {
        m = 12;
        --y;
    } else if (m > 12) {
        m = 1;
        ++y;
    }
    if (!offered.offers(y))
        return std::nullopt;
    return MonthRef{y, m};
}

// "Январь", or "Декабрь 2017" for a month of another year.
QString MonthLabel(const MonthRef& ref, int shownYear) {
    QString label = MonthName(ref.month);
    if (ref.year != shownYear)
        label += u' ' + YearText(ref.year);
    return label;
}

QString TariffLabel(int tariff) {
    return tariff == 1 ? u"Т1: "_s : u"Т2: "_s;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

class RowChecker {
public:
    RowChecker(const SubscriberTable& table, int row, int yearIndex,
               std::vector<ReadingFinding>& out)
        : m_table(table), m_row(row), m_y(yearIndex), m_out(out) {}

    void run() {
        for (int tariff = 1; tariff <= 2; ++tariff)
            checkTariff(tariff);
    }

private:
    CellText cell(const MonthRef& at, int slot) const {
        return m_table.cellView(m_row, MonthColumn(at.year, at.month, slot));
    }
    void add(int month, int tariff, FindingKind kind, int slot, const QString& values) {
        m_out.push_back({m_row, month, tariff, kind, slot, TariffLabel(tariff) + values});
    }

    void checkTariff(int tariff) {
        const int currentSlot = tariff == 1 ? T1Current : T2Current;
        const int previousSlot = tariff == 1 ? T1Previous : T2Previous;
        const int tariffSlot = tariff == 1 ? Tariff1 : Tariff2;
        std::array<double, 12> used{};
        for (int m = 1; m <= 12; ++m) {
            const MonthRef here{m_y, m};
            const CellText current = cell(here, currentSlot);
            const CellText previous = cell(here, previousSlot);
            const CellText price = cell(here, tariffSlot);
            const double d = Consumption(ReadNumber(current), ReadNumber(previous));
            used[size_t(m - 1)] = d;

            if (CurrentBelowPrevious(current, previous))
                add(m, tariff, FindingKind::CurrentBelowPrevious, currentSlot,
                    u"текущее "_s + current.toString() + u" < последнего "_s + previous.toString());

            if (const auto before = Neighbour(m_table.offeredYears(), m_y, m, -1);
                before && Filled(previous)) {
                const CellText last = cell(*before, currentSlot);
                if (Filled(last) && ReadNumber(last) != ReadNumber(previous))
                    add(m, tariff, FindingKind::Gap, previousSlot,
                        u"последнее "_s + previous.toString() + u", текущее за "_s +
                            MonthLabel(*before, m_y) + u' ' + last.toString());
            }

            if (Filled(price) && !Filled(current)) {
                const auto before = Neighbour(m_table.offeredYears(), m_y, m, -1);
                const auto after = Neighbour(m_table.offeredYears(), m_y, m, +1);
                if (before && after && Filled(cell(*before, currentSlot)) &&
                    Filled(cell(*after, currentSlot)))
                    add(m, tariff, FindingKind::MissingReading, currentSlot,
                        u"тариф "_s + price.toString() + u", текущего нет ("_s +
                            MonthLabel(*before, m_y) + u' ' +
                            cell(*before, currentSlot).toString() + u", "_s +
                            MonthLabel(*after, m_y) + u' ' + cell(*after, currentSlot).toString() +
                            u')');
            }

            if (d > 0 && ReadNumber(price) == 0)
                add(m, tariff, FindingKind::MissingTariff, tariffSlot,
                    u"расход "_s + PlainNumber(d) + u" кВт*ч, тариф "_s +
                        (Filled(price) ? price.toString() : u"пуст"_s));
        }

        std::vector<double> withConsumption;
        for (double d : used)
            if (d > 0)
                withConsumption.push_back(d);
        if (int(withConsumption.size()) < JumpMinMonths)
            return;
        const double median = Median(withConsumption);
        for (int m = 1; m <= 12; ++m) {
            const double d = used[size_t(m - 1)];
            if (d > JumpFactor * median && d > JumpMinKwh)
                add(m, tariff, FindingKind::Jump, currentSlot,
                    u"расход "_s + PlainNumber(d) + u" кВт*ч, медиана года "_s +
                        PlainNumber(R6(median)) + u" кВт*ч"_s);
        }
    }

    const SubscriberTable& m_table;
    int m_row;
    int m_y;
    std::vector<ReadingFinding>& m_out;
};

} // namespace

QString FindingKindName(FindingKind kind) {
    switch (kind) {
    case FindingKind::CurrentBelowPrevious:
        return u"Текущее меньше последнего"_s;
    case FindingKind::Gap:
        return u"Разрыв"_s;
    case FindingKind::Jump:
        return u"Скачок"_s;
    case FindingKind::MissingReading:
        return u"Нет показаний"_s;
    case FindingKind::MissingTariff:
        return u"Нет тарифа"_s;
    }
    return {};
}

bool CurrentBelowPrevious(QStringView current, QStringView previous) {
    return Filled(current) && Filled(previous) && ReadNumber(current) < ReadNumber(previous);
}

QString CurrentBelowPreviousTip(const QString& previous) {
    return u"Текущее показание меньше последнего ("_s + previous +
           u"): расход месяца считается равным 0"_s;
}

std::vector<ReadingFinding> CheckReadings(const SubscriberTable& table, int yearIndex) {
    std::vector<ReadingFinding> out;
    for (int row = 1; row <= table.subscriberCount(); ++row) {
        const size_t first = out.size();
        RowChecker(table, row, yearIndex, out).run();
        std::stable_sort(out.begin() + std::ptrdiff_t(first), out.end(),
                         [](const ReadingFinding& a, const ReadingFinding& b) {
                             if (a.month != b.month)
                                 return a.month < b.month;
                             if (a.kind != b.kind)
                                 return a.kind < b.kind;
                             return a.tariff < b.tariff;
                         });
    }
    return out;
}
