#pragma once

#include <array>

#include <QString>

class SubscriberTable;

// The head meter's readings of one year as typed: [month 0..11][k], k as in
// HeadMeterColumn (0 T1 current, 1 T1 previous, 2 T2 current, 3 T2 previous).
using HeadMeterTexts = std::array<std::array<QString, 4>, 12>;

// Columns of the imbalance results; each is also the index of the result box
// that shows it.
namespace ImbCol {
enum : int {
    HeadT1 = 0,
    HeadT2 = 1,
    SubsT1 = 2,
    SubsT2 = 3,
    ImbT1 = 4,
    ImbT2 = 5,
    CoefT1 = 6,
    CoefT2 = 7,
    PayHead = 8,
    PaySubs = 9,
    PayImb = 10,
};
constexpr int Count = 11;
} // namespace ImbCol

struct ImbalanceResults {
    static constexpr int Rows = 13;
    static constexpr int TotalRow = 12; // rows 0..11 are January..December

    std::array<std::array<double, ImbCol::Count>, Rows> values{};
    // What the boxes show; the year total has no coefficient texts.
    std::array<std::array<QString, ImbCol::Count>, Rows> texts;

    static bool isShown(int row, int col);
};

// Compares the head meter with the sum of every subscriber's meters (1 to
// subscriberCount, so a full table's 501st subscriber counts too), month by
// month, for the year with the given index. Reads nothing but its arguments.
ImbalanceResults ComputeImbalance(const SubscriberTable& table, int yearIndex,
                                  const HeadMeterTexts& head);

// The year's 48 head-meter cells of row 1, and writing them back.
HeadMeterTexts LoadHeadMeter(const SubscriberTable& table, int yearIndex);
void StoreHeadMeter(SubscriberTable& table, int yearIndex, const HeadMeterTexts& head);

// A month's current reading (k 0 or 2) becomes the next month's previous
// reading of the same tariff unless one is there already. month: 0..11.
// Returns whether a text was copied.
bool CarryForward(HeadMeterTexts& head, int month, int k);
