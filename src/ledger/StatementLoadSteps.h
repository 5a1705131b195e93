#pragma once

#include <vector>

#include <QDateTime>
#include <QString>

#include "BankStatement.h"
#include "StatementPayments.h"

class Database;
class PaymentJournal;
class SubscriberTable;

// A statement read from its file with its incoming payments, as the review
// window shows them.
struct StatementToReview {
    QString refusal; // what the user is told instead; empty when it can be reviewed
    QString path;
    BankStatement statement;
    StatementPayments payments;

    bool ok() const { return refusal.isEmpty(); }
};

// Reads the file (one over the size limit is refused unread), takes the
// statement's account by the payee's account and collects its incoming
// payments against the table and the journals.
StatementToReview ReadStatementToReview(const QString& path, const SubscriberTable& table,
                                        const QString& payeeAccount, const PaymentJournal& journal,
                                        const std::vector<PaymentJournal>& setAside);

struct SavedPayments {
    bool saved = false; // the database file holds the write
    int written = 0;
    QString message; // the summary, or why nothing was written
};

// Writes the ticked payments into the table and the database's journal and
// saves the database as its save button does (the day's safety copy first).
// A failed save takes the write back, so that the next try does not add the
// payments twice.
SavedPayments WriteAndSavePayments(Database& database, SubscriberTable& table,
                                   const StatementToReview& review, const QDateTime& now);
