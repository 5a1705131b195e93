#include "SubscriberTable.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
constexpr int ColCount = SubscriberTable::MaxCol + 1;
constexpr int RowCount = SubscriberTable::MaxRow + 1;
} // namespace

// A row's cells are slices of one text. A length takes one byte; the rare
// cell of 255 characters or more keeps its length aside. The full table thus
// needs 5 bytes a cell beside its text instead of 8. A row has entries only
// up to the end of the last year it was written in.
struct SubscriberTable::Row {
    static constexpr uint8_t Long = 255;

    QString text;
    std::vector<uint32_t> start;
    std::vector<uint8_t> shortLength;
    std::vector<std::pair<int, uint32_t>> longLengths; // (column, length)
    std::size_t garbage = 0;

    int columns() const { return int(shortLength.size()); }

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
    : m_rows(RowCount), m_subscriberCount(other.m_subscriberCount) {
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

QStringView SubscriberTable::cellView(int row, int col) const {
    // The check written out: the writer calls this for each of 1.26 million cells.
    if (unsigned(row) > unsigned(MaxRow) || unsigned(col) > unsigned(MaxCol)) [[unlikely]]
        throwOutOfRange();
    const Row* r = m_rows[size_t(row)].get();
    if (!r || col >= r->columns())
        return {};
    const uint32_t n = r->length(col);
    if (n == 0)
        return {};
    return QStringView(r->text.constData() + r->start[size_t(col)], qsizetype(n));
}

QString SubscriberTable::cell(int row, int col) const {
    return cellView(row, col).toString();
}

SubscriberTable::Row& SubscriberTable::rowForWrite(int row) {
    auto& slot = m_rows[row];
    if (!slot)
        slot = std::make_unique<Row>();
    return *slot;
}

void SubscriberTable::setCell(int row, int col, const QString& text) {
    checkIndex(row, col);
    if (text.isEmpty() && (!m_rows[row] || col >= m_rows[row]->columns()))
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
    Row& r = rowForWrite(row);
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
    std::size_t total = sizeof(*this) + m_rows.capacity() * sizeof(m_rows[0]);
    for (const auto& r : m_rows)
        if (r)
            total += sizeof(Row) + std::size_t(r->text.capacity()) * sizeof(QChar) +
                     r->start.capacity() * sizeof(uint32_t) + r->shortLength.capacity() +
                     r->longLengths.capacity() * sizeof(r->longLengths[0]);
    return total;
}

std::optional<int> FindRowByName(const SubscriberTable& table, const QString& name) {
    for (int r = 1; r <= table.subscriberCount(); ++r)
        if (table.cellView(r, ColName) == name)
            return r;
    return std::nullopt;
}
