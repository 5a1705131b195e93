#pragma once

#include <optional>
#include <span>
#include <vector>

#include <QDate>
#include <QDateTime>
#include <QString>

#include "BankStatement.h"
#include "storage/PaymentJournal.h"
#include "PaymentMatcher.h"

class SubscriberTable;

// The statement's own account: the listed account equal to the payee account
// of the payee details, else the only one listed.
struct StatementAccountChoice {
    QString account; // empty when the statement is refused
    QString refusal; // why, for the user
};
StatementAccountChoice ChooseStatementAccount(const BankStatement& statement,
                                              const QString& payeeAccount);

// One incoming document of the statement and where it would be written.
struct StatementPayment {
    size_t document = 0; // index into the statement's documents
    qint64 kopecks = 0;
    QDate date;                   // "ДатаПоступило", else "Дата"
    int month = 0, year = 0;      // the ledger month: money received in a month is that month's
    std::optional<int> yearIndex; // none outside the offered years
    QString error; // why it can never be written: an unreadable document, a year not kept
    PaymentMatch match;
    int row = 0;            // the subscriber it goes to; 0 for none
    QDateTime loadedBefore; // when the journal has it: when it was written
    bool ticked = false;
    QString how; // what "Как найден" says

    bool canWrite() const { return error.isEmpty(); }
};

struct StatementPayments {
    QString account;
    std::vector<StatementPayment> incoming;
    qint64 incomingKopecks = 0; // the readable incoming documents
    int outgoingCount = 0;
    qint64 outgoingKopecks = 0;
    // The account's own figures from its sections: the first opening, the
    // last closing and the sum of "ВсегоПоступило" (banks write a section a day).
    std::optional<qint64> opening, received, closing;
};

// The journal key of a statement's document.
PaymentKey DocumentKey(const QString& account, const StatementDocument& document);

// The incoming payments of `account`, matched and ticked: found rows are
// ticked unless they are fees, already in the journal (or a journal set
// aside), or, while the journal is empty, the month already holds a payment.
StatementPayments CollectStatementPayments(const BankStatement& statement, const QString& account,
                                           const SubscriberTable& table,
                                           const PaymentJournal& journal,
                                           std::span<const PaymentJournal* const> setAside = {});

// What the month's "Внесено" of the subscriber holds now.
QString PaidInNow(const SubscriberTable& table, int row, int yearIndex, int month);
