#include "DatabaseFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "Cp1251.h"

using namespace Qt::StringLiterals;

namespace {

// Splits bytes into lines at LF (a CR before it belongs to the line end).
template <typename Fn> void forEachLine(const QByteArray& bytes, Fn&& fn) {
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    int lineNo = 0;
    while (p < end) {
        const char* nl = static_cast<const char*>(memchr(p, '\n', size_t(end - p)));
        const char* lineEnd = nl ? nl : end;
        const char* contentEnd = lineEnd;
        if (contentEnd > p && contentEnd[-1] == '\r')
            --contentEnd;
        ++lineNo;
        if (!fn(lineNo, p, contentEnd))
            return;
        p = nl ? nl + 1 : end;
    }
}

int countSeparators(const char* p, const char* end, int upTo) {
    int n = 0;
    while (n < upTo) {
        p = static_cast<const char*>(memchr(p, '|', size_t(end - p)));
        if (!p)
            break;
        ++n;
        ++p;
    }
    return n;
}

bool isSpace(char16_t c) {
    return c == u' ';
}

} // namespace

DatabaseFile::LoadResult DatabaseFile::check(const QByteArray& bytes, int separators) {
    LoadResult result;
    if (bytes.isEmpty()) {
        result.status = Status::Empty;
        return result;
    }
    int lines = 0;
    forEachLine(bytes, [&](int lineNo, const char* p, const char* end) {
        lines = lineNo;
        if (lineNo > SubscriberTable::MaxRow) {
            result.status = Status::TooManyLines;
            return false;
        }
        if (countSeparators(p, end, separators) < separators) {
            result.status = Status::FormatError;
            result.badLine = lineNo;
            return false;
        }
        return true;
    });
    result.lineCount = lines;
    return result;
}

DatabaseFile::LoadResult DatabaseFile::parse(const QByteArray& bytes, SubscriberTable& table,
                                             int separators) {
    LoadResult result = check(bytes, separators);
    if (result.status != Status::Ok)
        return result;
    std::vector<uint32_t> starts(static_cast<size_t>(separators));
    std::vector<uint32_t> lengths(static_cast<size_t>(separators));
    forEachLine(bytes, [&](int lineNo, const char* p, const char* end) {
        QString text = Cp1251::decode(p, end - p);
        const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
        const uint32_t n = uint32_t(text.size());
        // Column 1 is the row number, whatever the line holds before the
        // first separator; field k + 1 lies between separators k and k + 1.
        uint32_t pos = 0;
        while (s[pos] != u'|')
            ++pos;
        const QString number = QString::number(lineNo);
        const uint32_t numberAt = n;
        text.append(number);
        s = reinterpret_cast<const char16_t*>(text.constData());
        starts[0] = numberAt;
        lengths[0] = uint32_t(number.size());
        for (int k = 1; k < separators; ++k) {
            uint32_t a = pos + 1;
            uint32_t b = a;
            while (s[b] != u'|')
                ++b;
            pos = b;
            while (a < b && isSpace(s[a]))
                ++a;
            while (b > a && isSpace(s[b - 1]))
                --b;
            starts[size_t(k)] = a;
            lengths[size_t(k)] = b - a;
        }
        table.assignRow(lineNo, std::move(text), starts, lengths, 1);
        return true;
    });
    for (int r = result.lineCount + 1; r <= SubscriberTable::MaxRow; ++r)
        table.clearRow(r);
    table.setSubscriberCount(result.lineCount);
    return result;
}

DatabaseFile::LoadResult DatabaseFile::readAndCheck(const QString& path, int separators,
                                                    QByteArray* bytes) {
    LoadResult result;
    QFileInfo info(path);
    if (!info.exists()) {
        result.status = Status::NotFound;
        return result;
    }
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        result.status =
            (info.isFile() && !info.isReadable()) || file.error() == QFile::PermissionsError
                ? Status::AccessDenied
                : Status::ReadError;
        return result;
    }
    // More than 501 full lines cannot be a database; do not read a huge file whole.
    const qint64 limit = qint64(SubscriberTable::MaxRow + 1) * 64 * 1024 * 1024;
    if (file.size() > limit) {
        result.status = Status::TooManyLines;
        return result;
    }
    *bytes = file.readAll();
    if (file.error() != QFile::NoError) {
        result.status = Status::ReadError;
        return result;
    }
    return check(*bytes, separators);
}

DatabaseFile::LoadResult DatabaseFile::load(const QString& path, SubscriberTable& table) {
    QByteArray bytes;
    LoadResult result = readAndCheck(path, Separators, &bytes);
    if (result.status != Status::Ok)
        return result;
    return parse(bytes, table, Separators);
}

void DatabaseFile::cleanLineBreaks(SubscriberTable& table, int lastCol) {
    for (int r = 1; r <= table.subscriberCount(); ++r) {
        for (int c = 1; c <= lastCol; ++c) {
            const QStringView v = table.cellView(r, c);
            if (!v.contains(u'\r'))
                continue;
            QString cleaned;
            cleaned.reserve(v.size());
            for (qsizetype i = 0; i < v.size(); ++i) {
                if (v[i] == u'\r') {
                    ++i; // the character after the CR goes with it
                    continue;
                }
                cleaned.append(v[i]);
            }
            table.setCell(r, c, cleaned);
        }
    }
}

QByteArray DatabaseFile::serialize(const SubscriberTable& table) {
    QByteArray out;
    const int rows = table.subscriberCount();
    // Roughly the size of the cells plus the separators.
    out.reserve(qsizetype(rows) * (Separators + 2) * 4);
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= Separators; ++c) {
            const QStringView v = table.cellView(r, c);
            if (!v.isEmpty()) {
                const qsizetype at = out.size();
                Cp1251::appendEncoded(out, v);
                if (v.contains(u'|') || v.contains(u'\n')) {
                    char* d = out.data() + at;
                    for (qsizetype i = 0; i < out.size() - at; ++i) {
                        if (d[i] == '|')
                            d[i] = char(0xA6); // "¦"
                        else if (d[i] == '\n')
                            d[i] = ' '; // a lone LF would split the line
                    }
                }
            }
            out.append('|');
        }
        out.append("\r\n", 2);
    }
    return out;
}

bool DatabaseFile::writeAtomically(const QString& path, const QByteArray& bytes,
                                   const SaveFileFactory& makeFile) {
    std::unique_ptr<QSaveFile> file = makeFile ? makeFile(path) : std::make_unique<QSaveFile>(path);
    if (!file->open(QIODevice::WriteOnly))
        return false;
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file->write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            file->cancelWriting();
            return false;
        }
        written += n;
    }
    return file->commit();
}

bool DatabaseFile::save(const QString& path, SubscriberTable& table,
                        const SaveFileFactory& makeFile) {
    cleanLineBreaks(table);
    return writeAtomically(path, serialize(table), makeFile);
}

bool DatabaseFile::createNew(const QString& path, SubscriberTable& table) {
    table.clear();
    table.setSubscriberCount(1);
    return save(path, table);
}
