#pragma once

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringBuilder>
#include <QStringView>

// A rectangle of cells; rows and columns are 0-based ("A1" is row 0, column 0)
// and both ends are inclusive.
struct CellRange {
    int firstRow = 0;
    int firstCol = 0;
    int lastRow = 0;
    int lastCol = 0;
    bool contains(int row, int col) const {
        return row >= firstRow && row <= lastRow && col >= firstCol && col <= lastCol;
    }
    bool operator==(const CellRange&) const = default;
};

// "A1" or "A1:F4" (either corner order); nullopt when malformed.
std::optional<CellRange> ParseCellRange(QStringView address);
// "K" or "K:L" -> the first and last column index; nullopt when malformed.
std::optional<std::pair<int, int>> ParseColumnRange(QStringView letters);
QString ColumnLetters(int col);        // 0 -> "A", 26 -> "AA"
QString CellAddress(int row, int col); // (0, 0) -> "A1"

// An A1-style address as the sheet's calls take it: a literal (u"A1"), a
// QString, a view, or a built text (u"A1:F"_s + QString::number(n)).
class SheetAddress {
public:
    template <qsizetype N>
    SheetAddress(const char16_t (&text)[N]) : m_text(QStringView(text, N - 1).toString()) {}
    SheetAddress(QStringView text) : m_text(text.toString()) {}
    SheetAddress(const QString& text) : m_text(text) {}
    template <typename A, typename B>
    SheetAddress(const QStringBuilder<A, B>& text) : m_text(text) {}
    QStringView view() const { return m_text; }

private:
    QString m_text;
};

struct WorkbookCell {
    QString text; // as given; for numbers, the number's plain text
    bool isNumber = false;
    double number = 0;
};

// The look of one cell, after every format call that covers it.
struct CellFormat {
    bool bold = false;
    int fontColor = 0; // palette index; 0 = automatic
    int hAlign = 0;    // 0 general, 2 left, 3 centre, 4 right
    bool vTop = false;
    bool wrap = false;
    bool borders = false; // thin line on all four edges
    QString numberFormat; // empty = "General"
    bool operator==(const CellFormat&) const = default;
};

// A plain description of one worksheet: values, merges, formats and column
// widths. Layout functions build it from data, so a layout can be checked
// without writing a file; WriteWorkbook() turns it into a workbook.
//
// Addresses are A1-style texts; a malformed address is a programming error
// and throws std::invalid_argument.
class WorkbookSheet final {
public:
    static constexpr int Red = 3, Blue = 5;               // palette indexes
    static constexpr int Left = 2, Centre = 3, Right = 4; // horizontal alignment
    // Rubles: spreadsheets show 1501.83 as "1 501,83 ₽" in a Russian locale.
    static inline const QString MoneyFormat = QStringLiteral("#,##0.00 \"₽\"");
    static inline const QString GeneralFormat = QStringLiteral("General");

    // A text that reads as a number becomes a number (see numberOf()).
    void set(SheetAddress cell, const QString& text);
    void set(int row, int col, const QString& text);
    void setNumber(SheetAddress cell, double value);
    void setNumber(int row, int col, double value);
    // rows[i][j] goes to (row + i, col + j); each text as set() would take it.
    void setBlock(int row, int col, const QList<QStringList>& rows);
    void setBlock(SheetAddress topLeft, const QList<QStringList>& rows);

    void merge(SheetAddress range);
    void bold(SheetAddress range);
    void fontColor(SheetAddress range, int paletteIndex);
    void hAlign(SheetAddress range, int alignment);
    void vAlignTop(SheetAddress range);
    void wrap(SheetAddress range);
    void borders(SheetAddress range);
    void numberFormat(SheetAddress range, const QString& format);
    // columns: "K" or "K:L"; width in characters.
    void columnWidth(SheetAddress columns, double characters);
    // Width fitted to the texts of the columns' cells (merged cells left out).
    void autoFit(SheetAddress columns);

    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }

    // Reading the description back.
    const WorkbookCell* cell(int row, int col) const; // nullptr when never set
    QString text(SheetAddress cell) const;
    bool isNumber(SheetAddress cell) const;
    CellFormat format(int row, int col) const;
    CellFormat format(SheetAddress cell) const;
    const std::vector<CellRange>& merges() const { return m_merges; }
    const std::map<std::pair<int, int>, WorkbookCell>& cells() const { return m_cells; }
    // Every cell some format call covers, with its resulting format.
    std::map<std::pair<int, int>, CellFormat> resolvedFormats() const;
    // Column index -> width in characters: the fixed widths and the fitted ones.
    // A fitted column without any text keeps the default width (absent here).
    std::map<int, double> columnWidths() const;

    // The number a text becomes when written, or nullopt when it stays text.
    // Only the plain form with a decimal comma is taken ("1500", "-12,5",
    // "402,50"): a leading zero ("0123"), an exponent, a point, spaces or more
    // than 15 digits keep the text as it is, so that telephone numbers, plot
    // numbers like "01" and long codes are not changed by the spreadsheet.
    static std::optional<double> numberOf(const QString& text);
    // The width in characters that shows the text.
    static double fittedWidth(const QString& shownText, bool bold);

private:
    enum class Op { Bold, FontColor, HAlign, VTop, Wrap, Borders, NumberFormat };
    struct FormatOp {
        CellRange range;
        Op op;
        int value = 0;
        QString text;
    };
    struct ColumnSetting {
        bool fit = false;
        double width = 0;
    };
    static CellRange range(SheetAddress address);
    static void apply(CellFormat& format, const FormatOp& op);
    void addOp(SheetAddress range, Op op, int value = 0, const QString& text = {});
    QString shownText(const WorkbookCell& cell, const CellFormat& format) const;

    QString m_name = QStringLiteral("Лист1");
    std::map<std::pair<int, int>, WorkbookCell> m_cells;
    std::vector<CellRange> m_merges;
    std::vector<FormatOp> m_ops;
    std::map<int, ColumnSetting> m_columns;
};
