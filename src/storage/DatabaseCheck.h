#pragma once

#include <array>

#include <QByteArrayView>

#include "DatabaseFile.h"
#include "DatabaseLines.h"

// Checks a database file's bytes as they arrive, in pieces of any size, so a
// file can be checked while it is copied without being held whole. Which
// line ends the file uses is known only at its end (DatabaseLines.h), so the
// lines are followed every way at once and the file's kind picks one at
// finish(). DatabaseFile::check is this on the whole file.
class DatabaseCheck final {
public:
    explicit DatabaseCheck(int separators);

    void feed(QByteArrayView bytes);
    // Whether the result is a failure whatever bytes follow.
    bool failed() const;
    // The result once every byte has been fed.
    DatabaseFile::LoadResult finish() const;

private:
    // The lines as one kind of line end splits them.
    struct Split {
        explicit Split(LineEnd kind) : splitter(kind) {}
        LineSplitter splitter;
        DatabaseFile::LoadResult result;
        qsizetype separators = 0; // in the line not yet ended
    };
    void endLine(Split& split) const;
    // The splitter at CR LF counts the line ends of every kind.
    const LineSplitter& counted() const { return m_splits[size_t(LineEnd::CrLf)].splitter; }
    // Whether bytes still to come can make the file of this kind.
    bool stillPossible(LineEnd kind) const;

    int m_needed;
    std::array<Split, 3> m_splits{Split(LineEnd::CrLf), Split(LineEnd::Lf), Split(LineEnd::Cr)};
    bool m_anyCr = false;
    bool m_any = false;
};
