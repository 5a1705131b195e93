#include "WorkbookReader.h"

#include <cmath>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QStringList>
#include <QXmlStreamReader>

#include "OnDemandLibraries.h"

#include "CompoundFile.h"
#include "core/NumberText.h"
#include "WorkbookSheet.h"
#include "XlsReader.h"

using namespace Qt::StringLiterals;

namespace {

using Status = WorkbookReadResult::Status;
using Cells = std::map<std::pair<int, int>, QString>;

// Larger files are not workbooks this program wrote or reads.
constexpr qint64 MaxFileBytes = 256LL * 1024 * 1024;
constexpr zip_uint64_t MaxEntryBytes = 512ULL * 1024 * 1024;

// ---------------------------------------------------------------- xlsx

class ZipArchive {
public:
    explicit ZipArchive(const QByteArray& bytes) {
        if (!m_lib)
            return;
        zip_error_t error;
        m_lib->zip_error_init(&error);
        zip_source_t* source = m_lib->zip_source_buffer_create(
            bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
        if (source) {
            m_zip = m_lib->zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!m_zip)
                m_lib->zip_source_free(source);
        }
        m_lib->zip_error_fini(&error);
    }
    ~ZipArchive() {
        if (m_zip)
            m_lib->zip_discard(m_zip);
    }
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool isOpen() const { return m_zip != nullptr; }

    // Part names are case-insensitive in the package format.
    std::optional<QByteArray> entry(const QString& name) const {
        const zip_int64_t index =
            m_lib->zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
        if (index < 0)
            return std::nullopt;
        zip_stat_t st;
        if (m_lib->zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) != 0 ||
            !(st.valid & ZIP_STAT_SIZE) || st.size > MaxEntryBytes)
            return std::nullopt;
        zip_file_t* file = m_lib->zip_fopen_index(m_zip, zip_uint64_t(index), 0);
        if (!file)
            return std::nullopt;
        QByteArray data(qsizetype(st.size), Qt::Uninitialized);
        const zip_int64_t n = m_lib->zip_fread(file, data.data(), st.size);
        m_lib->zip_fclose(file);
        if (n < 0 || zip_uint64_t(n) != st.size)
            return std::nullopt;
        return data;
    }

private:
    const ZipLibrary* m_lib = Zip();
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
    return PlainNumber(v);
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
    if (bytes.startsWith("PK\x03\x04")) {
        status = readXlsx(bytes, cells);
    } else if (CompoundFile::hasSignature(bytes)) {
        if (auto xls = ReadXlsCells(bytes)) {
            status = Status::Ok;
            cells = std::move(*xls);
        }
    }
    result.status = status;
    if (status == Status::Ok)
        result.cells = std::move(cells);
    return result;
}
