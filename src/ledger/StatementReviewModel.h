#pragma once

#include <functional>
#include <optional>

#include <QAbstractTableModel>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "StatementPayments.h"

class SubscriberTable;
struct BankStatement;

// The incoming payments of a statement as the review lists them, one row a
// payment: the tick (on the date column) says whether it is written, the
// subscriber may be chosen anew. Rows that can never be written are
// disabled, so views grey them and offer no tick.
class StatementReviewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        ColDate,
        ColAmount,
        ColPayer,
        ColPurpose,
        ColSubscriber,
        ColMonth,
        ColHow,
        ColPaidInNow,
        ColumnCount
    };
    // The subscriber column's EditRole is the index into subscriberChoices().

    struct Totals {
        int ticked = 0;
        qint64 tickedKopecks = 0;
        int notWritten = 0;
        qint64 notWrittenKopecks = 0;
        std::optional<qint64> stated; // "ВсегоПоступило" of the statement
        qint64 documents = 0;         // the sum of its incoming documents
        // What the statement says it received less what its documents add up to.
        std::optional<qint64> difference() const;
    };

    // `payments` is changed in place by the ticks and choices.
    StatementReviewModel(const SubscriberTable& table, const BankStatement& statement,
                         StatementPayments& payments, QObject* parent = nullptr);

    // Asked before a payment already in a journal is ticked again; without
    // it, or answered no, the tick is refused.
    void setRetickQuestion(std::function<bool(const QDateTime& writtenBefore)> ask);

    // "— не записывать —", then "№. Фамилия И. О." of every subscriber in
    // table order: choice k is subscriber k.
    const QStringList& subscriberChoices() const { return m_choices; }

    bool setTicked(int row, bool ticked);
    // Choice 0 writes the row nowhere; choosing a subscriber ticks the row
    // unless it cannot be written or is already in a journal.
    void setSubscriber(int row, int choice);

    Totals totals() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void totalsChanged();

private:
    QString text(const StatementPayment& p, int column) const;
    void rowChanged(int row);

    const SubscriberTable& m_table;
    const BankStatement& m_statement;
    StatementPayments& m_payments;
    QStringList m_choices;
    std::function<bool(const QDateTime&)> m_askRetick;
};

// "Этот платёж уже записан DD.MM.YYYY. Записать ещё раз?"
QString RetickQuestion(const QDateTime& writtenBefore);
