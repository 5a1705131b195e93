#include "YearCarry.h"

#include "core/Platform.h"
#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

std::optional<int> NextYearIndex(const OfferedYears& offered, const QString& yearText) {
    const auto y = offered.indexOf(yearText);
    if (!y || !offered.offers(*y + 1))
        return std::nullopt;
    return *y + 1;
}

ReadingsCarry CarryReadings(SubscriberTable& table, const QString& yearText) {
    ReadingsCarry res;
    const auto y = table.offeredYears().indexOf(yearText);
    if (!y)
        return res;
    const auto next = NextYearIndex(table.offeredYears(), yearText);
    if (!next) {
        res.title = yearText + u" - последний год действия программы."_s;
        res.text = u"Переносить некуда!"_s;
        return res;
    }
    for (int r = 1; r <= table.subscriberCount(); ++r) {
        table.setCell(r, MonthColumn(*next, 1, T1Previous),
                      table.cell(r, MonthColumn(*y, 12, T1Current)));
        table.setCell(r, MonthColumn(*next, 1, T2Previous),
                      table.cell(r, MonthColumn(*y, 12, T2Current)));
    }
    const QString nextText = YearText(*next);
    res.carried = true;
    res.title = u"Перенос выполнен!"_s;
    res.text = u"Перенос последних показаний с конца декабря "_s + yearText +
               u"г. на начало января "_s + nextText + u" г. выполнен!"_s;
    return res;
}

void CarryReadingsAndTell(SubscriberTable& table, const QString& yearText, Platform& platform) {
    const ReadingsCarry res = CarryReadings(table, yearText);
    if (!res.title.isEmpty())
        platform.message(res.text, res.title, MsgIcon::Information, MsgButtons::Ok);
}
