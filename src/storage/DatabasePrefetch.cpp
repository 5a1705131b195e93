#include "DatabasePrefetch.h"

DatabasePrefetch::DatabasePrefetch(const QString& path) : m_path(path) {
    m_read = std::async(std::launch::async, [path] {
        SubscriberTable table;
        // Mapped: at start, filling fresh pages with a large file would cost
        // more than the rest of the read.
        const DatabaseFile::LoadResult result =
            DatabaseFile::load(path, table, DatabaseFile::Read::Mapped);
        return std::pair(result, std::move(table));
    });
}

DatabasePrefetch::~DatabasePrefetch() {
    if (m_read.valid())
        m_read.wait();
}

namespace {
bool isEmpty(const SubscriberTable& table) {
    if (table.subscriberCount() != 0)
        return false;
    for (int r = 0; r <= SubscriberTable::MaxRow; ++r)
        if (table.heldColumns(r) != 0)
            return false;
    return true;
}
} // namespace

DatabaseFile::LoadResult DatabasePrefetch::load(const QString& path, SubscriberTable& table) {
    m_gaveWorkersTable = false;
    if (!m_read.valid())
        return DatabaseFile::load(path, table);
    // Taken once, used or not: a later call must not get an old read.
    auto [result, read] = m_read.get();
    // A load keeps what the caller's table holds outside the file (row 0):
    // only an empty table may be replaced by the worker's whole.
    if (path != m_path || !isEmpty(table))
        return DatabaseFile::load(path, table);
    if (result.status == DatabaseFile::Status::Ok) {
        table = std::move(read);
        m_gaveWorkersTable = true;
    }
    return result;
}
