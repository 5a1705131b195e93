#include "DebtorsExport.h"

#include "core/NumberText.h"
#include "core/Platform.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"

using namespace Qt::StringLiterals;

namespace {

void SetMoney(WorkbookSheet& sheet, int row, int col, const QString& stored) {
    if (stored.isEmpty())
        return;
    if (IsNumberText(stored))
        sheet.setNumber(row, col, ReadNumber(stored));
    else
        sheet.set(row, col, stored);
}

} // namespace

WorkbookSheet DebtorsSheet(const DebtorsList& list) {
    WorkbookSheet s;
    s.setName(u"Сверка"_s);
    s.set(u"A1", list.title);
    s.merge(u"A1:D1");
    s.bold(u"A1:D2");
    s.hAlign(u"A2:D2", WorkbookSheet::Centre);
    s.setBlock(u"A2", {DebtorsList::headers()});

    int row = 2; // 0-based: the first entry's row
    for (const DebtorEntry& e : list.entries) {
        s.set(row, 0, e.label);
        s.set(row, 1, e.plot);
        SetMoney(s, row, 2, e.debt);
        SetMoney(s, row, 3, e.credit);
        ++row;
    }
    s.set(row, 0, u"Итого"_s);
    s.setNumber(row, 2, list.totalDebt);
    s.setNumber(row, 3, list.totalCredit);
    const QString last = QString::number(row + 1);
    s.bold(QString(u"A"_s + last + u":D"_s + last));
    s.borders(QString(u"A2:D"_s + last));
    const QString money = QString(u"C3:D"_s + last);
    s.numberFormat(money, WorkbookSheet::MoneyFormat);
    s.hAlign(money, WorkbookSheet::Right);
    s.autoFit(u"A:B");
    // Wide enough for "1 234 567,89 ₽": a narrower column would show "###".
    s.columnWidth(u"C:D", 16);
    return s;
}

bool ExportDebtors(const DebtorsList& list, const QString& folder, Platform& platform) {
    const QString chosen = platform.saveFileName(
        QString(), WorkbookProposedPath(folder, DebtorsExportName(list.month, list.yearText)),
        WorkbookFilter());
    const QString path = WorkbookSavePath(chosen);
    if (path.isEmpty())
        return false;
    if (WriteWorkbook(DebtorsSheet(list), path))
        return true;
    platform.message(u"Не удалось записать файл\n"_s + path, u"Сверка расчётов"_s,
                     MsgIcon::Critical, MsgButtons::Ok);
    return false;
}
