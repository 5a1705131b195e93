#pragma once

#include <vector>

#include <QAbstractTableModel>
#include <QList>

#include "DirectoryHeader.h"
#include "DirectoryOps.h"

class SubscriberTable;

// The directory grid: one row per subscriber (model row r is subscriber
// r + 1) with fields 1..6, the header of the chosen format string, and a mark
// per row that the view shows as the row's colour.
class DirectoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class RowMark { None, Selected, Found }; // window colour, yellow, blue
    enum Role { MarkRole = Qt::UserRole + 1 };    // RowMark as int

    explicit DirectoryModel(SubscriberTable& table, QObject* parent = nullptr);

    // Rebuilds the rows from the table under the header variant; every mark
    // is cleared.
    void fill(HeaderVariant variant);
    HeaderVariant headerVariant() const { return m_variant; }
    const QList<HeaderCell>& header() const { return m_header; }

    // Rows are subscriber rows, 1-based.
    RowMark mark(int row) const;
    // Clears the selected mark of every row, then marks the row.
    void select(int row);
    // Clears the marks of the last find, then marks the rows found.
    FindResult find(const QString& text);
    void clearFound();
    // The row's texts changed in the table.
    void refreshRow(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void clearMarks(RowMark mark);
    void setMark(int row, RowMark mark);

    SubscriberTable& m_table;
    HeaderVariant m_variant = HeaderVariant::B;
    QList<HeaderCell> m_header;
    std::vector<RowMark> m_marks; // index r: subscriber r + 1
};
