#pragma once

#include <map>
#include <utility>

#include <QString>
#include <QStringView>

// The cells of a workbook's active worksheet, as texts. Rows and columns are
// 0-based ("A1" is row 0, column 0).
struct WorkbookReadResult {
    enum class Status {
        Ok,
        AccessDenied, // the file exists but may not be read
        Error,        // missing, not a workbook, damaged
    };
    Status status = Status::Error;

    bool ok() const { return status == Status::Ok; }
    // The cell's text; empty for an empty cell or one outside the sheet.
    QString cell(int row, int col) const;
    QString cell(QStringView address) const; // "B2"; empty when malformed
    // One past the last row that holds a non-empty cell.
    int rowCount() const;

    std::map<std::pair<int, int>, QString> cells; // non-empty cells only
};

// Reads the active worksheet of an .xlsx or a legacy .xls workbook, told apart
// by the file's contents rather than its name. Every value becomes text: a
// number its shortest decimal form with a comma ("1500", "12,5") whatever its
// display format, a formula its stored result, a boolean "ИСТИНА" or "ЛОЖЬ".
WorkbookReadResult ReadWorkbook(const QString& path);
