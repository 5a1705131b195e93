#include "SubscriberTable.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "Cp1251.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int ColCount = SubscriberTable::MaxCol + 1;
constexpr int RowCount = SubscriberTable::MaxRow + 1;
} // namespace

// A row kept as loaded is a slice of the file's bytes; every 8th separator's
// position costs half a byte a cell and bounds the search for any other.
// A written row's cells are slices of one text. A length takes one byte; the
// rare cell of 255 characters or more keeps its length aside. The full table
// thus needs 5 bytes a cell beside its text instead of 8. A row has entries
// only up to the end of the last year it was written in.
struct SubscriberTable::Row {
    static constexpr uint8_t Long = 255;

    bool loaded = false;
    uint32_t at = 0, size = 0;
    int loadedColumns = 0;
    std::vector<uint32_t> marks;

    QString text;
    std::vector<uint32_t> start;
    std::vector<uint8_t> shortLength;
    std::vector<std::pair<int, uint32_t>> longLengths; // (column, length)
    std::size_t garbage = 0;

    int columns() const { return loaded ? loadedColumns + 1 : int(shortLength.size()); }

    // Where separator j (0-based) of a loaded row lies in `line`.
    uint32_t separator(const char* line, int j) const {
        uint32_t p = marks[size_t(j >> 3)];
        for (int s = j & 7; s; --s)
            p = uint32_t(static_cast<const char*>(memchr(line + p + 1, '|', size - p - 1)) - line);
        return p;
    }
    // Column c (1..loadedColumns) of a loaded row: [first, second).
    std::pair<uint32_t, uint32_t> field(const char* line, int c) const {
        const uint32_t from = c == 1 ? 0 : separator(line, c - 2) + 1;
        const auto* bar = static_cast<const char*>(memchr(line + from, '|', size - from));
        return {from, uint32_t(bar - line)};
    }

    // Room for column c and the rest of its year.
    void reach(int c) {
        if (c < columns())
            return;
        const int n =
            std::min(ColCount, YearLayout::LastColumnUpTo(YearLayout::YearOfColumn(c)) + 1);
        // Exactly this much: a doubling would cost every grown row a year's worth.
        start.reserve(size_t(n));
        shortLength.reserve(size_t(n));
        start.resize(size_t(n), 0u);
        shortLength.resize(size_t(n), uint8_t(0));
    }

    uint32_t length(int c) const {
        const uint8_t n = shortLength[size_t(c)];
        if (n != Long) [[likely]]
            return n;
        for (const auto& [col, len] : longLengths)
            if (col == c)
                return len;
        return 0;
    }

    void setLength(int c, uint32_t n) {
        if (shortLength[size_t(c)] == Long)
            std::erase_if(longLengths, [c](const auto& e) { return e.first == c; });
        if (n < Long) {
            shortLength[size_t(c)] = uint8_t(n);
            return;
        }
        shortLength[size_t(c)] = Long;
        longLengths.emplace_back(c, n);
    }

    void compact() {
        QString fresh;
        fresh.reserve(text.size() - qsizetype(garbage));
        for (int c = 0; c < columns(); ++c) {
            const uint32_t n = length(c);
            const uint32_t at = uint32_t(fresh.size());
            if (n)
                fresh.append(QStringView(text).mid(start[size_t(c)], n));
            start[size_t(c)] = at;
        }
        text = std::move(fresh);
        garbage = 0;
    }
};

SubscriberTable::SubscriberTable() : m_rows(RowCount) {}
SubscriberTable::~SubscriberTable() = default;
SubscriberTable::SubscriberTable(SubscriberTable&&) noexcept = default;
SubscriberTable& SubscriberTable::operator=(SubscriberTable&&) noexcept = default;

SubscriberTable::SubscriberTable(const SubscriberTable& other)
    : m_file(other.m_file), m_mapping(other.m_mapping), m_rows(RowCount),
      m_subscriberCount(other.m_subscriberCount), m_offered(other.m_offered) {
    for (int r = 0; r < RowCount; ++r)
        if (other.m_rows[r])
            m_rows[r] = std::make_unique<Row>(*other.m_rows[r]);
}

SubscriberTable& SubscriberTable::operator=(const SubscriberTable& other) {
    if (this != &other) {
        SubscriberTable copy(other);
        *this = std::move(copy);
    }
    return *this;
}

namespace {
[[noreturn, gnu::cold, gnu::noinline]] void throwOutOfRange() {
    throw std::out_of_range("SubscriberTable: cell index out of range");
}
} // namespace

void SubscriberTable::checkIndex(int row, int col) {
    if (unsigned(row) > unsigned(MaxRow) || unsigned(col) > unsigned(MaxCol)) [[unlikely]]
        throwOutOfRange();
}

QStringView SubscriberTable::textView(int row, int col) const {
    // The check written out: the writer calls this for each of 1.26 million cells.
    if (unsigned(row) > unsigned(MaxRow) || unsigned(col) > unsigned(MaxCol)) [[unlikely]]
        throwOutOfRange();
    const Row* r = m_rows[size_t(row)].get();
    if (!r || r->loaded || col >= r->columns())
        return {};
    const uint32_t n = r->length(col);
    if (n == 0)
        return {};
    return QStringView(r->text.constData() + r->start[size_t(col)], qsizetype(n));
}

QByteArrayView SubscriberTable::loadedField(const Row& r, int col) const {
    if (col < 1 || col > r.loadedColumns)
        return {};
    const char* line = m_file.constData() + r.at;
    const auto [from, to] = r.field(line, col);
    return QByteArrayView(line + from, qsizetype(to - from));
}

QString SubscriberTable::decodeLoaded(const Row& r, int col) const {
    const QByteArrayView bytes = loadedField(r, col);
    return bytes.isEmpty() ? QString() : Cp1251::decode(bytes.data(), bytes.size());
}

CellText SubscriberTable::loadedView(const Row& r, int col) const {
    const QByteArrayView bytes = loadedField(r, col);
    if (bytes.size() > CellText::InlineChars)
        return CellText(Cp1251::decode(bytes.data(), bytes.size()));
    CellText out;
    Cp1251::decodeInto(bytes.data(), bytes.size(), out.m_chars);
    out.m_size = uint8_t(bytes.size());
    out.m_kind = CellText::Kind::Inline;
    return out;
}

CellText SubscriberTable::cellView(int row, int col) const {
    checkIndex(row, col);
    const Row* r = m_rows[size_t(row)].get();
    if (r && r->loaded)
        return loadedView(*r, col);
    return CellText(textView(row, col));
}

void SubscriberTable::cellRange(int row, int firstCol, int lastCol, std::span<QStringView> out,
                                QString& scratch) const {
    checkIndex(row, firstCol);
    checkIndex(row, lastCol);
    if (lastCol < firstCol || out.size() != size_t(lastCol - firstCol + 1))
        throw std::out_of_range("SubscriberTable::cellRange: wrong range");
    std::fill(out.begin(), out.end(), QStringView());
    const Row* r = m_rows[size_t(row)].get();
    if (!r)
        return;
    if (!r->loaded) {
        for (int c = firstCol; c <= lastCol; ++c)
            out[size_t(c - firstCol)] = textView(row, c);
        return;
    }
    const int first = std::max(firstCol, 1);
    const int last = std::min(lastCol, r->loadedColumns);
    if (first > last)
        return;
    const char* line = m_file.constData() + r->at;
    const uint32_t from = r->field(line, first).first;
    const uint32_t to = r->field(line, last).second;
    scratch.resize(qsizetype(to - from));
    char16_t* text = reinterpret_cast<char16_t*>(scratch.data());
    Cp1251::decodeInto(line + from, qsizetype(to - from), text);
    // Fields are found in the bytes; a separator is one byte, one code unit.
    const char* p = line + from;
    const char* end = line + to;
    for (int c = first; c <= last; ++c) {
        const auto* bar = static_cast<const char*>(memchr(p, '|', size_t(end - p)));
        const char* fieldEnd = bar ? bar : end;
        out[size_t(c - firstCol)] = QStringView(text + (p - (line + from)), fieldEnd - p);
        p = fieldEnd + (bar ? 1 : 0);
    }
}

QString SubscriberTable::cell(int row, int col) const {
    checkIndex(row, col);
    const Row* r = m_rows[size_t(row)].get();
    if (r && r->loaded)
        return decodeLoaded(*r, col);
    return textView(row, col).toString();
}

bool SubscriberTable::heldAsLoaded(int row) const {
    checkIndex(row, 0);
    const Row* r = m_rows[size_t(row)].get();
    return r && r->loaded;
}

QByteArrayView SubscriberTable::loadedBytes(int row, int lastCol, int* cols) const {
    checkIndex(row, 0);
    *cols = 0;
    const Row* r = m_rows[size_t(row)].get();
    if (!r || !r->loaded || lastCol < 1)
        return {};
    const char* line = m_file.constData() + r->at;
    const int n = std::min(lastCol, r->loadedColumns);
    *cols = n;
    const uint32_t end = n == r->loadedColumns ? r->size : r->separator(line, n - 1) + 1;
    return QByteArrayView(line, qsizetype(end));
}

void SubscriberTable::adoptFile(QByteArray file, std::shared_ptr<FileMapping> mapping) {
    // Bytes the table does not own (fromRawData) could go away under it,
    // unless it holds their mapping.
    if (!mapping && !file.data_ptr().isMutable())
        file = QByteArray(file.constData(), file.size());
    m_file = std::move(file);
    m_mapping = std::move(mapping);
}

void SubscriberTable::setLoadedRow(int row, uint32_t at, uint32_t size, int columns,
                                   std::vector<uint32_t> marks) {
    checkIndex(row, columns);
    if (columns < 1 || size_t(at) + size > size_t(m_file.size()) ||
        marks.size() != size_t(columns + 7) / 8)
        throw std::out_of_range("SubscriberTable::setLoadedRow: row outside the file");
    auto r = std::make_unique<Row>();
    r->loaded = true;
    r->at = at;
    r->size = size;
    r->loadedColumns = columns;
    r->marks = std::move(marks);
    m_rows[size_t(row)] = std::move(r);
}

// The row's first write: its cells become slices of one decoded text (the
// separators stay in it as garbage until the row is next compacted).
void SubscriberTable::makeText(Row& r) const {
    const char* line = m_file.constData() + r.at;
    QString text(qsizetype(r.size), Qt::Uninitialized);
    Cp1251::decodeInto(line, qsizetype(r.size), reinterpret_cast<char16_t*>(text.data()));
    const int cols = r.loadedColumns;
    r.loaded = false;
    r.marks = {};
    r.start.assign(size_t(cols) + 1, 0u);
    r.shortLength.assign(size_t(cols) + 1, uint8_t(0));
    r.longLengths.clear();
    uint32_t from = 0;
    for (int c = 1; c <= cols; ++c) {
        const auto* bar = static_cast<const char*>(memchr(line + from, '|', r.size - from));
        const uint32_t to = uint32_t(bar - line);
        r.start[size_t(c)] = from;
        r.setLength(c, to - from);
        from = to + 1;
    }
    r.garbage = size_t(cols);
    r.text = std::move(text);
}

SubscriberTable::Row& SubscriberTable::rowForWrite(int row) {
    auto& slot = m_rows[row];
    if (!slot)
        slot = std::make_unique<Row>();
    else if (slot->loaded)
        makeText(*slot);
    return *slot;
}

void SubscriberTable::setCell(int row, int col, const QString& text) {
    checkIndex(row, col);
    if (text.isEmpty() && (!m_rows[row] || col >= m_rows[row]->columns()))
        return;
    // The editors write a cell back on every focus change: a text that is
    // already there keeps the row as loaded, so the save copies it as it is.
    if (m_rows[row] && m_rows[row]->loaded && loadedView(*m_rows[row], col) == text)
        return;
    Row& r = rowForWrite(row);
    r.reach(col);
    const uint32_t oldLen = r.length(col);
    const uint32_t newLen = uint32_t(text.size());
    if (newLen <= oldLen) {
        // Overwrite in place; the tail of the old text becomes garbage.
        if (newLen)
            std::copy(text.cbegin(), text.cend(), r.text.begin() + r.start[size_t(col)]);
        r.garbage += oldLen - newLen;
        r.setLength(col, newLen);
        return;
    }
    r.garbage += oldLen;
    r.start[size_t(col)] = uint32_t(r.text.size());
    r.setLength(col, newLen);
    // Grow by an eighth rather than the doubling of a plain append: every row
    // gets a few cells appended on each computation, and doubling would leave
    // up to half of every row's buffer unused.
    const qsizetype need = r.text.size() + qsizetype(newLen);
    if (need > r.text.capacity())
        r.text.reserve(need + r.text.size() / 8);
    r.text.append(text);
    if (r.garbage > 4096 && r.garbage * 2 > std::size_t(r.text.size()))
        r.compact();
}

void SubscriberTable::assignRow(int row, QString text, std::span<const uint32_t> starts,
                                std::span<const uint32_t> lengths, int firstCol) {
    checkIndex(row, firstCol);
    if (starts.size() != lengths.size() || firstCol + int(starts.size()) > ColCount)
        throw std::out_of_range("SubscriberTable::assignRow: too many cells");
    const uint32_t size = uint32_t(text.size());
    std::size_t used = 0;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        if (starts[i] > size || lengths[i] > size - starts[i])
            throw std::out_of_range("SubscriberTable::assignRow: cell outside the text");
        used += lengths[i];
    }
    auto& slot = m_rows[row];
    slot = std::make_unique<Row>();
    Row& r = *slot;
    const std::size_t last = std::size_t(firstCol) + starts.size();
    r.start.assign(last, 0u);
    r.shortLength.assign(last, uint8_t(0));
    std::copy(starts.begin(), starts.end(), r.start.begin() + firstCol);
    r.longLengths.clear();
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        const uint32_t n = lengths[i];
        if (n < Row::Long) [[likely]] {
            r.shortLength[std::size_t(firstCol) + i] = uint8_t(n);
        } else {
            r.shortLength[std::size_t(firstCol) + i] = Row::Long;
            r.longLengths.emplace_back(firstCol + int(i), n);
        }
    }
    r.garbage = std::size_t(text.size()) - used;
    r.text = std::move(text);
}

void SubscriberTable::clearRow(int row) {
    checkIndex(row, 0);
    m_rows[row].reset();
}

void SubscriberTable::clear() {
    for (auto& r : m_rows)
        r.reset();
    m_file.clear();
    m_mapping.reset();
    m_subscriberCount = 0;
}

int SubscriberTable::heldColumns(int row) const {
    checkIndex(row, 0);
    const Row* r = m_rows[size_t(row)].get();
    return r ? r->columns() - 1 : 0;
}

int SubscriberTable::subscriberCount() const {
    return m_subscriberCount;
}

void SubscriberTable::setSubscriberCount(int n) {
    if (n < 0 || n > MaxRow)
        throw std::out_of_range("SubscriberTable: subscriber count out of range");
    m_subscriberCount = n;
}

std::size_t SubscriberTable::memoryBytes() const {
    std::size_t total =
        sizeof(*this) + m_rows.capacity() * sizeof(m_rows[0]) +
        std::size_t(std::max(m_file.capacity(), m_file.size())); // a mapping has no capacity
    for (const auto& r : m_rows)
        if (r)
            total += sizeof(Row) + std::size_t(r->text.capacity()) * sizeof(QChar) +
                     r->start.capacity() * sizeof(uint32_t) + r->shortLength.capacity() +
                     r->longLengths.capacity() * sizeof(r->longLengths[0]) +
                     r->marks.capacity() * sizeof(uint32_t);
    return total;
}

std::optional<int> FindRowByName(const SubscriberTable& table, const QString& name) {
    for (int r = 1; r <= table.subscriberCount(); ++r)
        if (table.cellView(r, ColName) == name)
            return r;
    return std::nullopt;
}
