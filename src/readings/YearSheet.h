#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QString>

#include "core/YearLayout.h"
#include "readings/Charges.h"

class SubscriberTable;

// The year sheet of one subscriber as the main window shows it: the twelve
// months' entry cells, and the rules of what a refill shows and what leaving
// a cell changes, stores and computes.
class YearSheet final {
public:
    static constexpr int EntrySlots = LastEntrySlot - FirstEntrySlot + 1;
    // Months 1..12 at 0..11, entry slots 0..8 of each.
    using Entries = std::array<std::array<QString, EntrySlots>, 12>;

    // A cell of the sheet and the text it is to show.
    struct Cell {
        int month = 0;
        int slot = 0;
        QString text;
        friend bool operator==(const Cell&, const Cell&) = default;
    };
    // The two check boxes below the sheet.
    struct LeaveRules {
        bool autofillPrevious = false; // a current reading becomes next month's previous one
        bool copyTariff = false;       // January's tariff goes to the months without one
    };

    // `row` may be 0 (the spare row); a year text not offered shows nothing
    // and stores nothing.
    YearSheet(SubscriberTable& table, int row, const QString& yearText);

    bool yearOffered() const { return m_year.has_value(); }

    // What a refill shows: the stored entry cells of the row's year.
    Entries entries() const;
    QString meterType() const;

    // The cells that leaving cell (month, slot) changes in the shown sheet,
    // in the order they change; `shown` gets them too.
    static std::vector<Cell> leaveCell(Entries& shown, int month, int slot, LeaveRules rules);

    // Stores slots firstSlot..lastSlot of every shown month into the row.
    void store(const Entries& shown, int firstSlot = FirstEntrySlot, int lastSlot = LastEntrySlot);
    // Stores the shown readings, tariffs and coefficients, then computes the
    // year's charges for every subscriber; the row's results come back.
    // Nothing happens, and nothing comes back, for a year not offered.
    std::optional<ChargeDisplay> compute(const Entries& shown, const std::array<bool, 12>& ticked);

    // Whether the quick copy offers a cell of this slot for every subscriber.
    static bool isQuickCopySlot(int slot);
    // The quick copy: the text into cell (month, slot) of every subscriber.
    void copyToAllSubscribers(int month, int slot, const QString& text);

private:
    SubscriberTable& m_table;
    int m_row;
    std::optional<int> m_year;
};
