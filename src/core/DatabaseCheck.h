#pragma once

#include <QByteArrayView>

#include "DatabaseFile.h"

// Checks a database file's bytes as they arrive, in pieces of any size, so a
// file can be checked while it is copied without being held whole. Lines
// end at CR LF (a lone LF is part of its line), or at every LF in a file
// that holds no CR LF at all; the first line that is one too many or has too
// few separators decides. DatabaseFile::check is this on the whole file.
class DatabaseCheck final {
public:
    explicit DatabaseCheck(int separators);

    void feed(QByteArrayView bytes);
    // Whether the result is a failure whatever bytes follow.
    bool failed() const { return m_sawCrLf && m_crLf.status != DatabaseFile::Status::Ok; }
    // The result once every byte has been fed.
    DatabaseFile::LoadResult finish() const;

private:
    // The lines as one way of splitting sees them.
    struct Split {
        DatabaseFile::Status status = DatabaseFile::Status::Ok;
        int lines = 0;
        int badLine = 0;
        qsizetype separators = 0; // in the line not yet ended
        bool open = false;        // the line not yet ended has begun
    };
    void endLine(Split& split) const;

    int m_needed;
    Split m_crLf;           // split at CR LF only
    Split m_lf;             // split at every LF: counts while no CR LF has turned up
    bool m_sawCrLf = false; // from then on only the CR LF split counts
    bool m_lastWasCr = false;
    bool m_any = false;
};
