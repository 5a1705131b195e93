#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>
#include <QStringView>

// The in-memory table of text cells: row r is subscriber r, columns follow the
// stored line layout. A row's storage is made on its first write; its cells
// live in one text buffer with an offset and a length each, so the full table
// costs little more than its file.
class SubscriberTable {
public:
    static constexpr int MaxRow = 501, MaxCol = 2700, StoredCols = 2513;

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
    void assignRow(int row, QString text, const std::vector<uint32_t>& starts,
                   const std::vector<uint32_t>& lengths, int firstCol);
    void clearRow(int row);
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

// The year texts every year selector offers, in order.
const QStringList& YearTexts();
std::optional<int> YearIndex(const QString& yearText); // "2017".."2024"
int MonthColumn(int yearIndex, int month, int slot);   // 8+265y+22(m-1)+s
std::optional<int> FindRowByName(const SubscriberTable& table, const QString& name);

// Row 1's head-meter cells: k = 0 T1 current, 1 T1 previous, 2 T2 current,
// 3 T2 previous.
constexpr int HeadMeterRow = 1;
int HeadMeterColumn(int yearIndex, int month, int k); // 2126+48y+4(m-1)+k

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
