#include "DebtorsModel.h"

#include <algorithm>

#include <QCollator>
#include <QLocale>

DebtorsModel::DebtorsModel(DebtorsList list, QObject* parent)
    : QAbstractTableModel(parent), m_list(std::move(list)) {}

int DebtorsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_list.entries.size());
}

int DebtorsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DebtorsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const DebtorEntry& e = m_list.entries[size_t(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case ColLabel:
            return e.label;
        case ColPlot:
            return e.plot;
        case ColDebt:
            return e.debt;
        case ColCredit:
            return e.credit;
        }
    }
    if (role == Qt::TextAlignmentRole)
        return index.column() >= ColDebt ? int(Qt::AlignRight | Qt::AlignVCenter)
                                         : int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant DebtorsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return DebtorsList::headers().value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void DebtorsModel::sort(int column, Qt::SortOrder order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> rowsBefore;
    rowsBefore.reserve(size_t(before.size()));
    for (const QModelIndex& i : before)
        rowsBefore.push_back(m_list.entries[size_t(i.row())].row);

    auto key = [column](const DebtorEntry& e) -> double {
        return column == ColDebt ? e.debtValue : column == ColCredit ? e.creditValue : e.row;
    };
    // Plots as people count them: 2 before 10, 7А before 7Б.
    QCollator plots(QLocale(QLocale::Russian, QLocale::Russia));
    plots.setNumericMode(true);
    auto less = [&](const DebtorEntry& a, const DebtorEntry& b) {
        if (column == ColPlot) {
            const int c = plots.compare(a.plot, b.plot);
            if (c != 0)
                return order == Qt::AscendingOrder ? c < 0 : c > 0;
        } else if (key(a) != key(b)) {
            return order == Qt::AscendingOrder ? key(a) < key(b) : key(a) > key(b);
        }
        return a.row < b.row; // equal amounts stay in row order
    };
    std::sort(m_list.entries.begin(), m_list.entries.end(), less);

    // The current cell and the selection follow their subscribers.
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype k = 0; k < before.size(); ++k) {
        const auto it =
            std::find_if(m_list.entries.begin(), m_list.entries.end(),
                         [&](const DebtorEntry& e) { return e.row == rowsBefore[size_t(k)]; });
        after << index(int(it - m_list.entries.begin()), before[k].column());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
