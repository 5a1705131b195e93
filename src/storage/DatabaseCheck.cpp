#include "DatabaseCheck.h"

#include <algorithm>
#include <cstring>

namespace {

bool same(const DatabaseFile::LoadResult& a, const DatabaseFile::LoadResult& b) {
    return a.status == b.status && a.badLine == b.badLine && a.lineCount == b.lineCount;
}

} // namespace

DatabaseCheck::DatabaseCheck(int separators) : m_needed(separators) {}

void DatabaseCheck::endLine(Split& split) const {
    auto& result = split.result;
    if (result.status == DatabaseFile::Status::Ok) {
        ++result.lineCount;
        result.status = LineStatus(result.lineCount, split.separators, m_needed);
        if (result.status == DatabaseFile::Status::FormatError)
            result.badLine = result.lineCount;
    }
    split.separators = 0;
}

bool DatabaseCheck::stillPossible(LineEnd kind) const {
    // More lone LF or more CR LF can always come; CR only while no LF has.
    return kind != LineEnd::Cr || counted().crLfs() + counted().loneLfs() == 0;
}

void DatabaseCheck::feed(QByteArrayView bytes) {
    if (bytes.isEmpty() || failed())
        return;
    m_any = true;
    if (!m_anyCr)
        m_anyCr = memchr(bytes.data(), '\r', size_t(bytes.size())) != nullptr;
    for (Split& split : m_splits) {
        const bool counts = &split.splitter == &counted();
        // A failed split stays failed; only the one that counts goes on.
        if ((split.result.status != DatabaseFile::Status::Ok && !counts) ||
            !stillPossible(split.splitter.kind()))
            continue;
        split.splitter.feed(
            bytes,
            [&](const char* from, const char* to) {
                // One vectorised count per run instead of a test per byte.
                if (split.result.status == DatabaseFile::Status::Ok)
                    split.separators += std::count(from, to, '|');
            },
            [&] {
                endLine(split);
                return true;
            });
    }
}

bool DatabaseCheck::failed() const {
    const auto& first = m_splits[size_t(LineEnd::CrLf)].result;
    if (!m_any || first.status == DatabaseFile::Status::Ok)
        return false;
    // Whichever kind the file turns out to be, it fails the same way.
    for (const Split& split : m_splits)
        if (stillPossible(split.splitter.kind()) && !same(split.result, first))
            return false;
    return true;
}

DatabaseFile::LoadResult DatabaseCheck::finish() const {
    if (!m_any) {
        DatabaseFile::LoadResult result;
        result.status = DatabaseFile::Status::Empty;
        return result;
    }
    const LineEnd kind = ChooseLineEnd(counted().crLfs(), counted().loneLfs(), m_anyCr);
    Split split = m_splits[size_t(kind)];
    split.splitter.finish([&] { endLine(split); });
    return split.result;
}
