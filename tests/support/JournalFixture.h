#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "storage/PaymentJournal.h"

// A payment written from a statement, told apart by its document number.
inline JournalEntry TestPayment(const QString& number, int row = 2,
                                const QString& name = QStringLiteral("Петров П. П.")) {
    JournalEntry e;
    e.account = QStringLiteral("40703810900000000001");
    e.number = number;
    e.dateText = QStringLiteral("14.03.2026");
    e.kopecks = 150050;
    e.payerAccount = QStringLiteral("40817810000000000101");
    e.payerInn = QStringLiteral("000000000001");
    e.row = row;
    e.name = name;
    e.month = 3;
    e.year = 2026;
    e.written = QDateTime(QDate(2026, 3, 20), QTime(9, 5, 7));
    return e;
}

// The file of a journal holding the payments numbered `numbers`.
inline QByteArray JournalBytes(const QStringList& numbers) {
    PaymentJournal journal;
    for (const QString& n : numbers)
        journal.add(TestPayment(n));
    return journal.toBytes();
}

// The document numbers a journal holds, in order.
inline QStringList Numbers(const PaymentJournal& journal) {
    QStringList numbers;
    for (const JournalEntry& e : journal.entries())
        numbers << e.number;
    return numbers;
}
