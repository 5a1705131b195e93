#include "WorkbookReader.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QStringList>
#include <QTime>
#include <QXmlStreamReader>

#include <freexl.h>
#include <zip.h>

#include "NumberText.h"
#include "WorkbookSheet.h"

using namespace Qt::StringLiterals;

namespace {

using Status = WorkbookReadResult::Status;
using Cells = std::map<std::pair<int, int>, QString>;

// Larger files are not workbooks this program wrote or reads.
constexpr qint64 MaxFileBytes = 256LL * 1024 * 1024;
constexpr zip_uint64_t MaxEntryBytes = 512ULL * 1024 * 1024;

QString numberText(double v) {
    return PlainNumber(v);
}

// ---------------------------------------------------------------- xlsx

class ZipArchive {
public:
    explicit ZipArchive(const QByteArray& bytes) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source =
            zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
        if (source) {
            m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!m_zip)
                zip_source_free(source);
        }
        zip_error_fini(&error);
    }
    ~ZipArchive() {
        if (m_zip)
            zip_discard(m_zip);
    }
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool isOpen() const { return m_zip != nullptr; }

    // Part names are case-insensitive in the package format.
    std::optional<QByteArray> entry(const QString& name) const {
        const zip_int64_t index = zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
        if (index < 0)
            return std::nullopt;
        zip_stat_t st;
        if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) != 0 ||
            !(st.valid & ZIP_STAT_SIZE) || st.size > MaxEntryBytes)
            return std::nullopt;
        zip_file_t* file = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
        if (!file)
            return std::nullopt;
        QByteArray data(qsizetype(st.size), Qt::Uninitialized);
        const zip_int64_t n = zip_fread(file, data.data(), st.size);
        zip_fclose(file);
        if (n < 0 || zip_uint64_t(n) != st.size)
            return std::nullopt;
        return data;
    }

private:
    zip_t* m_zip = nullptr;
};

// "_x000D_" stands for a character the XML cannot hold as it is.
QString decodeEscapes(const QString& text) {
    if (!text.contains(u"_x"_s))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const uint code = QStringView(text).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(char16_t(code));
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The text of a string item (<si> or <is>): its <t> texts, plain or in
// rich-text runs, without the phonetic hints (<rPh>). The reader stands on
// the item's start element and ends on its end element.
QString readStringItem(QXmlStreamReader& xml) {
    QString text;
    int phonetic = 0;
    const QString itemName = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.isEndElement()) {
            if (xml.name() == u"rPh")
                --phonetic;
            else if (xml.name() == itemName)
                break;
        }
    }
    return decodeEscapes(text);
}

struct Relationship {
    QString type;
    QString target;
};

// Relationship id -> type and target path inside the package, for the part
// at partPath ("" for the package itself).
std::optional<QHash<QString, Relationship>> readRelationships(const ZipArchive& zip,
                                                              const QString& partPath) {
    const qsizetype slash = partPath.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : partPath.left(slash + 1);
    const QString relsPath = folder + u"_rels/"_s + partPath.mid(slash + 1) + u".rels"_s;
    QHash<QString, Relationship> rels;
    const auto bytes = zip.entry(relsPath);
    if (!bytes)
        return rels; // a part without relationships
    QXmlStreamReader xml(*bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"Relationship")
            continue;
        const auto a = xml.attributes();
        if (a.value("TargetMode"_L1) == u"External")
            continue;
        const QString target = a.value("Target"_L1).toString();
        const QString path = target.startsWith(u'/') ? target.mid(1) : folder + target;
        rels.insert(a.value("Id"_L1).toString(),
                    Relationship{a.value("Type"_L1).toString(), QDir::cleanPath(path)});
    }
    if (xml.hasError())
        return std::nullopt;
    return rels;
}

std::optional<QString> targetOfType(const QHash<QString, Relationship>& rels,
                                    QStringView typeSuffix) {
    for (const Relationship& r : rels)
        if (r.type.endsWith(typeSuffix))
            return r.target;
    return std::nullopt;
}

std::optional<QStringList> readSharedStrings(const ZipArchive& zip, const QString& path) {
    QStringList strings;
    const auto bytes = zip.entry(path);
    if (!bytes)
        return std::nullopt;
    QXmlStreamReader xml(*bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            strings.append(readStringItem(xml));
    }
    if (xml.hasError())
        return std::nullopt;
    return strings;
}

// "B12" -> row 11, column 1 (either may be missing: "B", "12" are not used
// by writers, but a missing reference follows the previous cell).
std::optional<std::pair<int, int>> cellPosition(QStringView ref) {
    const auto r = ParseCellRange(ref);
    if (!r || r->firstRow != r->lastRow || r->firstCol != r->lastCol)
        return std::nullopt;
    return std::pair{r->firstRow, r->firstCol};
}

// One <c> element: its type, and the texts of <v> and of an inline <is>.
std::optional<QString> readCell(QXmlStreamReader& xml, const QStringList& shared) {
    const QString type = xml.attributes().value("t"_L1).toString();
    QString value;
    QString inlineText;
    bool hasValue = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"v") {
                value = xml.readElementText();
                hasValue = true;
            } else if (xml.name() == u"is") {
                inlineText = readStringItem(xml);
            } else {
                xml.skipCurrentElement(); // <f> and extensions
            }
        } else if (xml.isEndElement() && xml.name() == u"c") {
            break;
        }
    }
    if (type == u"inlineStr")
        return inlineText;
    if (!hasValue)
        return QString();
    if (type == u"s") {
        bool ok = false;
        const int index = value.trimmed().toInt(&ok);
        if (!ok || index < 0 || index >= shared.size())
            return std::nullopt;
        return shared[index];
    }
    if (type == u"b")
        return value.trimmed() == u"1"_s ? u"ИСТИНА"_s : u"ЛОЖЬ"_s;
    if (type == u"str" || type == u"e" || type == u"d")
        return decodeEscapes(value);
    // A number ("n" or no type).
    if (value.trimmed().isEmpty())
        return QString();
    bool ok = false;
    const double v = QLocale::c().toDouble(value.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return numberText(v);
}

bool readSheet(const QByteArray& bytes, const QStringList& shared, Cells& cells) {
    QXmlStreamReader xml(bytes);
    int row = -1;
    int col = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"row") {
            bool ok = false;
            const int r = xml.attributes().value("r"_L1).toInt(&ok);
            row = ok && r > 0 ? r - 1 : row + 1;
            col = -1;
        } else if (xml.name() == u"c") {
            const QString ref = xml.attributes().value("r"_L1).toString();
            if (ref.isEmpty()) {
                ++col;
            } else {
                const auto pos = cellPosition(ref);
                if (!pos)
                    return false;
                row = pos->first;
                col = pos->second;
            }
            if (row < 0)
                return false;
            const auto text = readCell(xml, shared);
            if (!text)
                return false;
            if (!text->isEmpty())
                cells[{row, col}] = *text;
        }
    }
    return !xml.hasError();
}

Status readXlsx(const QByteArray& bytes, Cells& cells) {
    const ZipArchive zip(bytes);
    if (!zip.isOpen())
        return Status::Error;

    const auto packageRels = readRelationships(zip, QString());
    if (!packageRels)
        return Status::Error;
    const QString workbookPath =
        targetOfType(*packageRels, u"/officeDocument").value_or(u"xl/workbook.xml"_s);
    const auto workbook = zip.entry(workbookPath);
    if (!workbook)
        return Status::Error;

    // The sheets in tab order and the tab that was active when it was saved.
    QStringList sheetIds;
    int activeTab = 0;
    QXmlStreamReader xml(*workbook);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"workbookView") {
            bool ok = false;
            const int tab = xml.attributes().value("activeTab"_L1).toInt(&ok);
            if (ok && tab >= 0)
                activeTab = tab;
        } else if (xml.name() == u"sheet") {
            QString id;
            for (const auto& a : xml.attributes())
                if (a.name() == u"id" && !a.namespaceUri().isEmpty())
                    id = a.value().toString();
            sheetIds.append(id);
        }
    }
    if (xml.hasError() || sheetIds.isEmpty())
        return Status::Error;
    if (activeTab >= sheetIds.size())
        activeTab = 0;

    const auto rels = readRelationships(zip, workbookPath);
    if (!rels || !rels->contains(sheetIds[activeTab]))
        return Status::Error;
    const auto sheet = zip.entry(rels->value(sheetIds[activeTab]).target);
    if (!sheet)
        return Status::Error;

    QStringList shared;
    if (const auto path = targetOfType(*rels, u"/sharedStrings")) {
        const auto strings = readSharedStrings(zip, *path);
        if (!strings)
            return Status::Error;
        shared = *strings;
    }
    return readSheet(*sheet, shared, cells) ? Status::Ok : Status::Error;
}

// ---------------------------------------------------------------- xls

quint16 le16(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 2 > b.size())
        return 0;
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

quint32 le32(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 4 > b.size())
        return 0;
    return quint32(le16(b, at)) | quint32(le16(b, at + 2)) << 16;
}

// The compound file that holds the legacy workbook, read just far enough to
// get its "Workbook" stream: libfreexl reads the cells but does not tell
// which sheet was active.
class CompoundFile {
public:
    explicit CompoundFile(const QByteArray& bytes) : m_b(bytes) {}

    std::optional<QByteArray> stream(QStringView wanted) const {
        if (m_b.size() < 512)
            return std::nullopt;
        const int shift = le16(m_b, 0x1E);
        const int miniShift = le16(m_b, 0x20);
        if (shift < 7 || shift > 16 || miniShift < 1 || miniShift >= shift)
            return std::nullopt;
        const qsizetype sector = qsizetype(1) << shift;
        const qsizetype perSector = sector / 4;

        // The sector allocation table, found through the header's list and
        // the chained extension sectors.
        std::vector<quint32> fatSectors;
        for (int i = 0; i < 109; ++i)
            fatSectors.push_back(le32(m_b, 0x4C + 4 * i));
        quint32 difat = le32(m_b, 0x44);
        for (quint32 guard = 0; difat < 0xFFFFFFFA && guard < 100000; ++guard) {
            const qsizetype at = (qsizetype(difat) + 1) * sector;
            if (at + sector > m_b.size())
                return std::nullopt;
            for (qsizetype i = 0; i < perSector - 1; ++i)
                fatSectors.push_back(le32(m_b, at + 4 * i));
            difat = le32(m_b, at + 4 * (perSector - 1));
        }
        std::vector<quint32> fat;
        for (quint32 s : fatSectors) {
            if (s >= 0xFFFFFFFA)
                continue;
            const qsizetype at = (qsizetype(s) + 1) * sector;
            if (at + sector > m_b.size())
                return std::nullopt;
            for (qsizetype i = 0; i < perSector; ++i)
                fat.push_back(le32(m_b, at + 4 * i));
        }
        auto chain = [&](quint32 start, const std::vector<quint32>& table,
                         auto&& readUnit) -> std::optional<QByteArray> {
            QByteArray out;
            for (quint32 s = start, n = 0; s < 0xFFFFFFFA; s = table[s], ++n) {
                if (s >= table.size() || n > table.size())
                    return std::nullopt;
                const auto part = readUnit(s);
                if (!part)
                    return std::nullopt;
                out += *part;
            }
            return out;
        };
        auto bigSector = [&](quint32 s) -> std::optional<QByteArray> {
            const qsizetype at = (qsizetype(s) + 1) * sector;
            if (at + sector > m_b.size())
                return std::nullopt;
            return m_b.mid(at, sector);
        };

        const auto dir = chain(le32(m_b, 0x30), fat, bigSector);
        if (!dir)
            return std::nullopt;
        const quint32 cutoff = le32(m_b, 0x38);
        std::optional<QByteArray> ministream;
        for (qsizetype at = 0; at + 128 <= dir->size(); at += 128) {
            const int nameBytes = le16(*dir, at + 0x40);
            const int type = quint8((*dir)[at + 0x42]);
            if (nameBytes < 2 || nameBytes > 64)
                continue;
            QString name(nameBytes / 2 - 1, Qt::Uninitialized);
            for (int i = 0; i < name.size(); ++i)
                name[i] = QChar(char16_t(le16(*dir, at + 2 * i)));
            const quint32 start = le32(*dir, at + 0x74);
            const quint32 size = le32(*dir, at + 0x78);
            if (type == 5) { // the root holds the small streams
                ministream = chain(start, fat, bigSector);
                if (ministream)
                    ministream->truncate(size);
                continue;
            }
            if (type != 2 || name.compare(wanted, Qt::CaseInsensitive) != 0)
                continue;
            std::optional<QByteArray> data;
            if (size >= cutoff) {
                data = chain(start, fat, bigSector);
            } else {
                if (!ministream)
                    return std::nullopt;
                const auto miniFat = chain(le32(m_b, 0x3C), fat, bigSector);
                if (!miniFat)
                    return std::nullopt;
                std::vector<quint32> table;
                for (qsizetype i = 0; i + 4 <= miniFat->size(); i += 4)
                    table.push_back(le32(*miniFat, i));
                const qsizetype mini = qsizetype(1) << miniShift;
                const QByteArray& ms = *ministream;
                data = chain(start, table, [&](quint32 s) -> std::optional<QByteArray> {
                    const qsizetype from = qsizetype(s) * mini;
                    if (from + mini > ms.size())
                        return std::nullopt;
                    return ms.mid(from, mini);
                });
            }
            if (!data || data->size() < qsizetype(size))
                return std::nullopt;
            data->truncate(size);
            return data;
        }
        return std::nullopt;
    }

private:
    const QByteArray& m_b;
};

// The active tab as an index among the worksheets, from the workbook's
// window record; 0 when it cannot be told.
int xlsActiveWorksheet(const QByteArray& bytes) {
    const CompoundFile cf(bytes);
    auto stream = cf.stream(u"Workbook");
    if (!stream)
        stream = cf.stream(u"Book");
    if (!stream)
        return 0;
    const QByteArray& s = *stream;
    std::vector<int> sheetTypes; // of every sheet, in tab order
    int activeTab = 0;
    for (qsizetype at = 0; at + 4 <= s.size();) {
        const quint16 id = le16(s, at);
        const quint16 len = le16(s, at + 2);
        const qsizetype data = at + 4;
        if (id == 0x003D && len >= 12) // WINDOW1
            activeTab = le16(s, data + 10);
        else if (id == 0x0085 && len >= 6) // BOUNDSHEET
            sheetTypes.push_back(quint8(s[data + 5]));
        else if (id == 0x000A) // end of the workbook globals
            break;
        at = data + len;
    }
    if (activeTab < 0 || activeTab >= int(sheetTypes.size()) || sheetTypes[activeTab] != 0)
        return 0;
    int index = 0;
    for (int i = 0; i < activeTab; ++i)
        if (sheetTypes[i] == 0)
            ++index;
    return index;
}

// libfreexl gives date-formatted numbers as date texts; a number is read as
// its number whatever its display format.
std::optional<double> serialOf(const char* text, int type, unsigned dateMode) {
    const QString t = QString::fromUtf8(text);
    const QDate base =
        dateMode == FREEXL_BIFF_DATEMODE_1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    double days = 0;
    QString timePart;
    if (type == FREEXL_CELL_TIME) {
        timePart = t;
    } else {
        const QDate date = QDate::fromString(t.left(10), u"yyyy-MM-dd"_s);
        if (!date.isValid())
            return std::nullopt;
        days = double(base.daysTo(date));
        if (type == FREEXL_CELL_DATETIME)
            timePart = t.mid(11);
    }
    if (!timePart.isEmpty()) {
        const QTime time = QTime::fromString(timePart, u"HH:mm:ss"_s);
        if (!time.isValid())
            return std::nullopt;
        days += time.msecsSinceStartOfDay() / 86400000.0;
    }
    return days;
}

Status readXls(const QString& path, const QByteArray& bytes, Cells& cells) {
    const void* handle = nullptr;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &handle);
    const auto closer =
        std::unique_ptr<const void, void (*)(const void*)>(handle, [](const void* h) {
            if (h)
                freexl_close(h);
        });
    if (opened != FREEXL_OK)
        return Status::Error;
    unsigned sheetCount = 0;
    unsigned dateMode = FREEXL_BIFF_DATEMODE_1900;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK ||
        sheetCount == 0)
        return Status::Error;
    freexl_get_info(handle, FREEXL_BIFF_DATEMODE, &dateMode);
    int active = xlsActiveWorksheet(bytes);
    if (active >= int(sheetCount))
        active = 0;
    if (freexl_select_active_worksheet(handle, quint16(active)) != FREEXL_OK)
        return Status::Error;
    unsigned rows = 0;
    unsigned short cols = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &cols) != FREEXL_OK)
        return Status::Error;
    for (unsigned r = 0; r < rows; ++r)
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK)
                return Status::Error;
            QString text;
            switch (v.type) {
            case FREEXL_CELL_INT:
                text = QString::number(v.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                text = numberText(v.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                text = QString::fromUtf8(v.value.text_value);
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                if (const auto serial = serialOf(v.value.text_value, v.type, dateMode))
                    text = numberText(*serial);
                else
                    text = QString::fromUtf8(v.value.text_value);
                break;
            default:
                break;
            }
            if (!text.isEmpty())
                cells[{int(r), int(c)}] = text;
        }
    return Status::Ok;
}

} // namespace

QString WorkbookReadResult::cell(int row, int col) const {
    const auto it = cells.find({row, col});
    return it == cells.end() ? QString() : it->second;
}

QString WorkbookReadResult::cell(QStringView address) const {
    const auto pos = cellPosition(address);
    return pos ? cell(pos->first, pos->second) : QString();
}

int WorkbookReadResult::rowCount() const {
    int n = 0;
    for (const auto& [pos, text] : cells)
        n = std::max(n, pos.first + 1);
    return n;
}

WorkbookReadResult ReadWorkbook(const QString& path) {
    WorkbookReadResult result;
    QFile file(path);
    if (path.isEmpty() || QFileInfo(path).isDir())
        return result;
    if (!file.open(QIODevice::ReadOnly)) {
        // There but not to be opened: locked or without the right to read.
        if (QFileInfo::exists(path))
            result.status = Status::AccessDenied;
        return result;
    }
    if (file.size() > MaxFileBytes)
        return result;
    const QByteArray bytes = file.readAll();
    file.close();

    Cells cells;
    Status status = Status::Error;
    if (bytes.startsWith("PK\x03\x04"))
        status = readXlsx(bytes, cells);
    else if (bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        status = readXls(path, bytes, cells);
    result.status = status;
    if (status == Status::Ok)
        result.cells = std::move(cells);
    return result;
}
