#pragma once

#include <vector>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "storage/PaymentJournal.h"

class SubscriberTable;
struct BankStatement;
struct StatementPayments;

// A payment to add to a month's "Внесено", with its journal line.
struct PaymentToWrite {
    int row = 0;
    int yearIndex = 0;
    int month = 1; // 1..12
    qint64 kopecks = 0;
    JournalEntry entry; // the document's fields; row, name, month, year and time are filled in
};

// A cell as it was before the write and as the write left it.
struct CellChange {
    int row = 0, col = 0;
    QString before, after;
};

struct PaymentsWrite {
    std::vector<CellChange> changes; // every cell the write changed
    size_t journalBefore = 0;        // the journal's size before the write
    int written = 0;
    qint64 writtenKopecks = 0;
    std::vector<size_t> refused; // indexes of payments not written: "Внесено" holds a text
    QStringList notes;           // what the user is told besides the totals
};

// Adds each payment to slot 16 of its month (the two-decimal text rule),
// never over a text that is not a number; then runs the ledger's month cycle
// (load, compute, store, carry) for every subscriber from January to December
// of each year written, and adds the journal lines. The carry into the next
// year stays the year carry-over's: a note says when it has to be repeated.
PaymentsWrite WritePayments(SubscriberTable& table, const std::vector<PaymentToWrite>& payments,
                            PaymentJournal& journal, const QDateTime& now);

// The ticked rows of a statement's payments, written as WritePayments does;
// the totals of what was not written cover every other incoming payment.
struct StatementWrite {
    PaymentsWrite write;
    int notWritten = 0;
    qint64 notWrittenKopecks = 0;
    QString summary; // "Записано платежей: N на сумму S руб. Не записано: ..."
};
StatementWrite WriteTickedPayments(SubscriberTable& table, const BankStatement& statement,
                                   const StatementPayments& payments, PaymentJournal& journal,
                                   const QDateTime& now);

// Puts back what a write changed (after a failed save), table and journal.
void UndoPaymentsWrite(SubscriberTable& table, PaymentJournal& journal, const PaymentsWrite& w);

QString PaymentsSummary(int written, qint64 writtenKopecks, int notWritten,
                        qint64 notWrittenKopecks, const QStringList& notes = {});
