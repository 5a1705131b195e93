#include "TableExport.h"

#include <QStandardPaths>

#include "core/Platform.h"
#include "core/MonthNames.h"
#include "core/NumberText.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"

using namespace Qt::StringLiterals;

QString TableExportName(const QString& name, const QString& year) {
    return u"Учет эл. энергии  "_s + name + u' ' + year;
}

WorkbookSheet TableExportSheet(const ShownYear& shown) {
    WorkbookSheet sheet;
    sheet.set(u"F1", shown.name + u' ' + shown.year + u" г."_s);
    for (int m = 0; m < 12; ++m)
        sheet.set(3 + m, 0, MonthNames()[m]);

    // Formatting steps 1 to 4 with the heading texts.
    sheet.merge(u"F1:I1");
    sheet.bold(u"A1:L1");
    const std::pair<const char16_t*, const char16_t*> headings[] = {
        {u"A3", u"Месяц"},
        {u"B3", u"Дата"},
        {u"C2", u"Показ. сч-ка по Т1, кВт*Ч"},
        {u"C3", u"Текущее  "},
        {u"D3", u"Последнее"},
        {u"E3", u"Разница"},
        {u"F2", u"Показ. сч-ка по Т2, кВт*Ч"},
        {u"F3", u"Текущее  "},
        {u"G3", u"Последнее"},
        {u"H3", u"Разница"},
        {u"I2", u"Тарифы, р."},
        {u"I3", u"Тариф1"},
        {u"J3", u"Тариф2"},
        {u"K2", u"К-т компенсации разбаланса для"},
        {u"K3", u"Т1"},
        {u"L3", u"Т2"},
        {u"M2", u"Итого к оплате, р."},
        {u"M3", u"Без компенс. разбаланса"},
        {u"N3", u"С компенс. разбаланса."},
    };
    for (const auto& [cell, text] : headings)
        sheet.set(QStringView(cell), QString::fromUtf16(text));
    for (const char16_t* range : {u"C2:E2", u"F2:H2", u"I2:J2", u"K2:L2", u"M2:N2"})
        sheet.merge(QStringView(range));
    sheet.bold(u"A2:N3");
    sheet.hAlign(u"A2:N3", WorkbookSheet::Centre);
    sheet.hAlign(u"C3:N15", WorkbookSheet::Right);
    sheet.hAlign(u"K3:L3", WorkbookSheet::Centre);

    // Month rows: B is the date text, C to N numbers read from the boxes.
    for (int m = 0; m < 12; ++m) {
        const int row = 3 + m;
        const auto& e = shown.entries[size_t(m)];
        const auto& r = shown.results[size_t(m)];
        sheet.set(row, 1, e[0]);
        const QString numbers[12] = {e[1], e[2], r[0], e[3], e[4], r[1],
                                     e[5], e[6], e[7], e[8], r[2], r[4]};
        for (int k = 0; k < 12; ++k)
            sheet.setNumber(row, 2 + k, ReadNumber(numbers[k]));
    }

    // Formatting steps 5 to 7.
    sheet.borders(u"A2:N15");
    sheet.numberFormat(u"B4:M15", WorkbookSheet::GeneralFormat);
    sheet.numberFormat(u"I4:J15", WorkbookSheet::MoneyFormat);
    sheet.numberFormat(u"M4:N15", WorkbookSheet::MoneyFormat);
    sheet.autoFit(u"A:N");
    sheet.columnWidth(u"K:L", 16);
    return sheet;
}

void ExportTable(Platform& platform, const ShownYear& shown) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString chosen = platform.saveFileName(
        u"Экспорт таблицы в Excel"_s,
        WorkbookProposedPath(folder, TableExportName(shown.name, shown.year)), WorkbookFilter());
    // A cancelled dialog ends the export, as the other exports do.
    const QString path = WorkbookSavePath(chosen);
    if (path.isEmpty())
        return;
    WriteWorkbook(TableExportSheet(shown), path);
}
