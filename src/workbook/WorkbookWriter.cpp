#include "WorkbookWriter.h"

#include <filesystem>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>

#include "OnDemandLibraries.h"
#include "WorkbookSheet.h"

using namespace Qt::StringLiterals;

namespace {

// The first colours of the spreadsheet's default palette, by index.
lxw_color_t paletteColor(int index) {
    switch (index) {
    case 1:
        return 0x000000;
    case 2:
        return 0xFFFFFF;
    case 3:
        return 0xFF0000;
    case 4:
        return 0x00FF00;
    case 5:
        return 0x0000FF;
    case 6:
        return 0xFFFF00;
    case 7:
        return 0xFF00FF;
    case 8:
        return 0x00FFFF;
    default:
        return LXW_COLOR_UNSET;
    }
}

uint8_t horizontal(int alignment) {
    switch (alignment) {
    case WorkbookSheet::Left:
        return LXW_ALIGN_LEFT;
    case WorkbookSheet::Centre:
        return LXW_ALIGN_CENTER;
    case WorkbookSheet::Right:
        return LXW_ALIGN_RIGHT;
    default:
        return LXW_ALIGN_NONE;
    }
}

// One lxw_format per distinct look; libxlsxwriter owns them.
class Formats {
public:
    Formats(const XlsxWriterLibrary& x, lxw_workbook* wb) : x(x), m_wb(wb) {}
    lxw_format* get(const CellFormat& f) {
        if (f == CellFormat{})
            return nullptr;
        const QString key = QString::number(f.bold) + u'|' + QString::number(f.fontColor) + u'|' +
                            QString::number(f.hAlign) + u'|' + QString::number(f.vTop) + u'|' +
                            QString::number(f.wrap) + u'|' + QString::number(f.borders) + u'|' +
                            f.numberFormat;
        if (lxw_format* known = m_formats.value(key))
            return known;
        lxw_format* fmt = x.workbook_add_format(m_wb);
        if (f.bold)
            x.format_set_bold(fmt);
        if (const lxw_color_t c = paletteColor(f.fontColor); c != LXW_COLOR_UNSET)
            x.format_set_font_color(fmt, c);
        if (const uint8_t h = horizontal(f.hAlign); h != LXW_ALIGN_NONE)
            x.format_set_align(fmt, h);
        if (f.vTop)
            x.format_set_align(fmt, LXW_ALIGN_VERTICAL_TOP);
        if (f.wrap)
            x.format_set_text_wrap(fmt);
        if (f.borders)
            x.format_set_border(fmt, LXW_BORDER_THIN);
        if (!f.numberFormat.isEmpty())
            x.format_set_num_format(fmt, f.numberFormat.toUtf8().constData());
        m_formats.insert(key, fmt);
        return fmt;
    }

private:
    const XlsxWriterLibrary& x;
    lxw_workbook* m_wb;
    QHash<QString, lxw_format*> m_formats;
};

bool writeTo(const WorkbookSheet& sheet, const QByteArray& fileName) {
    const XlsxWriterLibrary* library = XlsxWriter();
    if (!library)
        return false;
    const XlsxWriterLibrary& x = *library;
    lxw_workbook* wb = x.workbook_new(fileName.constData());
    if (!wb)
        return false;
    bool ok = true;
    auto check = [&ok](lxw_error e) {
        if (e != LXW_NO_ERROR)
            ok = false;
    };
    lxw_worksheet* ws = x.workbook_add_worksheet(wb, sheet.name().toUtf8().constData());
    if (!ws) {
        x.workbook_close(wb);
        return false;
    }
    Formats formats(x, wb);
    const auto looks = sheet.resolvedFormats();
    auto lookOf = [&looks](int r, int c) {
        const auto it = looks.find({r, c});
        return it == looks.end() ? CellFormat{} : it->second;
    };

    // Merging first: it fills the range with blanks, which the cells below
    // then overwrite with their own values and looks.
    for (const CellRange& m : sheet.merges())
        check(x.worksheet_merge_range(ws, lxw_row_t(m.firstRow), lxw_col_t(m.firstCol),
                                      lxw_row_t(m.lastRow), lxw_col_t(m.lastCol), "",
                                      formats.get(lookOf(m.firstRow, m.firstCol))));

    for (const auto& [pos, cell] : sheet.cells()) {
        const auto row = lxw_row_t(pos.first);
        const auto col = lxw_col_t(pos.second);
        lxw_format* fmt = formats.get(lookOf(pos.first, pos.second));
        if (cell.isNumber)
            check(x.worksheet_write_number(ws, row, col, cell.number, fmt));
        else if (cell.text.isEmpty())
            check(x.worksheet_write_blank(ws, row, col, fmt));
        else
            check(x.worksheet_write_string(ws, row, col, cell.text.toUtf8().constData(), fmt));
    }
    // Formatted cells without a value (a border on an empty cell).
    for (const auto& [pos, look] : looks)
        if (!sheet.cell(pos.first, pos.second))
            check(x.worksheet_write_blank(ws, lxw_row_t(pos.first), lxw_col_t(pos.second),
                                          formats.get(look)));

    for (const auto& [col, width] : sheet.columnWidths())
        check(x.worksheet_set_column(ws, lxw_col_t(col), lxw_col_t(col), width, nullptr));

    check(x.workbook_close(wb));
    return ok;
}

} // namespace

bool WriteWorkbook(const WorkbookSheet& sheet, const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo target(path);
    if (target.isDir())
        return false;
    QTemporaryFile temp(target.absoluteDir().filePath(u".~XXXXXX.xlsx"_s));
    if (!temp.open())
        return false;
    const QString tempName = temp.fileName();
    temp.close();
    if (!writeTo(sheet, QFile::encodeName(tempName)))
        return false; // the temporary file goes with `temp`
    // A replaced file keeps its rights; a new one gets the usual rights, not
    // the private ones of the temporary file.
    const QFileDevice::Permissions rights =
        target.exists()
            ? QFile::permissions(target.absoluteFilePath())
            : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(tempName, rights);
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(tempName).toStdString(),
                            QFile::encodeName(target.absoluteFilePath()).toStdString(), error);
    if (error)
        return false;
    temp.setAutoRemove(false);
    return true;
}

QString WorkbookFilter() {
    return u"Файлы (*.xlsx *.xls);;Все файлы(*.*)"_s;
}

QString WorkbookProposedPath(const QString& folder, const QString& baseName) {
    const QString name = baseName + u".xlsx"_s;
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

QString WorkbookSavePath(const QString& chosen) {
    if (chosen.isEmpty())
        return {};
    if (chosen.endsWith(u".xlsx"_s, Qt::CaseInsensitive) ||
        chosen.endsWith(u".xls"_s, Qt::CaseInsensitive))
        return chosen;
    return chosen + u".xlsx"_s;
}
