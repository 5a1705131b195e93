#include "XlsReader.h"

#include <cmath>
#include <cstring>
#include <vector>

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringList>

#include "CompoundFile.h"
#include "core/Cp1251.h"
#include "LittleEndian.h"
#include "core/NumberText.h"

using namespace Qt::StringLiterals;

namespace {

using Cells = std::map<std::pair<int, int>, QString>;

// Record identifiers of the workbook stream.
enum : quint16 {
    RecFormula = 0x0006,
    RecEof = 0x000A,
    RecFilePass = 0x002F,
    RecContinue = 0x003C,
    RecWindow1 = 0x003D,
    RecCodePage = 0x0042,
    RecBoundSheet = 0x0085,
    RecMulRk = 0x00BD,
    RecRString = 0x00D6,
    RecSst = 0x00FC,
    RecLabelSst = 0x00FD,
    RecNumber = 0x0203,
    RecLabel = 0x0204,
    RecBoolErr = 0x0205,
    RecString = 0x0207,
    RecRk = 0x027E,
    RecBof = 0x0809,
};

constexpr quint16 Biff8 = 0x0600;
constexpr quint16 Biff5 = 0x0500; // Excel 5 and 95 alike
constexpr quint16 BofGlobals = 0x0005;
constexpr quint16 BofWorksheet = 0x0010;
constexpr int MaxColumns = 256;
// What the texts of one workbook may take in memory, roughly; the largest
// sheet a 256 MB file could describe stays well under it, a forged one not.
constexpr qint64 MaxTextBytes = 256LL * 1024 * 1024;
constexpr qint64 CellOverheadBytes = 64;

double leDouble(QByteArrayView b, qsizetype at) {
    const quint64 bits = quint64(Le32(b, at)) | quint64(Le32(b, at + 4)) << 32;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// A compact number: a 30-bit integer or the top 30 bits of a double,
// optionally hundredths.
double rkValue(quint32 rk) {
    double v;
    if (rk & 2) {
        v = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&v, &bits, sizeof v);
    }
    return rk & 1 ? v / 100 : v;
}

// One record with the data of the continuation records right after it.
struct Record {
    quint16 id = 0;
    std::vector<QByteArrayView> parts; // never empty once read
    QByteArrayView data() const { return parts.front(); }
};

class RecordWalk {
public:
    RecordWalk(const QByteArray& stream, qsizetype at) : m_s(stream), m_at(at) {}

    // False at the end of the stream or on a record cut short (damaged()).
    bool next(Record& r) {
        r.parts.clear();
        QByteArrayView data;
        if (!take(r.id, data))
            return false;
        r.parts.push_back(data);
        while (m_at + 4 <= m_s.size() && Le16(m_s, m_at) == RecContinue) {
            quint16 id;
            if (!take(id, data))
                return false;
            r.parts.push_back(data);
        }
        return true;
    }
    bool damaged() const { return m_damaged; }

private:
    bool take(quint16& id, QByteArrayView& data) {
        if (m_at >= m_s.size())
            return false;
        const qsizetype len = Le16(m_s, m_at + 2);
        if (m_at < 0 || m_at + 4 + len > m_s.size()) {
            m_damaged = true;
            return false;
        }
        id = Le16(m_s, m_at);
        data = QByteArrayView(m_s).sliced(m_at + 4, len);
        m_at += 4 + len;
        return true;
    }

    const QByteArray& m_s;
    qsizetype m_at;
    bool m_damaged = false;
};

// Reads across a record and its continuations. Raw fields run on over the
// joins; the characters of a string resume after a join with a fresh flags
// byte that says whether they are one or two bytes wide.
class Pieces {
public:
    Pieces(const std::vector<QByteArrayView>& parts, qsizetype skip) : m_parts(parts) {
        if (skip > parts.front().size()) {
            m_pos = parts.front().size(); // nothing to read
            return;
        }
        for (QByteArrayView p : parts)
            m_left += p.size();
        m_left -= skip;
        m_pos = skip;
    }

    qsizetype left() const { return m_left; }

    bool u8(quint8& v) {
        if (!settle())
            return false;
        v = quint8(cur()[m_pos++]);
        --m_left;
        return true;
    }
    bool u16(quint16& v) {
        quint8 lo, hi;
        if (!u8(lo) || !u8(hi))
            return false;
        v = quint16(lo | hi << 8);
        return true;
    }
    bool u32(quint32& v) {
        quint16 lo, hi;
        if (!u16(lo) || !u16(hi))
            return false;
        v = quint32(lo) | quint32(hi) << 16;
        return true;
    }
    bool skip(qint64 n) {
        if (n < 0 || n > m_left)
            return false;
        while (n > 0) {
            if (!settle())
                return false;
            const qsizetype step = std::min<qint64>(n, cur().size() - m_pos);
            m_pos += step;
            m_left -= step;
            n -= step;
        }
        return true;
    }
    bool bytes(qsizetype n, QByteArray& out) {
        if (n < 0 || n > m_left)
            return false;
        out.clear();
        out.reserve(n);
        while (out.size() < n) {
            if (!settle())
                return false;
            const qsizetype step = std::min(n - out.size(), cur().size() - m_pos);
            out.append(cur().data() + m_pos, step);
            m_pos += step;
            m_left -= step;
        }
        return true;
    }
    bool chars(qsizetype count, bool wide, QString& out) {
        if (count > m_left) // even one byte a character would not do
            return false;
        out.resize(count);
        for (qsizetype got = 0; got < count;) {
            if (m_pos >= cur().size()) {
                quint8 flags;
                if (!u8(flags))
                    return false;
                wide = flags & 1;
                continue;
            }
            if (wide) {
                if (m_pos + 2 > cur().size())
                    return false;
                out[got++] = QChar(char16_t(Le16(cur(), m_pos)));
                m_pos += 2;
                m_left -= 2;
            } else {
                out[got++] = QChar(char16_t(quint8(cur()[m_pos])));
                ++m_pos;
                --m_left;
            }
        }
        return true;
    }

private:
    QByteArrayView cur() const { return m_parts[m_index]; }
    // Moves past exhausted parts; false at the very end.
    bool settle() {
        if (m_left <= 0)
            return false;
        while (m_pos >= cur().size()) {
            if (m_index + 1 >= m_parts.size())
                return false;
            ++m_index;
            m_pos = 0;
        }
        return true;
    }

    const std::vector<QByteArrayView>& m_parts;
    std::size_t m_index = 0;
    qsizetype m_pos = 0;
    qint64 m_left = 0;
};

// The 8-bit texts of an Excel 5/95 workbook, in its code page.
// Latin-1 when the code page is not told or not known.
class ByteText {
public:
    void setCodePage(int codePage) {
        m_cp1251 = codePage == 1251;
        m_decoder.reset();
        QByteArray name;
        if (codePage == 10000 || codePage == 32768)
            name = "macintosh";
        else if (codePage == 32769)
            name = "windows-1252";
        else if (codePage == 874 || (codePage >= 1250 && codePage <= 1258))
            name = "windows-" + QByteArray::number(codePage);
        else if (codePage > 0 && codePage != 367 && codePage != 1200 && codePage != 1251)
            name = "cp" + QByteArray::number(codePage);
        if (!name.isEmpty()) {
            QStringDecoder decoder(name.constData());
            if (decoder.isValid())
                m_decoder.emplace(std::move(decoder));
        }
    }

    QString operator()(const QByteArray& bytes) {
        if (m_cp1251)
            return Cp1251::decode(bytes);
        if (m_decoder) {
            m_decoder->resetState();
            return m_decoder->decode(bytes);
        }
        return QString::fromLatin1(bytes);
    }

private:
    bool m_cp1251 = false;
    std::optional<QStringDecoder> m_decoder;
};

class Reader {
public:
    explicit Reader(const QByteArray& stream) : m_s(stream) {}

    std::optional<Cells> read() {
        qsizetype sheetAt = -1;
        if (!readGlobals(sheetAt) || !readSheet(sheetAt))
            return std::nullopt;
        return std::move(m_cells);
    }

private:
    bool spend(qint64 bytes) {
        m_budget -= bytes;
        return m_budget >= 0;
    }

    // A string of the later format: 16-bit length, flags, then the
    // characters; rich-text runs and the Far East extension are skipped.
    bool unicodeString(Pieces& p, QString& out) {
        quint16 count;
        quint8 flags;
        if (!p.u16(count) || !p.u8(flags))
            return false;
        quint16 runs = 0;
        quint32 extBytes = 0;
        if ((flags & 0x08) && !p.u16(runs))
            return false;
        if ((flags & 0x04) && !p.u32(extBytes))
            return false;
        return spend(2 * qint64(count)) && p.chars(count, flags & 1, out) &&
               p.skip(4 * qint64(runs)) && p.skip(extBytes);
    }

    // The text of LABEL, RSTRING and STRING from skip bytes on.
    bool cellString(const Record& r, qsizetype skip, QString& out) {
        Pieces p(r.parts, skip);
        if (m_version == Biff8)
            return unicodeString(p, out);
        quint16 count;
        QByteArray bytes;
        if (!p.u16(count) || !spend(2 * qint64(count)) || !p.bytes(count, bytes))
            return false;
        out = m_byteText(bytes);
        return true;
    }

    bool readSst(const Record& r) {
        Pieces p(r.parts, 8);
        const quint32 count = Le32(r.data(), 4);
        // Three bytes at least each: a count of strings the record cannot
        // hold is damage, not a reason to reserve room.
        if (r.data().size() < 8 || qint64(count) * 3 > p.left() ||
            !spend(qint64(count) * qint64(sizeof(QString))))
            return false;
        m_sst.reserve(count);
        for (quint32 i = 0; i < count; ++i) {
            QString s;
            if (!unicodeString(p, s))
                return false;
            m_sst.append(s);
        }
        return true;
    }

    bool readGlobals(qsizetype& sheetAt) {
        RecordWalk walk(m_s, 0);
        Record r;
        if (!walk.next(r) || r.id != RecBof || r.data().size() < 4)
            return false;
        m_version = Le16(r.data(), 0);
        if ((m_version != Biff8 && m_version != Biff5) || Le16(r.data(), 2) != BofGlobals)
            return false;

        struct Sheet {
            quint32 offset;
            int type;
        };
        std::vector<Sheet> sheets; // in tab order
        int activeTab = -1;
        bool ended = false;
        bool sstSeen = false;
        while (!ended && walk.next(r)) {
            const QByteArrayView d = r.data();
            switch (r.id) {
            case RecEof:
                ended = true;
                break;
            case RecBof:      // a sheet before the globals ended
            case RecFilePass: // the rest is encrypted
                return false;
            case RecCodePage:
                if (d.size() < 2)
                    return false;
                m_byteText.setCodePage(Le16(d, 0));
                break;
            case RecWindow1:
                if (d.size() < 12)
                    return false;
                if (activeTab < 0)
                    activeTab = Le16(d, 10);
                break;
            case RecBoundSheet:
                if (d.size() < 6)
                    return false;
                sheets.push_back({Le32(d, 0), quint8(d[5])});
                break;
            case RecSst:
                if (m_version != Biff8 || sstSeen || !readSst(r))
                    return false;
                sstSeen = true;
                break;
            default:
                break;
            }
        }
        if (!ended)
            return false;

        // The active tab when it is a worksheet, else the first worksheet.
        const auto isWorksheet = [&](int tab) {
            return tab >= 0 && tab < int(sheets.size()) && sheets[std::size_t(tab)].type == 0;
        };
        int tab = activeTab;
        if (!isWorksheet(tab)) {
            tab = 0;
            while (tab < int(sheets.size()) && !isWorksheet(tab))
                ++tab;
        }
        if (!isWorksheet(tab))
            return false;
        sheetAt = sheets[std::size_t(tab)].offset;
        return true;
    }

    bool put(quint16 row, quint16 col, const QString& text) {
        if (col >= MaxColumns)
            return false;
        if (text.isEmpty()) {
            m_cells.erase({row, col});
            return true;
        }
        if (!spend(CellOverheadBytes + 2 * qint64(text.size())))
            return false;
        m_cells.insert_or_assign({row, col}, text);
        return true;
    }

    bool putNumber(quint16 row, quint16 col, double v) {
        return std::isfinite(v) && put(row, col, PlainNumber(v));
    }

    static QString boolText(bool v) { return v ? u"ИСТИНА"_s : u"ЛОЖЬ"_s; }

    bool readSheet(qsizetype at) {
        if (at >= m_s.size())
            return false;
        RecordWalk walk(m_s, at);
        Record r;
        if (!walk.next(r) || r.id != RecBof || Le16(r.data(), 2) != BofWorksheet)
            return false;
        int depth = 1; // charts sit in the sheet as substreams of their own
        std::optional<std::pair<quint16, quint16>> pendingString;
        while (walk.next(r)) {
            if (r.id == RecBof) {
                ++depth;
                continue;
            }
            if (r.id == RecEof) {
                if (--depth == 0)
                    return true;
                continue;
            }
            if (depth > 1)
                continue;
            const QByteArrayView d = r.data();
            const quint16 row = Le16(d, 0);
            const quint16 col = Le16(d, 2);
            bool ok = true;
            switch (r.id) {
            case RecNumber:
                ok = d.size() >= 14 && putNumber(row, col, leDouble(d, 6));
                break;
            case RecRk:
                ok = d.size() >= 10 && putNumber(row, col, rkValue(Le32(d, 6)));
                break;
            case RecMulRk: {
                const qsizetype n = (d.size() - 6) / 6;
                ok = d.size() >= 12 && (d.size() - 6) % 6 == 0 &&
                     Le16(d, d.size() - 2) == col + n - 1;
                for (qsizetype i = 0; ok && i < n; ++i)
                    ok = putNumber(row, quint16(col + i), rkValue(Le32(d, 4 + 6 * i + 2)));
                break;
            }
            case RecLabelSst: {
                const quint32 index = Le32(d, 6);
                ok = d.size() >= 10 && index < quint32(m_sst.size()) &&
                     put(row, col, m_sst[qsizetype(index)]);
                break;
            }
            case RecLabel:
            case RecRString: {
                QString text;
                ok = d.size() >= 8 && cellString(r, 6, text) && put(row, col, text);
                break;
            }
            case RecBoolErr:
                // An error value reads as nothing.
                ok = d.size() >= 8 && put(row, col, d[7] ? QString() : boolText(d[6] != 0));
                break;
            case RecFormula:
                pendingString.reset();
                if (d.size() < 14) {
                    ok = false;
                } else if (Le16(d, 12) != 0xFFFF) {
                    ok = putNumber(row, col, leDouble(d, 6));
                } else if (d[6] == 0) { // a text, in the STRING record that follows
                    pendingString.emplace(row, col);
                    ok = put(row, col, QString());
                } else {
                    ok = put(row, col, d[6] == 1 ? boolText(d[8] != 0) : QString());
                }
                break;
            case RecString:
                if (pendingString) {
                    QString text;
                    ok = cellString(r, 0, text) &&
                         put(pendingString->first, pendingString->second, text);
                    pendingString.reset();
                }
                break;
            default:
                break;
            }
            if (!ok)
                return false;
        }
        return false; // the stream ended inside the sheet
    }

    const QByteArray& m_s;
    quint16 m_version = 0;
    ByteText m_byteText;
    QStringList m_sst;
    Cells m_cells;
    qint64 m_budget = MaxTextBytes;
};

} // namespace

std::optional<Cells> ReadXlsCells(const QByteArray& file) {
    const CompoundFile cf(file);
    auto stream = cf.stream(u"Workbook");
    if (!stream)
        stream = cf.stream(u"Book");
    if (!stream)
        return std::nullopt;
    return Reader(*stream).read();
}
