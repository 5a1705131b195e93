#include "DatabasePrefetch.h"

#include "core/CoreAffinity.h"

DatabasePrefetch::DatabasePrefetch(const QString& path, AlsoOnWorker also) : m_path(path) {
    std::promise<std::pair<DatabaseFile::LoadResult, SubscriberTable>> read;
    m_read = read.get_future();
    // The window is built on this core meanwhile.
    const int buildCore = CurrentCore();
    m_worker = std::async(std::launch::async, [buildCore, path, also = std::move(also),
                                               read = std::move(read)]() mutable {
        KeepCallingThreadOffCore(buildCore);
        SubscriberTable table;
        // Mapped: at start, filling fresh pages with a large file would cost
        // more than the rest of the read.
        const DatabaseFile::LoadResult result =
            DatabaseFile::load(path, table, DatabaseFile::Read::Mapped);
        if (!also || result.status != DatabaseFile::Status::Ok) {
            read.set_value(std::pair(result, std::move(table)));
            return;
        }
        // A loaded table's copy shares its bytes: only the rows' few
        // separator positions are copied.
        const SubscriberTable own = table;
        read.set_value(std::pair(result, std::move(table)));
        // Nothing waits for it before the window is up.
        LowerCallingThreadPriority();
        also(own);
    });
}

DatabasePrefetch::~DatabasePrefetch() {
    alsoDone();
}

void DatabasePrefetch::alsoDone() {
    if (m_worker.valid())
        m_worker.wait();
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
