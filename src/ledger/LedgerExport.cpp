#include "LedgerExport.h"

#include <algorithm>

#include "LedgerMath.h"
#include "core/NumberText.h"
#include "core/Platform.h"
#include "core/SubscriberTable.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"

using namespace Qt::StringLiterals;

namespace {

// A money text as if typed with its comma made a point: a number where it
// reads as one, the text otherwise.
void SetMoney(WorkbookSheet& sheet, int row, int col, const QString& stored) {
    if (stored.isEmpty())
        return;
    if (IsNumberText(stored)) {
        sheet.setNumber(row, col, ReadNumber(stored));
        return;
    }
    QString t = stored;
    const qsizetype comma = t.indexOf(u',');
    if (comma >= 0)
        t[comma] = u'.';
    sheet.set(row, col, t);
}

} // namespace

QString LedgerExportName(int month, const QString& yearText) {
    return u"Лицевой счет  "_s + MonthNames().value(month - 1) + u' ' + yearText;
}

WorkbookSheet LedgerSheet(const SubscriberTable& table, int yearIndex, int month) {
    WorkbookSheet s;
    const int n = table.subscriberCount();
    const int lastRow = n + 3; // 1-based, as the addresses below
    const QString yearText = YearText(yearIndex);

    s.bold(u"A1:L3");
    s.hAlign(u"A1:L3", WorkbookSheet::Centre);
    s.set(u"D1", MonthNames().value(month - 1) + u' ' + yearText);
    s.merge(u"D1:E1");
    s.set(u"C2", u"Остаток на нач. мес., р."_s);
    s.merge(u"C2:D2");
    s.set(u"E2", u"Начислены расходы в текущ. мес., р."_s);
    s.merge(u"E2:G2");
    s.set(u"H2", u"ИТОГО"_s);
    s.set(u"I2", u"Приход в текущ. мес., р."_s);
    s.merge(u"I2:J2");
    s.set(u"K2", u"Остаток на конец мес., р."_s);
    s.merge(u"K2:L2");
    s.setBlock(u"A3",
               {{u"№"_s, u"Фамилия И. О."_s, u" Недоплата "_s, u" Переплата "_s,
                 u"За электро энерг."_s, u"Зарплата эл-ку"_s, u"  Прочее "_s, u"к оплате"_s,
                 u"   Внесено   "_s, u"   Прочее   "_s, u"   Недоплата  "_s, u"   Переплата  "_s}});
    s.fontColor(u"C3", WorkbookSheet::Blue);
    s.fontColor(u"K3", WorkbookSheet::Blue);
    s.fontColor(u"D3", WorkbookSheet::Red);
    s.fontColor(u"L3", WorkbookSheet::Red);
    s.fontColor(u"E2:G3", WorkbookSheet::Blue);
    s.fontColor(u"I2:J3", WorkbookSheet::Red);

    static constexpr int moneySlots[] = {
        SlotOpenDebt, SlotOpenCredit, ChargeWithComp,  SlotElectrician, SlotOtherCharge,
        SlotTotalDue, SlotPaidIn,     SlotOtherIncome, SlotCloseDebt,   SlotCloseCredit};
    for (int r = 1; r <= n; ++r) {
        const int row = r + 2; // 0-based sheet row of subscriber r
        s.set(row, 0, table.cell(r, ColRowNumber));
        s.set(row, 1, table.cell(r, ColName));
        for (int k = 0; k < int(std::size(moneySlots)); ++k)
            SetMoney(s, row, k + 2, table.cell(r, MonthColumn(yearIndex, month, moneySlots[k])));
    }

    s.borders(QString(u"A2:L"_s + QString::number(lastRow)));
    // The format reaches every data row, also of a full table.
    const QString money = QString(u"C4:L"_s + QString::number(std::max(500, lastRow)));
    s.numberFormat(money, WorkbookSheet::MoneyFormat);
    s.hAlign(money, WorkbookSheet::Right);
    s.autoFit(u"A:L");
    return s;
}

bool ExportLedger(const SubscriberTable& table, const QString& yearText, int month,
                  const QString& folder, Platform& platform) {
    const auto y = table.offeredYears().indexOf(yearText);
    if (!y || month < 1 || month > 12)
        return false;
    const QString chosen = platform.saveFileName(
        QString(), WorkbookProposedPath(folder, LedgerExportName(month, yearText)),
        WorkbookFilter());
    const QString path = WorkbookSavePath(chosen);
    if (path.isEmpty())
        return false;
    return WriteWorkbook(LedgerSheet(table, *y, month), path);
}
