#pragma once

#include <future>
#include <utility>

#include <QString>

#include "DatabaseFile.h"
#include "core/SubscriberTable.h"

// The database read and checked on a worker thread while the main window is
// being built: at start the two take about as long, and the machine has a
// core to spare for one of them.
class DatabasePrefetch final {
public:
    explicit DatabasePrefetch(const QString& path);
    ~DatabasePrefetch(); // waits for the worker
    DatabasePrefetch(const DatabasePrefetch&) = delete;
    DatabasePrefetch& operator=(const DatabasePrefetch&) = delete;

    // What DatabaseFile::load(path, table) would give. The first call for
    // the prefetched path on an empty table takes the worker's result; any
    // other call reads the file now, so a file made or restored since is seen.
    DatabaseFile::LoadResult load(const QString& path, SubscriberTable& table);
    // Whether the last load() gave the worker's table.
    bool gaveWorkersTable() const { return m_gaveWorkersTable; }

private:
    QString m_path;
    bool m_gaveWorkersTable = false;
    std::future<std::pair<DatabaseFile::LoadResult, SubscriberTable>> m_read;
};
