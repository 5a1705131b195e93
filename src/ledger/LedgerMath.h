#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "core/MonthNames.h"
#include "core/YearLayout.h"

// Grid columns of the ledger: one row per subscriber.
enum LedgerGridColumn : int {
    LgLabel = 0,          // row number ". " full name
    LgOpenDebt = 1,       // slot 10
    LgOpenCredit = 2,     // slot 11
    LgElectricity = 3,    // slot 9
    LgPrepayment = 4,     // slot 12, hidden
    LgElectrician = 5,    // slot 13
    LgOtherCharge = 6,    // slot 14
    LgTotalDue = 7,       // slot 15, computed
    LgPaidIn = 8,         // slot 16
    LgIncome2 = 9,        // slot 17, hidden
    LgOtherIncome = 10,   // slot 18
    LgCloseDebt = 11,     // slot 19, computed
    LgCloseCredit = 12,   // slot 20, computed
    LgPrepayBalance = 13, // never stored, hidden
    LedgerGridColumns = 14
};

// 1..12, or none for a text that is not a month name.
std::optional<int> MonthNumber(const QString& name);

// The table slot a grid column is loaded from, or -1 (label, computed columns).
int LedgerSlotOfColumn(int gridColumn);

bool IsLedgerEditableColumn(int gridColumn); // 4, 5, 6, 8, 9, 10
bool IsLedgerHiddenColumn(int gridColumn);   // 4, 9, 13

// A stored value as the grid shows it: numbers with exactly two decimals,
// empty stays empty, anything else unchanged.
QString LedgerLoadText(const QString& stored);

// What an accepted editor text becomes: each CR goes with the character after
// it, then a number-like text is completed to two decimals ("7" -> "7,00",
// "12,5" -> "12,50"). Nothing else is checked.
QString LedgerEditorText(QString typed);

// One subscriber's computation. in[k] is grid column k read as a number
// (k = 1..10; 7 is ignored); carried is the prepayment balance brought forward.
struct LedgerRowResult {
    QString totalDue;      // column 7
    QString closeDebt;     // column 11
    QString closeCredit;   // column 12
    QString prepayBalance; // column 13
    bool prepayNegative = false;
};
LedgerRowResult ComputeLedgerRow(const double (&in)[LedgerGridColumns], double carried);

// Where the cursor goes after an accepted edit; none ends editing.
struct LedgerCell {
    int row = 0;
    int column = 0;
    friend bool operator==(const LedgerCell&, const LedgerCell&) = default;
};
std::optional<LedgerCell> NextLedgerCell(LedgerCell from, int rowCount, bool moveDown);
