#pragma once

#include <array>

#include <QString>

class SubscriberTable;

// One month's results of a subscriber: consumption per register (kWh, rounded
// to 6 decimals) and the amounts without and with imbalance compensation.
struct MonthCharge {
    double d1 = 0, d2 = 0, a = 0, ak = 0;
};

MonthCharge ComputeMonthCharge(const SubscriberTable& table, int row, int yearIndex, int month);

// What the main window shows after a computation: for months 0..11 and the
// totals row (index 12), the five result cells (index 3 is never written).
struct ChargeDisplay {
    std::array<std::array<QString, 5>, 13> cells;
};

// Recomputes the year for every subscriber, storing each month's charge with
// compensation (slot 9) as plain text, and returns the shown row's results.
// The shown row may be 0 (the spare row): its results are computed too.
// Unticked months still get their slot 9 but are left out of the display and
// the totals.
ChargeDisplay ComputeCharges(SubscriberTable& table, int yearIndex, int shownRow,
                             const std::array<bool, 12>& ticked);
