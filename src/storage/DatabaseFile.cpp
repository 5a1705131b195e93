#include "DatabaseFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/Cp1251.h"
#include "core/Cp1251Tables.h"
#include "DatabaseCheck.h"
#include "DatabaseLines.h"
#include "FolderSync.h"
#include "core/LineBreaks.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// Calls fn(lineNo, begin, end) for each line of a whole file as `splitter`
// splits it, until fn returns false; the splitter then counts the line ends
// of the rest all the same. false when fn stopped.
template <typename Fn> bool forEachLine(QByteArrayView bytes, LineSplitter& splitter, Fn&& fn) {
    int lineNo = 0;
    bool stopped = false;
    const char* from = bytes.data();
    const char* to = from;
    const auto text = [&](const char* a, const char* b) {
        // Fed whole, a line is one run: nothing to join.
        from = a;
        to = b;
    };
    const auto end = [&] {
        stopped = !fn(++lineNo, from, to);
        from = to; // an empty line next
        return !stopped;
    };
    const qsizetype taken = splitter.feed(bytes, text, end);
    if (stopped) {
        splitter.feed(
            bytes.sliced(taken), [](const char*, const char*) {}, [] { return true; });
        return false;
    }
    splitter.finish(end);
    return !stopped;
}

// Windows-1251 byte -> UTF-16.
constexpr const std::array<char16_t, 256>& DecodeTable = Cp1251Tables::ToUnicode;

// UTF-16 code unit -> the byte written to the file. Unlike the plain code
// page, "|" becomes "¦" and a lone LF a space, so a cell never splits its
// line. A surrogate has no form ('?'); the pair is skipped by the writer.
constexpr std::array<unsigned char, 65536> EncodeTable = [] {
    std::array<unsigned char, 65536> t{};
    for (int u = 1; u < 65536; ++u) {
        const unsigned char b = Cp1251Tables::FromUnicode[size_t(u)];
        t[size_t(u)] = b ? b : '?';
    }
    t[u'|'] = 0xA6;
    t[u'\n'] = ' ';
    return t;
}();

// The loader keeps a line as it is only if every byte but the control bytes
// and 0x98 reads back as itself once decoded and written again, and if the
// lower half is plain ASCII.
constexpr bool BytesRoundTrip = [] {
    for (int b = 0; b < 128; ++b)
        if (DecodeTable[size_t(b)] != b)
            return false;
    for (int b = 0x20; b < 256; ++b)
        if (b != 0x98 && b != '|' && EncodeTable[DecodeTable[size_t(b)]] != b)
            return false;
    return true;
}();
static_assert(BytesRoundTrip);

// One pass over a line: counts its separators and notes every 8th one's
// position up to `wanted`. Gives up (plain = false) at anything the writer
// would not write back as it is: a control byte (CR, a lone LF), an undefined
// byte, a space next to a separator (the loader trims those).
struct LineScan {
    size_t separators = 0;
    bool plain = true;
};

// Counting the separators of a chunk is a library call on the oldest
// processors; where the processor counts bits itself, that version runs.
#if defined(__x86_64__) && defined(__linux__) && defined(__GNUC__)
#define COUNTS_BITS [[gnu::target_clones("popcnt", "default")]]
#else
#define COUNTS_BITS
#endif

COUNTS_BITS LineScan scanLine(const unsigned char* src, uint32_t n, size_t wanted,
                              std::vector<uint32_t>& marks) {
    marks.clear();
    LineScan out;
    size_t k = 0;
    uint32_t i = 0;
    uint64_t prevBar = 0, prevSpace = 0; // the byte before the chunk, as bit 0
#if defined(__SSE2__)
    const __m128i bar = _mm_set1_epi8('|');
    const __m128i c20 = _mm_set1_epi8(0x20);
    const __m128i c1f = _mm_set1_epi8(0x1F);
    const __m128i c98 = _mm_set1_epi8(char(0x98));
    while (i + 64 <= n) {
        __m128i v[4];
        uint64_t bars = 0;
        __m128i special = _mm_setzero_si128();
        for (int q = 0; q < 4; ++q) {
            v[q] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 16 * q));
            bars |= uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v[q], bar)))) << (16 * q);
            special =
                _mm_or_si128(special, _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(v[q], c20), v[q]),
                                                   _mm_cmpeq_epi8(v[q], c98)));
        }
        uint64_t spaces = 0;
        if (_mm_movemask_epi8(special)) [[unlikely]] {
            for (int q = 0; q < 4; ++q) {
                const __m128i odd = _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(v[q], c1f), v[q]),
                                                 _mm_cmpeq_epi8(v[q], c98));
                if (_mm_movemask_epi8(odd)) {
                    out.plain = false;
                    return out;
                }
                spaces |= uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v[q], c20))))
                          << (16 * q);
            }
        }
        // The previous chunk's last byte counts too.
        if ((spaces & ((bars << 1) | prevBar)) || (bars & ((spaces << 1) | prevSpace))) {
            out.plain = false;
            return out;
        }
        prevBar = bars >> 63;
        prevSpace = spaces >> 63;
        const size_t count = size_t(std::popcount(bars));
        for (size_t next = (k + 7) & ~size_t(7); next < k + count && next < wanted; next += 8) {
            uint64_t m = bars;
            for (size_t skip = next - k; skip; --skip)
                m &= m - 1;
            marks.push_back(i + uint32_t(std::countr_zero(m)));
        }
        k += count;
        i += 64;
    }
#endif
    for (; i < n; ++i) {
        const unsigned char b = src[i];
        const bool isBar = b == '|';
        const bool isSpace = b == ' ';
        if (b < 0x20 || b == 0x98 || (isSpace && prevBar) || (isBar && prevSpace)) {
            out.plain = false;
            return out;
        }
        if (isBar) {
            if ((k & 7) == 0 && k < wanted)
                marks.push_back(i);
            ++k;
        }
        prevBar = isBar;
        prevSpace = isSpace;
    }
    out.separators = k;
    return out;
}

} // namespace

DatabaseFile::LoadResult DatabaseFile::check(const QByteArray& bytes, int separators) {
    DatabaseCheck check(separators);
    check.feed(bytes);
    return check.finish();
}

namespace {

// Parses the lines as `splitter` splits them into `fresh` (empty), in one
// pass: a line is checked as it is parsed; the first bad line stops.
DatabaseFile::LoadResult parseLines(const QByteArray& bytes, LineSplitter& splitter, int separators,
                                    std::shared_ptr<FileMapping> mapping, SubscriberTable& fresh) {
    using Status = DatabaseFile::Status;
    DatabaseFile::LoadResult result;
    const auto& dec = DecodeTable;
    const size_t seps = size_t(separators);
    // A current line may go on with the years after 2024: every field after
    // the 2513th separator is read, up to the last column the table has.
    const size_t wanted =
        separators == DatabaseFile::Separators ? size_t(SubscriberTable::MaxCol) : seps;
    std::vector<uint32_t> sepAt(wanted);
    std::vector<uint32_t> starts(wanted);
    std::vector<uint32_t> lengths(wanted);
    std::vector<uint32_t> marks;
    marks.reserve(wanted / 8 + 1);
    fresh.adoptFile(bytes, std::move(mapping));
    const auto judge = [&](int lineNo, size_t found) {
        result.status = LineStatus(lineNo, qsizetype(found), separators);
        if (result.status == Status::FormatError)
            result.badLine = lineNo;
        return result.status == Status::Ok;
    };
    forEachLine(bytes, splitter, [&](int lineNo, const char* p, const char* end) {
        result.lineCount = lineNo;
        // A line the writer would write back byte for byte stays as it is;
        // any other is decoded and cleaned below.
        {
            const uint32_t n = uint32_t(end - p);
            const LineScan scan =
                scanLine(reinterpret_cast<const unsigned char*>(p), n, wanted, marks);
            if (scan.plain && !judge(lineNo, scan.separators))
                return false;
            char number[12];
            const int numberLength = std::snprintf(number, sizeof number, "%d", lineNo);
            if (scan.plain && marks.front() == uint32_t(numberLength) &&
                std::memcmp(p, number, size_t(numberLength)) == 0) {
                const int columns = int(std::min(scan.separators, wanted));
                // Through the last separator kept: what follows is no field.
                uint32_t size = marks.back();
                for (int j = int(marks.size() - 1) * 8; j < columns - 1; ++j)
                    size = uint32_t(
                        static_cast<const char*>(memchr(p + size + 1, '|', n - size - 1)) - p);
                marks.resize(size_t(columns + 7) / 8);
                fresh.setLoadedRow(lineNo, uint32_t(p - bytes.constData()), size + 1, columns,
                                   marks);
                return true;
            }
        }
        // One pass decodes the line up to its last used separator and notes
        // where the separators are; whatever follows is not a column.
        const QString number = QString::number(lineNo);
        QString text(qsizetype(end - p) + number.size(), Qt::Uninitialized);
        char16_t* dst = reinterpret_cast<char16_t*>(text.data());
        const auto* src = reinterpret_cast<const unsigned char*>(p);
        const uint32_t n = uint32_t(end - p);
        size_t k = 0;
        uint32_t i = 0;
#if defined(__SSE2__)
        // 64 bytes at a time; bytes below 0x80 (digits, commas, points: most
        // of a line) widen directly, a chunk with a Cyrillic letter goes
        // through the table. Stops early enough that the last separators are
        // found below, one by one.
        const __m128i bar = _mm_set1_epi8('|');
        const __m128i zero = _mm_setzero_si128();
        while (i + 64 <= n && k + 64 <= wanted) {
            __m128i v[4];
            uint64_t bars = 0;
            int high = 0;
            for (int q = 0; q < 4; ++q) {
                v[q] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 16 * q));
                high |= _mm_movemask_epi8(v[q]);
                bars |= uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v[q], bar))))
                        << (16 * q);
            }
            if (high == 0) {
                for (int q = 0; q < 4; ++q) {
                    auto* out = reinterpret_cast<__m128i*>(dst + i + 16 * q);
                    _mm_storeu_si128(out, _mm_unpacklo_epi8(v[q], zero));
                    _mm_storeu_si128(out + 1, _mm_unpackhi_epi8(v[q], zero));
                }
            } else {
                for (uint32_t j = i; j < i + 64; ++j)
                    dst[j] = dec[src[j]];
            }
            for (; bars; bars &= bars - 1)
                sepAt[k++] = i + uint32_t(std::countr_zero(bars));
            i += 64;
        }
#endif
        for (; k < wanted && i < n; ++i) {
            const unsigned char b = src[i];
            dst[i] = dec[b];
            if (b == '|')
                sepAt[k++] = i;
        }
        // Past the fields read, a separator more is a field too many.
        if (!judge(lineNo, k + size_t(std::count(src + i, src + n, '|'))))
            return false;
        // Text after the last separator is no field.
        i = sepAt[k - 1] + 1;
        // Column 1 is the row number, whatever the line holds before the
        // first separator; field f + 1 lies between separators f and f + 1.
        std::copy_n(number.utf16(), number.size(), dst + i);
        starts[0] = i;
        lengths[0] = uint32_t(number.size());
        for (size_t f = 1; f < k; ++f) {
            uint32_t a = sepAt[f - 1] + 1;
            uint32_t e = sepAt[f];
            // An empty field reads the separators around it here, never a space.
            if (dst[a] == u' ' || dst[e - 1] == u' ') [[unlikely]] {
                while (a < e && dst[a] == u' ')
                    ++a;
                while (e > a && dst[e - 1] == u' ')
                    --e;
            }
            starts[f] = a;
            lengths[f] = e - a;
        }
        text.resize(qsizetype(i) + number.size());
        fresh.assignRow(lineNo, std::move(text), std::span(starts).first(k),
                        std::span(lengths).first(k), 1);
        return true;
    });
    return result;
}

} // namespace

DatabaseFile::LoadResult DatabaseFile::parse(const QByteArray& bytes, SubscriberTable& table,
                                             int separators, std::shared_ptr<FileMapping> mapping) {
    if (bytes.isEmpty()) {
        LoadResult result;
        result.status = Status::Empty;
        return result;
    }
    // The lines go into a fresh table; the caller's is replaced only when
    // every line is sound. Split at CR LF first, which counts the line ends
    // on the way: a file of another kind (rare) is parsed again once known.
    SubscriberTable fresh;
    LineSplitter atCrLf(LineEnd::CrLf);
    LoadResult result = parseLines(bytes, atCrLf, separators, mapping, fresh);
    const bool noLf = atCrLf.crLfs() == 0 && atCrLf.loneLfs() == 0;
    if (const LineEnd kind =
            ChooseLineEnd(atCrLf.crLfs(), atCrLf.loneLfs(), noLf && bytes.contains('\r'));
        kind != LineEnd::CrLf) {
        LineSplitter other(kind);
        fresh = SubscriberTable();
        result = parseLines(bytes, other, separators, std::move(mapping), fresh);
    }
    if (result.status != Status::Ok)
        return result;
    // Row 0 is no subscriber's and not in the file: it stays as it was.
    for (int c = 0; c <= table.heldColumns(0); ++c)
        if (const QString v = table.cell(0, c); !v.isEmpty())
            fresh.setCell(0, c, v);
    fresh.setSubscriberCount(result.lineCount);
    table = std::move(fresh);
    return result;
}

namespace {

// The file's bytes, or why they could not be read. With `mapping` given, the
// bytes are mapped where that can be done, and *mapping holds them.
DatabaseFile::LoadResult readWhole(const QString& path, QByteArray* bytes,
                                   std::shared_ptr<FileMapping>* mapping = nullptr) {
    using Status = DatabaseFile::Status;
    DatabaseFile::LoadResult result;
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
    if (mapping) {
        if ((*mapping = FileMapping::map(file))) {
            *bytes = (*mapping)->bytes();
            return result;
        }
    }
    // Read into a buffer of exactly the file's size: the loaded table keeps
    // it, and readAll() may leave room to spare.
    QByteArray data(file.size(), Qt::Uninitialized);
    qint64 got = 0;
    while (got < data.size()) {
        const qint64 n = file.read(data.data() + got, data.size() - got);
        if (n <= 0)
            break;
        got += n;
    }
    if (got == data.size()) {
        // A file that grew while read (or one with no size) is read on to its end.
        const QByteArray more = file.readAll();
        if (!more.isEmpty())
            data += more;
    } else {
        data.resize(got);
    }
    *bytes = std::move(data);
    if (file.error() != QFile::NoError)
        result.status = Status::ReadError;
    return result;
}

} // namespace

DatabaseFile::LoadResult DatabaseFile::readAndCheck(const QString& path, int separators,
                                                    QByteArray* bytes) {
    const LoadResult result = readWhole(path, bytes);
    if (result.status != Status::Ok)
        return result;
    return check(*bytes, separators);
}

DatabaseFile::LoadResult DatabaseFile::load(const QString& path, SubscriberTable& table,
                                            Read read) {
    QByteArray bytes;
    std::shared_ptr<FileMapping> mapping;
    const LoadResult result = readWhole(path, &bytes, read == Read::Mapped ? &mapping : nullptr);
    if (result.status != Status::Ok)
        return result;
    // Checks before it touches the table.
    return parse(bytes, table, Separators, std::move(mapping));
}

namespace {

// Whether a later-year cell holds data once its line breaks are cleaned.
bool holdsDataOnceCleaned(int col, QStringView v) {
    if (!v.contains(u'\r'))
        return YearLayout::HoldsLaterYearData(col, v);
    return YearLayout::HoldsLaterYearData(col, RemoveLineBreaks(v.toString()));
}

// Whether a cell of row r after column `col` holds a CR.
bool holdsReturnAfter(const SubscriberTable& table, int r, int col) {
    for (int c = col + 1; c <= table.heldColumns(r); ++c) {
        const QStringView v = table.textView(r, c);
        if (std::find(v.begin(), v.end(), u'\r') != v.end())
            return true;
    }
    return false;
}

void cleanRow(SubscriberTable& table, int r, int lastCol) {
    // A row kept as loaded holds no CR: the loader decodes any line with one.
    if (table.heldAsLoaded(r))
        return;
    const int last = std::min(lastCol > 0 ? lastCol : table.heldColumns(r), table.heldColumns(r));
    for (int c = 1; c <= last; ++c) {
        const QStringView v = table.textView(r, c);
        if (std::find(v.begin(), v.end(), u'\r') != v.end())
            table.setCell(r, c, RemoveLineBreaks(v.toString()));
    }
}

} // namespace

void DatabaseFile::cleanLineBreaks(SubscriberTable& table, int lastCol) {
    for (int r = 1; r <= table.subscriberCount(); ++r)
        cleanRow(table, r, lastCol);
}

namespace {

bool writeAll(QIODevice& out, const char* data, qsizetype size) {
    while (size > 0) {
        const qint64 n = out.write(data, size);
        if (n <= 0)
            return false;
        data += n;
        size -= qsizetype(n);
    }
    return true;
}

// Encodes rows 1..subscriberCount, `fields` fields each, into `buf`. With a
// device, the finished rows go to it whenever `buf` is full, so `buf` keeps
// its size unless a single row is longer; without one, `buf` grows to hold
// the whole file. A row never straddles two writes: a written row whose bytes
// hold a CR can still be cleaned in `cleaning` (the same table, when given)
// and encoded again in its place. false when the device failed.
bool encodeRows(const SubscriberTable& table, SubscriberTable* cleaning, int fields,
                QByteArray& buf, QIODevice* device) {
    const auto& enc = EncodeTable;
    const int rows = table.subscriberCount();
    // Written through a pointer: a call per cell into QByteArray would cost
    // more than the encoding itself.
    char* d = buf.data();
    char* limit = d + buf.size();
    qsizetype rowAt = 0; // where the row being encoded begins in buf
    const auto makeRoom = [&](qsizetype n) {
        char* base = buf.data();
        if (device && rowAt > 0) {
            if (!writeAll(*device, base, rowAt))
                return false;
            const qsizetype begun = (d - base) - rowAt;
            std::memmove(base, base + rowAt, size_t(begun));
            d = base + begun;
            rowAt = 0;
            if (limit - d >= n)
                return true;
        }
        const qsizetype at = d - base;
        buf.resize(std::max(buf.size() * 2, at + n));
        d = buf.data() + at;
        limit = buf.data() + buf.size();
        return true;
    };
    const auto ensure = [&](qsizetype n) { return limit - d >= n || makeRoom(n); };
    const auto encodeWritten = [&](int r) {
        for (int c = 1; c <= fields; ++c) {
            const QStringView v = table.textView(r, c);
            const qsizetype n = v.size();
            // The cell, its "|" and the line's CR LF.
            if (!ensure(n + 3))
                return false;
            const char16_t* s = v.utf16();
            for (qsizetype i = 0; i < n; ++i) {
                const char16_t u = s[i];
                const char b = char(enc[u]);
                *d++ = b;
                // A character beyond 16 bits is one character: one '?'.
                if (b == '?' && (u & 0xFC00) == 0xD800 && i + 1 < n &&
                    (s[i + 1] & 0xFC00) == 0xDC00)
                    ++i;
            }
            *d++ = '|';
        }
        return true;
    };
    for (int r = 1; r <= rows; ++r) {
        rowAt = d - buf.data();
        // A row not written since the load goes out as the file had it, with
        // empty fields up to the table's last column.
        int loadedCols = 0;
        if (const QByteArrayView line = table.loadedBytes(r, fields, &loadedCols);
            !line.isEmpty()) {
            const qsizetype pad = fields - loadedCols;
            if (!ensure(line.size() + pad + 2))
                return false;
            std::memcpy(d, line.data(), size_t(line.size()));
            d += line.size();
            std::memset(d, '|', size_t(pad));
            d += pad;
            *d++ = '\r';
            *d++ = '\n';
            continue;
        }
        if (!encodeWritten(r))
            return false;
        // One vectorised search per line instead of a test per character. A
        // cell past the last field holds nothing but line breaks (`fields`
        // counts it empty) and is cleaned too.
        if (cleaning &&
            (memchr(buf.constData() + rowAt, '\r', size_t(d - buf.constData() - rowAt)) ||
             holdsReturnAfter(table, r, fields))) {
            cleanRow(*cleaning, r, 0);
            d = buf.data() + rowAt;
            if (!encodeWritten(r))
                return false;
        }
        *d++ = '\r';
        *d++ = '\n';
    }
    if (device)
        return writeAll(*device, buf.constData(), d - buf.constData());
    buf.resize(d - buf.data());
    return true;
}

} // namespace

QByteArray DatabaseFile::serialize(const SubscriberTable& table) {
    // 2513 fields, or whole year blocks up to the last year holding data
    // (a row kept as loaded is cut there too): a table with nothing after
    // 2024 is written as it always was.
    QByteArray bytes(std::max<qsizetype>(qsizetype(table.subscriberCount()) * 16 * 1024, 64 * 1024),
                     Qt::Uninitialized);
    encodeRows(table, nullptr, YearLayout::LastStoredColumn(table), bytes, nullptr);
    return bytes;
}

bool DatabaseFile::write(QIODevice& out, SubscriberTable& table, qsizetype bufferSize) {
    // The fields of the cleaned table: a later year whose only data are line
    // breaks or zero charges is not written.
    const int fields = YearLayout::LastStoredColumn(table, holdsDataOnceCleaned);
    QByteArray buf(std::max<qsizetype>(bufferSize, 1), Qt::Uninitialized);
    if (encodeRows(table, &table, fields, buf, &out))
        return true;
    // The rows not reached are cleaned as well, as if the save had gone through.
    cleanLineBreaks(table);
    return false;
}

bool DatabaseFile::writeAtomically(const QString& path,
                                   const std::function<bool(QIODevice&)>& produce,
                                   const SaveFileFactory& makeFile, QString* errorText) {
    std::unique_ptr<QSaveFile> file = makeFile ? makeFile(path) : std::make_unique<QSaveFile>(path);
    const auto fail = [&] {
        if (errorText)
            *errorText = file->errorString();
        file->cancelWriting();
        return false;
    };
    if (!file->open(QIODevice::WriteOnly))
        return fail();
    // Qt 6.4's commit() takes a failed write of the last buffered bytes (a
    // full disk) for success and renames the short file into place: they are
    // written out first.
    if (!produce(*file) || !file->flush())
        return fail();
    // commit() renames even when the last buffered bytes could not be written
    // (a full disk takes a short write without an error): a cut file would
    // replace the whole one. The buffer is flushed and checked first.
    if (!file->flush())
        return fail();
    if (!file->commit()) {
        if (errorText)
            *errorText = file->errorString();
        return false;
    }
    // The file's data are on the disk; the rename is only once the folder is.
    // A folder that cannot be synced still holds the new file.
    SyncFolder(QFileInfo(path).absolutePath());
    return true;
}

bool DatabaseFile::writeAtomically(const QString& path, const QByteArray& bytes,
                                   const SaveFileFactory& makeFile, QString* errorText) {
    return writeAtomically(path, producing(bytes), makeFile, errorText);
}

std::function<bool(QIODevice&)> DatabaseFile::producing(const QByteArray& bytes) {
    return [bytes](QIODevice& out) { return writeAll(out, bytes.constData(), bytes.size()); };
}

bool DatabaseFile::save(const QString& path, SubscriberTable& table,
                        const SaveFileFactory& makeFile, qsizetype bufferSize) {
    return saveThrough(
        table,
        [&](const std::function<bool(QIODevice&)>& produce) {
            return writeAtomically(path, produce, makeFile);
        },
        bufferSize);
}

bool DatabaseFile::saveThrough(SubscriberTable& table, const Writer& writeFile,
                               qsizetype bufferSize) {
    bool reached = false;
    const bool ok = writeFile([&](QIODevice& out) {
        reached = true;
        return write(out, table, bufferSize);
    });
    // A file that could not even be opened: the table is cleaned all the same.
    if (!reached)
        cleanLineBreaks(table);
    return ok;
}

bool DatabaseFile::createNew(const QString& path, SubscriberTable& table) {
    table.clear();
    table.setSubscriberCount(1);
    return save(path, table);
}
