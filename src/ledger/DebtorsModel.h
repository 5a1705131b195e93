#pragma once

#include <QAbstractTableModel>

#include "DebtorsList.h"

// The debtors' list as a grid: row label, plot, debt, credit. Sorted by row
// at first; sorting by a money column orders by its value, by the plot
// column with the numbers in the plots' names counted as numbers.
class DebtorsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColLabel = 0, ColPlot = 1, ColDebt = 2, ColCredit = 3, ColumnCount = 4 };

    explicit DebtorsModel(DebtorsList list, QObject* parent = nullptr);

    // The list in the shown order, for printing and export.
    const DebtorsList& list() const { return m_list; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    DebtorsList m_list;
};
