#include "YearSheet.h"

#include "core/SubscriberTable.h"

YearSheet::YearSheet(SubscriberTable& table, int row, const QString& yearText)
    : m_table(table), m_row(row), m_year(table.offeredYears().indexOf(yearText)) {}

YearSheet::Entries YearSheet::entries() const {
    Entries shown;
    if (!m_year)
        return shown;
    for (int m = 1; m <= 12; ++m)
        for (int s = FirstEntrySlot; s <= LastEntrySlot; ++s)
            shown[size_t(m - 1)][size_t(s)] = m_table.cell(m_row, MonthColumn(*m_year, m, s));
    return shown;
}

QString YearSheet::meterType() const {
    return m_table.cell(m_row, ColMeterType);
}

std::vector<YearSheet::Cell> YearSheet::leaveCell(Entries& shown, int month, int slot,
                                                  LeaveRules rules) {
    std::vector<Cell> changed;
    const auto set = [&](int m, int s, const QString& text) {
        shown[size_t(m - 1)][size_t(s)] = text;
        changed.push_back({m, s, text});
    };
    const QString text = shown[size_t(month - 1)][size_t(slot)];
    if (rules.autofillPrevious && month <= 11 && (slot == T1Current || slot == T2Current)) {
        // T1Previous and T2Previous follow their current readings.
        const int previous = slot + 1;
        if (shown[size_t(month)][size_t(previous)].isEmpty() && !text.isEmpty())
            set(month + 1, previous, text);
    }
    if (rules.copyTariff && month == 1 && (slot == Tariff1 || slot == Tariff2)) {
        for (int m = 2; m <= 12; ++m)
            if (shown[size_t(m - 1)][size_t(slot)].isEmpty() && !text.isEmpty())
                set(m, slot, text);
    }
    return changed;
}

void YearSheet::store(const Entries& shown, int firstSlot, int lastSlot) {
    if (!m_year)
        return;
    for (int m = 1; m <= 12; ++m)
        for (int s = firstSlot; s <= lastSlot; ++s)
            m_table.setCell(m_row, MonthColumn(*m_year, m, s), shown[size_t(m - 1)][size_t(s)]);
}

std::optional<ChargeDisplay> YearSheet::compute(const Entries& shown,
                                                const std::array<bool, 12>& ticked) {
    if (!m_year)
        return std::nullopt;
    store(shown, T1Current, LastEntrySlot);
    return ComputeCharges(m_table, *m_year, m_row, ticked);
}

bool YearSheet::isQuickCopySlot(int slot) {
    return slot == ReadingDate || (slot >= Tariff1 && slot <= CompCoef2);
}

void YearSheet::copyToAllSubscribers(int month, int slot, const QString& text) {
    if (!m_year)
        return;
    const int column = MonthColumn(*m_year, month, slot);
    for (int r = 1; r <= m_table.subscriberCount(); ++r)
        m_table.setCell(r, column, text);
}
