#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include <QString>
#include <QStringList>
#include <QStringView>

#include "YearLayout.h"

// The in-memory table of text cells: row r is subscriber r, columns follow the
// stored line layout. A row's storage is made on its first write; its cells
// live in one text buffer with an offset and a length each, so the full table
// costs little more than its file.
class SubscriberTable {
public:
    // The column bound follows the years the layout has (YearLayout.h).
    static constexpr int MaxRow = 501, MaxCol = YearLayout::LastColumn,
                         StoredCols = YearLayout::LegacyLastColumn;

    SubscriberTable();
    ~SubscriberTable();
    SubscriberTable(const SubscriberTable& other);
    SubscriberTable& operator=(const SubscriberTable& other);
    SubscriberTable(SubscriberTable&&) noexcept;
    SubscriberTable& operator=(SubscriberTable&&) noexcept;

    QString cell(int row, int col) const; // empty if never written
    void setCell(int row, int col, const QString& text);
    int subscriberCount() const;
    void setSubscriberCount(int n); // 0..501

    // A view of a cell without copying; valid until the row is next written.
    QStringView cellView(int row, int col) const;
    // Replaces a whole row by cells that are slices of one text: cell
    // firstCol + i is text.mid(starts[i], lengths[i]). Other cells become empty.
    void assignRow(int row, QString text, std::span<const uint32_t> starts,
                   std::span<const uint32_t> lengths, int firstCol);
    void clearRow(int row);
    // The last column row `row` has storage for; every later cell is empty.
    int heldColumns(int row) const;
    void clear();
    // Bytes held by the table's storage, for measurements.
    std::size_t memoryBytes() const;

private:
    struct Row;
    static void checkIndex(int row, int col);
    Row& rowForWrite(int row);

    std::vector<std::unique_ptr<Row>> m_rows;
    int m_subscriberCount = 0;
};

// YearTexts, YearIndex, MonthColumn and HeadMeterColumn: YearLayout.h.
std::optional<int> FindRowByName(const SubscriberTable& table, const QString& name);

// Names of the month slots.
enum MonthSlot : int {
    ReadingDate = 0,
    T1Current = 1,
    T1Previous = 2,
    T2Current = 3,
    T2Previous = 4,
    Tariff1 = 5,
    Tariff2 = 6,
    CompCoef1 = 7,
    CompCoef2 = 8,
    ChargeWithComp = 9,
};

// Directory columns.
enum DirectoryColumn : int {
    ColRowNumber = 1,
    ColName = 2,
    ColAddress = 3,
    ColPhone = 4,
    ColMeterType = 5,
    ColNote = 6,
};
