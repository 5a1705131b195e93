#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class SubscriberTable;

// One printed page of the month's personal accounts: up to 39 subscribers and,
// on the page where the subscribers end, the row of column sums.
class LedgerPrintModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int RowsPerPage = 39;
    static constexpr int Columns = 12;

    // ledgerCol: the table column of slot 10 of the printed month.
    LedgerPrintModel(const SubscriberTable& table, int ledgerCol, QObject* parent = nullptr);

    // Pages needed for all subscribers (at least 1).
    int pageCount() const;
    int page() const { return m_page; }
    // Fills page 1..pageCount().
    void setPage(int page);
    bool isSumsRow(int row) const;
    QString text(int row, int column) const;

    // The header texts of the printed columns, and the group header above
    // each column ("" where the column stands alone).
    static QString columnHeader(int column);
    static QString groupHeader(int column);

    // The sums row as the ledger window shows its sum boxes: "0,00" form,
    // the income "Прочее" column left empty.
    static QStringList sumsRow(const SubscriberTable& table, int ledgerCol);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const SubscriberTable& m_table;
    int m_ledgerCol;
    int m_page = 1;
    std::vector<QStringList> m_rows;
    int m_sumsRow = -1;
};
