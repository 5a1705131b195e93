#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QString>

#include "LedgerMath.h"

class PaymentJournal;
class SubscriberTable;

// Cells of one line of a member's account, indexed by ledger grid column
// (LgLabel holds the month's name or "Итого").
using MemberAccountCells = std::array<QString, LgPrepayBalance>;

struct MemberAccountMonth {
    // What the ledger shows for the month once it has computed it.
    MemberAccountCells cells;
    // The closing balance the table holds: the ledger's last showing.
    QString storedCloseDebt, storedCloseCredit;
    // The ledger would store another closing balance: the month has not been
    // shown since something it depends on changed.
    bool stale = false;
};

// A payment written from a bank statement, as the journal keeps it.
struct MemberAccountPayment {
    QString dateText; // the document's date as the statement gives it
    QString number;
    qint64 kopecks = 0;
    int month = 0; // the ledger month it went to
};

// One subscriber's ledger over one year, computed by the ledger's own month
// cycle on a copy, so that nothing in the table changes.
struct MemberAccount {
    int row = 0;
    int yearIndex = 0;
    QString caption; // "№. Фамилия И. О., участок N"
    std::array<MemberAccountMonth, 12> months;
    // January's opening, the year's charges and receipts, December's closing.
    MemberAccountCells totals;
    // The prepayment charge or its income is used in the year: their columns
    // are needed for the lines to add up.
    bool showsPrepayment = false;
    std::vector<MemberAccountPayment> payments; // by date
    qint64 paymentsKopecks = 0;

    bool anyStale() const;
    // The ledger grid columns shown, in order, LgLabel first.
    std::vector<int> columns() const;
};

// The account of subscriber `row` for an offered year (none for another row
// or year); the journal lines are those of the row that still carry the
// subscriber's name.
std::optional<MemberAccount> MakeMemberAccount(const SubscriberTable& table,
                                               const PaymentJournal& journal, int row,
                                               int yearIndex);

// "12. Иванов И. И., участок 12а"
QString MemberAccountCaption(const SubscriberTable& table, int row);
// The heading of a ledger grid column in the account.
QString MemberAccountHeading(int column);
// Why a month is marked: its stored and its computed closing balance.
QString StaleMonthNote(const MemberAccountMonth& month);
