#pragma once

#include <optional>

#include <QString>

class SubscriberTable;

// Which years the program offers and where their cells lie in a subscriber's
// row: the year bounds, the names of a month's 22 slots and every column
// formula live here.
//
// 2017..2024 keep the original layout: month blocks of 265 columns from
// column 8 and the head meter's cells in row 1 from column 2126. Each later
// year is one block of 313 columns after column 2513: twelve months of 22
// slots, then 48 head-meter cells, then one unused column.
// The 22 cells of a subscriber's month, in stored order: the readings sheet
// shows 0..8 and computes 9, the ledger keeps 10..21.
enum MonthSlot : int {
    ReadingDate = 0,
    T1Current = 1,
    T1Previous = 2,
    T2Current = 3,
    T2Previous = 4,
    Tariff1 = 5,
    Tariff2 = 6,
    CompCoef1 = 7,
    CompCoef2 = 8,
    ChargeWithComp = 9,
    SlotOpenDebt = 10,
    SlotOpenCredit = 11,
    SlotPrepayment = 12,
    SlotElectrician = 13,
    SlotOtherCharge = 14,
    SlotTotalDue = 15,
    SlotPaidIn = 16,
    SlotIncome2 = 17,
    SlotOtherIncome = 18,
    SlotCloseDebt = 19,
    SlotCloseCredit = 20,
    SlotPrepayCarry = 21,
    SlotCount = 22,
    // The cells the readings sheet shows and the user types.
    FirstEntrySlot = ReadingDate,
    LastEntrySlot = CompCoef2,
};

namespace YearLayout {
constexpr int FirstYear = 2017;
constexpr int LegacyYearCount = 8;     // 2017..2024
constexpr int LegacyLastColumn = 2513; // the last column of a line without later years
constexpr int BlockColumns = 313;
// Dates keep a two-digit year, so the layout stops before 2100.
constexpr int LastYear = 2099;
constexpr int YearCount = LastYear - FirstYear + 1;

// The first column of a later year's block (yearIndex >= 8).
constexpr int BlockStart(int yearIndex) {
    return LegacyLastColumn + 1 + BlockColumns * (yearIndex - LegacyYearCount);
}
// The last stored column of a line that holds the years 0..yearIndex.
constexpr int LastColumnUpTo(int yearIndex) {
    return yearIndex < LegacyYearCount ? LegacyLastColumn
                                       : BlockStart(yearIndex) + BlockColumns - 1;
}
constexpr int LastColumn = LastColumnUpTo(YearCount - 1);

// The year index a column after 2513 belongs to; -1 for a column of 2017..2024.
int YearOfColumn(int col);
// Whether a cell of a year after 2024 holds data. A charge of 0 does not:
// showing a year computes one for every subscriber, and a year only looked
// at must neither lengthen every line of the file nor stay in the year list.
bool HoldsLaterYearData(int col, QStringView text);
// A cell that counts as data; none: HoldsLaterYearData.
using HoldsData = bool (*)(int col, QStringView text);
// The last year index holding data after column 2513 in rows
// 1..subscriberCount, or none.
std::optional<int> LastLaterYearWithData(const SubscriberTable& table,
                                         HoldsData holdsData = nullptr);
// The last stored column the writer needs for this table: the years up to
// the last one holding data.
int LastStoredColumn(const SubscriberTable& table, HoldsData holdsData = nullptr);

// The last year to offer: the later of next year and the last year holding
// data, never before 2024 nor after 2099.
int LastYearToOffer(int currentYear, const SubscriberTable& table);
} // namespace YearLayout

// The year index of any year the layout holds, offered or not; the years a
// window offers are SubscriberTable::offeredYears().
std::optional<int> YearIndex(const QString& yearText); // "2017".."2099"
QString YearText(int yearIndex);                       // 0 -> "2017"
int MonthColumn(int yearIndex, int month, int slot);   // 8+265y+22(m-1)+s for y < 8

// The column of a month's first ledger slot (SlotOpenDebt); month 1..12.
int LedgerColumn(int yearIndex, int month);
// The same for a year text; a month or year outside the lists gives January
// of the first year.
int LedgerColumn(const QString& yearText, int month);

// Row 1's head-meter cells: k = 0 T1 current, 1 T1 previous, 2 T2 current,
// 3 T2 previous.
constexpr int HeadMeterRow = 1;
int HeadMeterColumn(int yearIndex, int month, int k); // 2126+48y+4(m-1)+k for y < 8
// Row 1, column 2126 is both the head meter's first reading and subscriber
// 1's December-2024 prepayment carry; the reading wins.
bool IsSharedHeadMeterCell(int row, int col);
