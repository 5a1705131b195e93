#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class SubscriberTable;

// One page of the meter-reading sheet: up to 63 subscribers with their
// previous readings of the month and empty columns for the new ones.
class ReadingSheetModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int RowsPerPage = 63;
    static constexpr int Columns = 7;
    // Column widths in twips; the last one takes what the grid has left.
    static constexpr int GridWidth = 10800;
    static int columnWidth(int column);

    // Which field of a row ends a page when it is empty: the name when the
    // sheet is first built, the row number when a page button rebuilds it.
    enum class StopField { Name, RowNumber };

    // Takes the previous readings of month 1..12 of the year for every
    // subscriber; they are kept until the model goes.
    ReadingSheetModel(const SubscriberTable& table, const QString& yearText, int month,
                      QObject* parent = nullptr);

    int pageCount() const; // at least 1
    int page() const { return m_page; }
    void setPage(int page, StopField stop);
    QString text(int row, int column) const;
    static QString columnHeader(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const SubscriberTable& m_table;
    QStringList m_t1Previous; // index i - 1 for subscriber i
    QStringList m_t2Previous;
    int m_page = 1;
    std::vector<QStringList> m_rows;
};
