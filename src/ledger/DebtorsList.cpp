#include "DebtorsList.h"

#include <algorithm>

#include "LedgerMath.h"
#include "core/MonthNames.h"
#include "core/NumberText.h"
#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

namespace {

// "на конец марта": the month in the genitive.
QString MonthGenitive(int month) {
    static const QStringList names = {u"января"_s,   u"февраля"_s, u"марта"_s,  u"апреля"_s,
                                      u"мая"_s,      u"июня"_s,    u"июля"_s,   u"августа"_s,
                                      u"сентября"_s, u"октября"_s, u"ноября"_s, u"декабря"_s};
    return names.value(month - 1);
}

// A stored balance counts unless it is empty or a written zero.
bool HasBalance(const QString& stored) {
    const QString t = stored.trimmed();
    return !t.isEmpty() && !(IsNumberText(t) && ReadNumber(t) == 0);
}

} // namespace

QStringList DebtorsList::headers() {
    return {u"Абонент"_s, u"Участок"_s, u"Недоплата"_s, u"Переплата"_s};
}

QString DebtorsTitle(int month, const QString& yearText) {
    return u"Сверка расчётов за электроэнергию на конец "_s + MonthGenitive(month) + u' ' +
           yearText + u" г."_s;
}

QString DebtorsExportName(int month, const QString& yearText) {
    return u"Сверка расчётов "_s + MonthName(month) + u' ' + yearText;
}

DebtorsList MakeDebtorsList(const SubscriberTable& table, int yearIndex, int month) {
    DebtorsList list;
    list.month = month;
    list.yearText = table.offeredYears().texts().value(yearIndex);
    list.title = DebtorsTitle(month, list.yearText);
    for (int r = 1; r <= table.subscriberCount(); ++r) {
        const QString debt = table.cell(r, MonthColumn(yearIndex, month, SlotCloseDebt));
        const QString credit = table.cell(r, MonthColumn(yearIndex, month, SlotCloseCredit));
        if (!HasBalance(debt) && !HasBalance(credit))
            continue;
        DebtorEntry e;
        e.row = r;
        e.label = table.cell(r, ColRowNumber) + u". "_s + table.cell(r, ColName);
        e.plot = table.cell(r, ColAddress);
        e.debt = debt;
        e.credit = credit;
        e.debtValue = ReadNumber(debt);
        e.creditValue = ReadNumber(credit);
        list.totalDebt += e.debtValue;
        list.totalCredit += e.creditValue;
        list.entries.push_back(std::move(e));
    }
    return list;
}

std::vector<std::pair<int, int>> DebtorsPageSlices(int entries, int firstPageLines, int pageLines) {
    std::vector<std::pair<int, int>> pages;
    const int lines = std::max(0, entries) + 1; // the totals line
    firstPageLines = std::max(1, firstPageLines);
    pageLines = std::max(1, pageLines);
    int start = 0;
    int room = firstPageLines;
    while (start < lines) {
        const int count = std::min(room, lines - start);
        pages.emplace_back(start, count);
        start += count;
        room = pageLines;
    }
    return pages;
}
