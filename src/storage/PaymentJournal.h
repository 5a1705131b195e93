#pragma once

#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

// One payment written into the ledger from a bank statement.
struct JournalEntry {
    QString account; // the statement's account
    QString number;
    QString dateText; // "Дата" of the document, as the statement writes it
    qint64 kopecks = 0;
    QString payerAccount;
    QString payerInn;
    int row = 0; // the subscriber; 0 once the subscriber is deleted
    QString name;
    int month = 0; // the ledger month it went to, 1..12
    int year = 0;
    QDateTime written;
};

// What makes a document the same in two statements.
struct PaymentKey {
    QString account, number, dateText;
    qint64 kopecks = 0;
    QString payerAccount;
    friend bool operator==(const PaymentKey&, const PaymentKey&) = default;
};
size_t qHash(const PaymentKey& key, size_t seed = 0);
PaymentKey KeyOf(const JournalEntry& e);

// The journal of the payments written from statements, so that none is
// written twice. Stored as UTF-8 text, one payment a line, fields separated
// by tabs: account, number, date, amount, payer account, payer INN, row,
// name, month, year, when written.
class PaymentJournal {
public:
    // Lines that cannot be read are kept as they are and written back.
    static PaymentJournal fromBytes(QByteArrayView utf8);
    QByteArray toBytes() const;

    const std::vector<JournalEntry>& entries() const { return m_entries; }
    bool isEmpty() const { return m_entries.empty(); }
    const QStringList& unreadableLines() const { return m_unreadable; }

    void add(JournalEntry entry);
    // Drops the entries from `count` on (undoing adds).
    void truncate(size_t count);
    // The entry with the key, or null.
    const JournalEntry* find(const PaymentKey& key) const;

    // Subscriber `deleted` is gone and the rows after it moved up: its lines
    // keep their name with row 0, later rows follow their subscribers.
    void renumberAfterDelete(int deleted);

    // Payer account -> the one subscriber the journal ties it to; accounts
    // that paid for several subscribers are left out.
    QHash<QString, int> soleAccountOwners() const;

private:
    void rebuildIndex();

    std::vector<JournalEntry> m_entries;
    QStringList m_unreadable;
    QHash<PaymentKey, size_t> m_index;
};
