#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

#include <QByteArray>

class QFile;

// A file's bytes mapped from the system's file cache rather than read into
// fresh memory. Reading a database of several megabytes costs mostly in the
// pages the read fills, one fault each; a mapping of pages already cached
// needs none. Until makePrivate(), the pages are the file's: a change to the
// file in place by another program would reach them.
class FileMapping final {
public:
    // The open file mapped whole and paged in, or null where that cannot be
    // done (no support, an empty or changing file, a read error): the caller
    // then reads the file.
    static std::shared_ptr<FileMapping> map(QFile& file);
    ~FileMapping();
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    // The bytes, valid while this object lives (the QByteArray does not own them).
    QByteArray bytes() const;
    // Copies the pages into the program's own memory at the same addresses,
    // a chunk at a time, so that neither a change to the file nor its loss
    // can reach them. Other threads may read the bytes meanwhile: they stay
    // the same. false if some chunk could not be copied (it stays mapped).
    bool makePrivate();
    bool isPrivate() const { return m_private.load(); }

private:
    FileMapping(char* base, std::size_t size);

    char* const m_base;
    const std::size_t m_size;
    std::atomic<bool> m_private{false};
};
