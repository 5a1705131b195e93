#include "BalanceCarryModel.h"

#include "LedgerMath.h"
#include "core/SubscriberTable.h"

BalanceCarryModel::BalanceCarryModel(QObject* parent) : QAbstractTableModel(parent) {}

void BalanceCarryModel::setEntries(std::vector<Entry> entries) {
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(entries.size());
    for (auto& e : entries)
        m_rows.push_back({std::move(e.label), std::move(e.debt), std::move(e.credit)});
    endResetModel();
}

QString BalanceCarryModel::text(int row, int column) const {
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= ColumnCount)
        return {};
    return m_rows[size_t(row)][size_t(column)];
}

void BalanceCarryModel::setText(int row, int column, const QString& text) {
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= ColumnCount)
        return;
    m_rows[size_t(row)][size_t(column)] = text;
    emit dataChanged(index(row, column), index(row, column));
}

void BalanceCarryModel::clearAmounts() {
    for (auto& r : m_rows) {
        r[Debt].clear();
        r[Credit].clear();
    }
    if (!m_rows.empty())
        emit dataChanged(index(0, Debt), index(int(m_rows.size()) - 1, Credit));
}

void BalanceCarryModel::write(SubscriberTable& table, int yearIndex) const {
    const int n = std::min(int(m_rows.size()), table.subscriberCount());
    for (int r = 0; r < n; ++r) {
        table.setCell(r + 1, MonthColumn(yearIndex, 1, SlotOpenDebt), m_rows[size_t(r)][Debt]);
        table.setCell(r + 1, MonthColumn(yearIndex, 1, SlotOpenCredit), m_rows[size_t(r)][Credit]);
    }
}

int BalanceCarryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int BalanceCarryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BalanceCarryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_rows[size_t(index.row())][size_t(index.column())];
    if (role == Qt::TextAlignmentRole)
        return index.column() == Label ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                       : int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}
