#include "DatabaseCheck.h"

#include <algorithm>
#include <cstring>

DatabaseCheck::DatabaseCheck(int separators) : m_needed(separators) {}

void DatabaseCheck::endLine(Split& split) const {
    using Status = DatabaseFile::Status;
    if (split.status == Status::Ok) {
        ++split.lines;
        if (split.lines > SubscriberTable::MaxRow) {
            split.status = Status::TooManyLines;
        } else if (split.separators < m_needed) {
            split.status = Status::FormatError;
            split.badLine = split.lines;
        }
    }
    split.separators = 0;
    split.open = false;
}

void DatabaseCheck::feed(QByteArrayView bytes) {
    if (bytes.isEmpty() || failed())
        return;
    m_any = true;
    const char* begin = bytes.data();
    const char* end = begin + bytes.size();
    for (const char* p = begin; p < end;) {
        const auto* lf = static_cast<const char*>(memchr(p, '\n', size_t(end - p)));
        const char* stop = lf ? lf : end;
        // One vectorised count per piece instead of a test per byte.
        const qsizetype bars = std::count(p, stop, '|');
        m_crLf.separators += bars;
        m_lf.separators += bars;
        if (stop > p)
            m_crLf.open = m_lf.open = true;
        if (!lf)
            break;
        // The CR may have come at the end of the previous piece.
        if (lf > begin ? lf[-1] == '\r' : m_lastWasCr) {
            m_sawCrLf = true;
            endLine(m_crLf);
            if (failed())
                return;
        } else {
            m_crLf.open = true; // a lone LF belongs to its line
        }
        if (!m_sawCrLf)
            endLine(m_lf);
        p = lf + 1;
    }
    m_lastWasCr = end[-1] == '\r';
}

DatabaseFile::LoadResult DatabaseCheck::finish() const {
    DatabaseFile::LoadResult result;
    if (!m_any) {
        result.status = DatabaseFile::Status::Empty;
        return result;
    }
    // The last line needs no line end; a CR ending the file holds no separator.
    Split split = m_sawCrLf ? m_crLf : m_lf;
    if (split.open)
        endLine(split);
    result.status = split.status;
    result.badLine = split.badLine;
    result.lineCount = split.lines;
    return result;
}
