#pragma once

#include <cstdint>
#include <cstring>

#include <QByteArrayView>

#include "DatabaseFile.h"

// Where the lines of a database file end and when a line is sound: the
// loader (DatabaseFile) and the check of copies (DatabaseCheck) both split
// and judge through this, so they never disagree about a file.
//
// Lines end at CR LF, and a lone LF is a character of its cell (a
// spreadsheet's Alt+Enter kept by an older writer). A file with more lone LF
// than CR LF went through a tool that converted its line ends, which may
// have missed a line or two: every LF ends a line, a CR before it goes. A
// file with CR but no LF at all splits at every CR. A CR ending the file goes.
enum class LineEnd : uint8_t { CrLf, Lf, Cr };

// The kind of a file, from the line ends a CR LF splitter counted in it.
constexpr LineEnd ChooseLineEnd(qsizetype crLfs, qsizetype loneLfs, bool anyCr) {
    if (loneLfs > crLfs)
        return LineEnd::Lf;
    if (crLfs == 0 && loneLfs == 0 && anyCr)
        return LineEnd::Cr;
    return LineEnd::CrLf;
}

// What line `lineNo` with `separators` "|" makes of a file that needs
// `needed` a line: Ok, FormatError (too few, or a field past the last
// column of 2099, which would be lost), or TooManyLines.
DatabaseFile::Status LineStatus(int lineNo, qsizetype separators, int needed);

// Splits bytes fed in pieces of any size into lines of one kind. A line's
// text comes as one or more runs, onText(begin, end), then its end, onEnd(),
// which returns false to stop; fed the whole file at once, a line is a
// single run. A CR LF or LF splitter counts every LF it passes, lone or after
// a CR, for ChooseLineEnd.
class LineSplitter {
public:
    explicit LineSplitter(LineEnd kind) : m_kind(kind) {}

    // The bytes taken: the whole piece, or up to the line end at which
    // onEnd() stopped (the rest can be fed on).
    template <typename Text, typename End>
    qsizetype feed(QByteArrayView piece, Text&& onText, End&& onEnd);
    // Every byte has been fed: a begun last line ends.
    template <typename End> void finish(End&& onEnd);

    LineEnd kind() const { return m_kind; }
    qsizetype crLfs() const { return m_crLfs; }
    qsizetype loneLfs() const { return m_loneLfs; }

private:
    static constexpr char Cr = '\r';

    LineEnd m_kind;
    bool m_heldCr = false; // a piece ended in a CR that the next byte may make a line end
    bool m_open = false;   // the line not yet ended has begun
    qsizetype m_crLfs = 0, m_loneLfs = 0;
};

template <typename Text, typename End>
qsizetype LineSplitter::feed(QByteArrayView piece, Text&& onText, End&& onEnd) {
    const char* begin = piece.data();
    const char* end = begin + piece.size();
    const char* p = begin;
    if (p == end)
        return 0;
    if (m_heldCr) {
        m_heldCr = false;
        if (*p == '\n') {
            ++m_crLfs;
            ++p;
            m_open = false;
            if (!onEnd())
                return p - begin;
        } else {
            onText(&Cr, &Cr + 1);
        }
    }
    if (m_kind == LineEnd::Cr) {
        while (const auto* cr = static_cast<const char*>(memchr(p, '\r', size_t(end - p)))) {
            if (cr > p)
                onText(p, cr);
            m_open = false;
            p = cr + 1;
            if (!onEnd())
                return p - begin;
        }
    } else {
        for (const char* from = p;;) {
            const auto* lf = static_cast<const char*>(memchr(from, '\n', size_t(end - from)));
            if (!lf)
                break;
            // A line starts at the piece or after an LF, so the byte before
            // an LF that starts one is no CR of it.
            const bool afterCr = lf > p && lf[-1] == '\r';
            if (afterCr)
                ++m_crLfs;
            else
                ++m_loneLfs;
            from = lf + 1;
            if (!afterCr && m_kind == LineEnd::CrLf)
                continue; // a character of its cell
            if (const char* textEnd = afterCr ? lf - 1 : lf; textEnd > p)
                onText(p, textEnd);
            m_open = false;
            p = from;
            if (!onEnd())
                return p - begin;
        }
    }
    if (p < end) {
        m_open = true;
        const char* textEnd = end;
        if (m_kind != LineEnd::Cr && end[-1] == '\r') {
            m_heldCr = true;
            --textEnd;
        }
        if (textEnd > p)
            onText(p, textEnd);
    }
    return piece.size();
}

template <typename End> void LineSplitter::finish(End&& onEnd) {
    m_heldCr = false; // a CR ending the file goes
    if (m_open) {
        m_open = false;
        onEnd();
    }
}
