#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "OfferedYears.h"
#include "YearLayout.h"

class FileMapping;

// A cell's text as SubscriberTable::cellView() gives it: a view into a
// written row, or the decoded text of a row kept as loaded (held inside the
// object when short, as most cells are, so reading one allocates nothing).
// A view is valid until its row is next written; keep a QString (toString())
// beyond that.
class CellText {
public:
    static constexpr int InlineChars = 28;

    CellText() = default;
    explicit CellText(QStringView view) : m_view(view) {}
    explicit CellText(QString text) : m_text(std::move(text)), m_kind(Kind::Owned) {}

    QStringView view() const {
        switch (m_kind) {
        case Kind::Inline:
            return QStringView(m_chars, m_size);
        case Kind::Owned:
            return m_text;
        case Kind::View:
            break;
        }
        return m_view;
    }
    operator QStringView() const { return view(); }
    QString toString() const { return m_kind == Kind::Owned ? m_text : view().toString(); }
    bool isEmpty() const { return view().isEmpty(); }
    qsizetype size() const { return view().size(); }

    friend bool operator==(const CellText& a, const CellText& b) { return a.view() == b.view(); }
    friend bool operator==(const CellText& a, QStringView b) { return a.view() == b; }
    friend bool operator==(const CellText& a, const QString& b) { return a.view() == b; }
    friend bool operator!=(const CellText& a, const CellText& b) { return !(a == b); }
    friend bool operator!=(const CellText& a, QStringView b) { return !(a == b); }
    friend bool operator!=(const CellText& a, const QString& b) { return !(a == b); }

private:
    friend class SubscriberTable;
    enum class Kind : uint8_t { View, Inline, Owned };

    QString m_text;
    QStringView m_view;
    char16_t m_chars[InlineChars];
    uint8_t m_size = 0;
    Kind m_kind = Kind::View;
};

// The in-memory table of text cells: row r is subscriber r, columns follow the
// stored line layout. A row read from the file stays as its Windows-1251
// bytes (the file's own buffer) with every 8th separator's position; a cell
// is decoded only when read. The first write turns a row into text: its cells
// live in one UTF-16 buffer with an offset and a length each.
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

    // A cell without copying where the row is held as text; a row kept as
    // loaded decodes the one cell.
    CellText cellView(int row, int col) const;
    // Cells firstCol..lastCol of a row, in order, into out (its size must be
    // lastCol - firstCol + 1): one pass over a row kept as loaded, decoded into
    // scratch, instead of a search per cell. The views are valid until scratch
    // is reused or the row is next written.
    void cellRange(int row, int firstCol, int lastCol, std::span<QStringView> out,
                   QString& scratch) const;
    // A view of a cell of a row held as text (written since the load), valid
    // until the row is next written; empty for a row kept as loaded.
    QStringView textView(int row, int col) const;
    // Whether the row is kept as the file's bytes (not written since the load).
    bool heldAsLoaded(int row) const;
    // A row kept as loaded: its bytes through the "|" ending column
    // min(lastCol, its last column), which *cols receives. Empty otherwise.
    QByteArrayView loadedBytes(int row, int lastCol, int* cols) const;
    // For the loader: the table keeps `file`; row `row` is its `size` bytes
    // from `at`, holding columns 1..columns, each ended by "|" and written as
    // the writer would write it; marks[i] is the position (from `at`) of
    // separator 8i.
    // `mapping`, when given, holds the bytes of `file`, which the table then
    // keeps without a copy.
    void adoptFile(QByteArray file, std::shared_ptr<FileMapping> mapping = {});
    // The mapping the table's loaded rows read from, if they were loaded so.
    const std::shared_ptr<FileMapping>& fileMapping() const { return m_mapping; }
    void setLoadedRow(int row, uint32_t at, uint32_t size, int columns,
                      std::vector<uint32_t> marks);
    // Replaces a whole row by cells that are slices of one text: cell
    // firstCol + i is text.mid(starts[i], lengths[i]). Other cells become empty.
    void assignRow(int row, QString text, std::span<const uint32_t> starts,
                   std::span<const uint32_t> lengths, int firstCol);
    void clearRow(int row);
    // The years the windows offer for this table; set when it is loaded.
    const OfferedYears& offeredYears() const { return m_offered; }
    void setOfferedYears(const OfferedYears& years) { m_offered = years; }
    // The last column row `row` has storage for; every later cell is empty.
    int heldColumns(int row) const;
    void clear();
    // Bytes held by the table's storage, for measurements.
    std::size_t memoryBytes() const;

private:
    struct Row;
    static void checkIndex(int row, int col);
    Row& rowForWrite(int row);
    void makeText(Row& r) const;
    QByteArrayView loadedField(const Row& r, int col) const;
    QString decodeLoaded(const Row& r, int col) const;
    CellText loadedView(const Row& r, int col) const;

    QByteArray m_file; // the loaded file's bytes, shared by the rows kept as loaded
    std::shared_ptr<FileMapping> m_mapping; // keeps m_file's bytes where they are mapped
    std::vector<std::unique_ptr<Row>> m_rows;
    int m_subscriberCount = 0;
    OfferedYears m_offered;
};

// YearIndex, MonthColumn and HeadMeterColumn: YearLayout.h.
std::optional<int> FindRowByName(const SubscriberTable& table, const QString& name);

// Directory columns.
enum DirectoryColumn : int {
    ColRowNumber = 1,
    ColName = 2,
    ColAddress = 3,
    ColPhone = 4,
    ColMeterType = 5,
    ColNote = 6,
};
