#include "ReadingsImport.h"

#include <cmath>

#include <QHash>

#include "core/NumberText.h"
#include "core/SubscriberTable.h"
#include "workbook/WorkbookReader.h"

double ImportCharge(const SubscriberTable& table, int row, int yearIndex, int month) {
    const auto num = [&](int slot) {
        return ReadNumber(table.cellView(row, MonthColumn(yearIndex, month, slot)));
    };
    const double d1 = std::max(0.0, num(T1Current) - num(T1Previous));
    const double d2 = std::max(0.0, num(T2Current) - num(T2Previous));
    const double a = d1 * num(Tariff1) + d2 * num(Tariff2);
    return ReadNumber(RoundedText(a + a * num(CompCoef1) * 0.01, 2, HalfRounding::ToEven, false));
}

void ApplyReadingsImport(SubscriberTable& table, const WorkbookReadResult& sheet,
                         const ReadingsImportOptions& options) {
    const int count = table.subscriberCount();
    const int y = options.yearIndex;
    const int m = options.month;
    const auto write = [&](int row, int col, const QString& text) {
        if (!options.keepFilled || table.cellView(row, col).isEmpty())
            table.setCell(row, col, text);
    };
    // The first sheet row of each plot number; rows past the data read empty.
    QHash<QString, int> firstRow;
    for (int j = 0; j < count; ++j)
        if (const QString a = sheet.cell(j, 0); !firstRow.contains(a))
            firstRow.insert(a, j);
    for (int i = 1; i <= count; ++i) {
        const auto found = firstRow.constFind(table.cell(i, ColAddress));
        if (found == firstRow.cend())
            continue;
        write(i, MonthColumn(y, m, T1Current), sheet.cell(*found, 1));
        write(i, MonthColumn(y, m, T2Current), sheet.cell(*found, 2));
    }
    if (options.carry && m <= 11) {
        for (int i = 1; i <= count; ++i) {
            write(i, MonthColumn(y, m + 1, T1Previous),
                  table.cell(i, MonthColumn(y, m, T1Current)));
            write(i, MonthColumn(y, m + 1, T2Previous),
                  table.cell(i, MonthColumn(y, m, T2Current)));
        }
    }
    for (int i = 1; i <= count; ++i)
        table.setCell(i, MonthColumn(y, m, ChargeWithComp),
                      PlainNumber(ImportCharge(table, i, y, m)));
}
