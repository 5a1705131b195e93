#include "StatementReviewModel.h"

#include "BankStatement.h"
#include "core/MoneyText.h"
#include "core/MonthNames.h"
#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

namespace {

const QString NoSubscriber = u"— не записывать —"_s;
const QString ChosenByHand = u"выбран вручную"_s;

} // namespace

std::optional<qint64> StatementReviewModel::Totals::difference() const {
    if (!stated)
        return std::nullopt;
    return *stated - documents;
}

QString RetickQuestion(const QDateTime& writtenBefore) {
    return u"Этот платёж уже записан "_s + writtenBefore.date().toString(u"dd.MM.yyyy"_s) +
           u". Записать ещё раз?"_s;
}

StatementReviewModel::StatementReviewModel(const SubscriberTable& table,
                                           const BankStatement& statement,
                                           StatementPayments& payments, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_statement(statement), m_payments(payments) {
    m_choices.reserve(table.subscriberCount() + 1);
    m_choices << NoSubscriber;
    for (int r = 1; r <= table.subscriberCount(); ++r)
        m_choices << table.cell(r, ColRowNumber) + u". "_s + table.cell(r, ColName);
}

void StatementReviewModel::setRetickQuestion(std::function<bool(const QDateTime&)> ask) {
    m_askRetick = std::move(ask);
}

int StatementReviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_payments.incoming.size());
}

int StatementReviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString StatementReviewModel::text(const StatementPayment& p, int column) const {
    const StatementDocument& d = m_statement.documents.at(p.document);
    switch (column) {
    case ColDate:
        return p.date.isValid() ? p.date.toString(u"dd.MM.yyyy"_s) : d.dateText;
    case ColAmount:
        return d.kopecks ? KopecksText(p.kopecks) : d.amountText;
    case ColPayer:
        return d.payerName();
    case ColPurpose:
        return d.purpose;
    case ColSubscriber:
        return m_choices.value(p.row, NoSubscriber);
    case ColMonth:
        return p.month > 0 ? MonthName(p.month) + u' ' + QString::number(p.year) : QString();
    case ColHow:
        return p.how;
    case ColPaidInNow:
        return p.yearIndex ? PaidInNow(m_table, p.row, *p.yearIndex, p.month) : QString();
    }
    return {};
}

QVariant StatementReviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const StatementPayment& p = m_payments.incoming[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return text(p, index.column());
    case Qt::EditRole:
        if (index.column() == ColSubscriber)
            return p.row;
        return text(p, index.column());
    case Qt::ToolTipRole:
        if (index.column() == ColPurpose || index.column() == ColPayer || index.column() == ColHow)
            return text(p, index.column());
        return {};
    case Qt::CheckStateRole:
        if (index.column() == ColDate)
            return p.ticked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == ColAmount || index.column() == ColPaidInNow)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant StatementReviewModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const QStringList titles = {
        u"Дата"_s,    u"Сумма"_s, u"Плательщик"_s, u"Назначение платежа"_s,
        u"Абонент"_s, u"Месяц"_s, u"Как найден"_s, u"Внесено сейчас"_s};
    return titles.value(section);
}

Qt::ItemFlags StatementReviewModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const StatementPayment& p = m_payments.incoming[size_t(index.row())];
    if (!p.canWrite())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ColDate)
        f |= Qt::ItemIsUserCheckable;
    if (index.column() == ColSubscriber)
        f |= Qt::ItemIsEditable;
    return f;
}

bool StatementReviewModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid())
        return false;
    if (index.column() == ColDate && role == Qt::CheckStateRole)
        return setTicked(index.row(), value.toInt() == Qt::Checked);
    if (index.column() == ColSubscriber && role == Qt::EditRole) {
        bool ok = false;
        const int choice = value.toInt(&ok);
        if (!ok || choice < 0 || choice >= m_choices.size())
            return false;
        setSubscriber(index.row(), choice);
        return true;
    }
    return false;
}

bool StatementReviewModel::setTicked(int row, bool ticked) {
    if (row < 0 || row >= rowCount())
        return false;
    StatementPayment& p = m_payments.incoming[size_t(row)];
    if (p.ticked == ticked)
        return true;
    if (ticked) {
        // Nowhere to write it, or never writable.
        if (!p.canWrite() || p.row <= 0)
            return false;
        if (p.loadedBefore.isValid() && !(m_askRetick && m_askRetick(p.loadedBefore)))
            return false;
    }
    p.ticked = ticked;
    rowChanged(row);
    return true;
}

void StatementReviewModel::setSubscriber(int row, int choice) {
    if (row < 0 || row >= rowCount() || choice < 0 || choice >= m_choices.size())
        return;
    StatementPayment& p = m_payments.incoming[size_t(row)];
    if (!p.canWrite() || p.row == choice)
        return;
    p.row = choice;
    if (choice == 0) {
        p.ticked = false;
    } else if (!p.loadedBefore.isValid()) {
        p.ticked = true;
        p.how = ChosenByHand;
    }
    rowChanged(row);
}

void StatementReviewModel::rowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    emit totalsChanged();
}

StatementReviewModel::Totals StatementReviewModel::totals() const {
    Totals t;
    for (const StatementPayment& p : m_payments.incoming) {
        if (p.ticked && p.canWrite() && p.row > 0) {
            ++t.ticked;
            t.tickedKopecks += p.kopecks;
        } else {
            ++t.notWritten;
            t.notWrittenKopecks += p.kopecks;
        }
    }
    t.stated = m_payments.received;
    t.documents = m_payments.incomingKopecks;
    return t;
}
