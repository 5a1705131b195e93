#include "WorkbookSheet.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/NumberText.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int MaxRows = 1048576;
constexpr int MaxCols = 16384;
constexpr double MaxWidth = 255;

// Reads column letters at pos; -1 when there are none or too many.
int readColumn(QStringView text, qsizetype& pos) {
    int col = 0;
    const qsizetype start = pos;
    while (pos < text.size()) {
        const char16_t c = text[pos].toUpper().unicode();
        if (c < u'A' || c > u'Z')
            break;
        col = col * 26 + (c - u'A' + 1);
        if (col > MaxCols)
            return -1;
        ++pos;
    }
    return pos == start ? -1 : col - 1;
}

int readRow(QStringView text, qsizetype& pos) {
    long long row = 0;
    const qsizetype start = pos;
    while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
        row = row * 10 + (text[pos].unicode() - u'0');
        if (row > MaxRows)
            return -1;
        ++pos;
    }
    if (pos == start || row == 0)
        return -1;
    return int(row - 1);
}

std::optional<std::pair<int, int>> parseCell(QStringView text) {
    qsizetype pos = 0;
    const int col = readColumn(text, pos);
    if (col < 0)
        return std::nullopt;
    const int row = readRow(text, pos);
    if (row < 0 || pos != text.size())
        return std::nullopt;
    return std::pair{row, col};
}

std::optional<int> parseColumn(QStringView text) {
    qsizetype pos = 0;
    const int col = readColumn(text, pos);
    if (col < 0 || pos != text.size())
        return std::nullopt;
    return col;
}

// The longest line of a text, in characters.
qsizetype longestLine(const QString& text) {
    qsizetype best = 0;
    for (const auto line : QStringView(text).split(u'\n'))
        best = std::max(best, line.size());
    return best;
}

} // namespace

std::optional<CellRange> ParseCellRange(QStringView address) {
    const QStringView a = address.trimmed();
    const qsizetype colon = a.indexOf(u':');
    const auto first = parseCell(colon < 0 ? a : a.left(colon));
    if (!first)
        return std::nullopt;
    auto last = first;
    if (colon >= 0) {
        last = parseCell(a.mid(colon + 1));
        if (!last)
            return std::nullopt;
    }
    return CellRange{std::min(first->first, last->first), std::min(first->second, last->second),
                     std::max(first->first, last->first), std::max(first->second, last->second)};
}

std::optional<std::pair<int, int>> ParseColumnRange(QStringView letters) {
    const QStringView a = letters.trimmed();
    const qsizetype colon = a.indexOf(u':');
    const auto first = parseColumn(colon < 0 ? a : a.left(colon));
    if (!first)
        return std::nullopt;
    auto last = first;
    if (colon >= 0) {
        last = parseColumn(a.mid(colon + 1));
        if (!last)
            return std::nullopt;
    }
    return std::pair{std::min(*first, *last), std::max(*first, *last)};
}

QString ColumnLetters(int col) {
    QString letters;
    for (int n = col + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

QString CellAddress(int row, int col) {
    return ColumnLetters(col) + QString::number(row + 1);
}

CellRange WorkbookSheet::range(SheetAddress address) {
    const auto r = ParseCellRange(address.view());
    if (!r)
        throw std::invalid_argument("bad cell address: " + address.view().toString().toStdString());
    return *r;
}

std::optional<double> WorkbookSheet::numberOf(const QString& text) {
    if (!IsNumberText(text))
        return std::nullopt;
    qsizetype i = 0;
    if (i < text.size() && text[i] == u'-')
        ++i;
    const qsizetype intStart = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
        ++i;
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && text[intStart] == u'0'))
        return std::nullopt;
    qsizetype fracDigits = 0;
    if (i < text.size() && text[i] == u',') {
        ++i;
        const qsizetype fracStart = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
            ++i;
        fracDigits = i - fracStart;
        if (fracDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    // Significant digits: an integer part "0" does not count.
    const qsizetype significant = (text[intStart] == u'0' ? 0 : intDigits) + fracDigits;
    if (significant > 15)
        return std::nullopt;
    const double v = ReadNumber(text);
    return v == 0 ? 0.0 : v; // no negative zero
}

double WorkbookSheet::fittedWidth(const QString& shownText, bool bold) {
    const double chars = double(longestLine(shownText)) * (bold ? 1.1 : 1.0);
    return std::min(MaxWidth, std::ceil((chars + 1.7) * 100) / 100);
}

void WorkbookSheet::set(SheetAddress cell, const QString& text) {
    const CellRange r = range(cell);
    set(r.firstRow, r.firstCol, text);
}

void WorkbookSheet::set(int row, int col, const QString& text) {
    WorkbookCell c;
    c.text = text;
    if (const auto n = numberOf(text)) {
        c.isNumber = true;
        c.number = *n;
    }
    m_cells[{row, col}] = c;
}

void WorkbookSheet::setNumber(SheetAddress cell, double value) {
    const CellRange r = range(cell);
    setNumber(r.firstRow, r.firstCol, value);
}

void WorkbookSheet::setNumber(int row, int col, double value) {
    WorkbookCell c;
    c.number = std::isfinite(value) ? value : 0;
    c.text = PlainNumber(c.number);
    c.isNumber = true;
    m_cells[{row, col}] = c;
}

void WorkbookSheet::setBlock(int row, int col, const QList<QStringList>& rows) {
    for (qsizetype i = 0; i < rows.size(); ++i)
        for (qsizetype j = 0; j < rows[i].size(); ++j)
            set(row + int(i), col + int(j), rows[i][j]);
}

void WorkbookSheet::setBlock(SheetAddress topLeft, const QList<QStringList>& rows) {
    const CellRange r = range(topLeft);
    setBlock(r.firstRow, r.firstCol, rows);
}

void WorkbookSheet::merge(SheetAddress address) {
    m_merges.push_back(range(address));
}

void WorkbookSheet::addOp(SheetAddress address, Op op, int value, const QString& text) {
    m_ops.push_back(FormatOp{range(address), op, value, text});
}

void WorkbookSheet::bold(SheetAddress r) {
    addOp(r, Op::Bold);
}
void WorkbookSheet::fontColor(SheetAddress r, int paletteIndex) {
    addOp(r, Op::FontColor, paletteIndex);
}
void WorkbookSheet::hAlign(SheetAddress r, int alignment) {
    addOp(r, Op::HAlign, alignment);
}
void WorkbookSheet::vAlignTop(SheetAddress r) {
    addOp(r, Op::VTop);
}
void WorkbookSheet::wrap(SheetAddress r) {
    addOp(r, Op::Wrap);
}
void WorkbookSheet::borders(SheetAddress r) {
    addOp(r, Op::Borders);
}
void WorkbookSheet::numberFormat(SheetAddress r, const QString& format) {
    addOp(r, Op::NumberFormat, 0, format);
}

void WorkbookSheet::columnWidth(SheetAddress columns, double characters) {
    const auto cols = ParseColumnRange(columns.view());
    if (!cols)
        throw std::invalid_argument("bad columns: " + columns.view().toString().toStdString());
    for (int c = cols->first; c <= cols->second; ++c)
        m_columns[c] = ColumnSetting{false, std::clamp(characters, 0.0, MaxWidth)};
}

void WorkbookSheet::autoFit(SheetAddress columns) {
    const auto cols = ParseColumnRange(columns.view());
    if (!cols)
        throw std::invalid_argument("bad columns: " + columns.view().toString().toStdString());
    for (int c = cols->first; c <= cols->second; ++c)
        m_columns[c] = ColumnSetting{true, 0};
}

void WorkbookSheet::apply(CellFormat& f, const FormatOp& op) {
    switch (op.op) {
    case Op::Bold:
        f.bold = true;
        break;
    case Op::FontColor:
        f.fontColor = op.value;
        break;
    case Op::HAlign:
        f.hAlign = op.value;
        break;
    case Op::VTop:
        f.vTop = true;
        break;
    case Op::Wrap:
        f.wrap = true;
        break;
    case Op::Borders:
        f.borders = true;
        break;
    case Op::NumberFormat:
        f.numberFormat = op.text == GeneralFormat ? QString() : op.text;
        break;
    }
}

const WorkbookCell* WorkbookSheet::cell(int row, int col) const {
    const auto it = m_cells.find({row, col});
    return it == m_cells.end() ? nullptr : &it->second;
}

QString WorkbookSheet::text(SheetAddress address) const {
    const CellRange r = range(address);
    const WorkbookCell* c = cell(r.firstRow, r.firstCol);
    return c ? c->text : QString();
}

bool WorkbookSheet::isNumber(SheetAddress address) const {
    const CellRange r = range(address);
    const WorkbookCell* c = cell(r.firstRow, r.firstCol);
    return c && c->isNumber;
}

CellFormat WorkbookSheet::format(int row, int col) const {
    CellFormat f;
    for (const FormatOp& op : m_ops)
        if (op.range.contains(row, col))
            apply(f, op);
    return f;
}

CellFormat WorkbookSheet::format(SheetAddress address) const {
    const CellRange r = range(address);
    return format(r.firstRow, r.firstCol);
}

std::map<std::pair<int, int>, CellFormat> WorkbookSheet::resolvedFormats() const {
    std::map<std::pair<int, int>, CellFormat> out;
    for (const FormatOp& op : m_ops)
        for (int r = op.range.firstRow; r <= op.range.lastRow; ++r)
            for (int c = op.range.firstCol; c <= op.range.lastCol; ++c)
                apply(out[{r, c}], op);
    return out;
}

QString WorkbookSheet::shownText(const WorkbookCell& c, const CellFormat& f) const {
    if (!c.isNumber)
        return c.text;
    if (f.numberFormat == MoneyFormat) {
        // Two decimals, a group separator every three digits and " ₽".
        QString t = FormatMoney(c.number);
        const qsizetype comma = t.indexOf(u',');
        const qsizetype digits = comma - (t.startsWith(u'-') ? 1 : 0);
        return t + QString((digits - 1) / 3, u' ') + u" ₽"_s;
    }
    return PlainNumber(c.number);
}

std::map<int, double> WorkbookSheet::columnWidths() const {
    std::map<int, double> widths;
    for (const auto& [col, setting] : m_columns)
        if (!setting.fit)
            widths[col] = setting.width;
    // A merged cell spreads over several columns, so it does not size one.
    auto merged = [this](int r, int c) {
        return std::any_of(m_merges.begin(), m_merges.end(), [&](const CellRange& m) {
            return m.contains(r, c) && m.firstCol != m.lastCol;
        });
    };
    for (const auto& [pos, c] : m_cells) {
        const auto it = m_columns.find(pos.second);
        if (it == m_columns.end() || !it->second.fit || merged(pos.first, pos.second))
            continue;
        const CellFormat f = format(pos.first, pos.second);
        const QString shown = shownText(c, f);
        if (shown.isEmpty())
            continue;
        double& w = widths[pos.second];
        w = std::max(w, fittedWidth(shown, f.bold));
    }
    return widths;
}
