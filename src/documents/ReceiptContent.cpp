#include "ReceiptContent.h"

#include "core/MonthNames.h"
#include "core/NumberText.h"
#include "core/SubscriberTable.h"
#include "core/YearLayout.h"

using namespace Qt::StringLiterals;

namespace {

// The month slot shown on each line; none for the computed consumptions.
constexpr int None = -1;
constexpr std::array<int, ReceiptContent::ValueLines + 1> SlotOfLine = {
    None,         T1Current,   T1Previous, None,    T2Current,      T2Previous,      None,
    CompCoef1,    CompCoef2,   Tariff1,    Tariff2, ChargeWithComp, SlotOtherCharge, SlotOpenCredit,
    SlotOpenDebt, SlotTotalDue};

} // namespace

QString ReceiptContent::caption(int line) {
    static const std::array<QString, Lines + 1> captions = {
        QString(),
        u"Показания сч-ка на конец месяца по Т1"_s,
        u"Показания сч-ка на начало мес. по Т1"_s,
        u"Расход по Т1"_s,
        u"Показания сч-ка на конец месяца по Т2"_s,
        u"Показания сч-ка на начало мес. по Т2"_s,
        u"Расход по Т2"_s,
        u"Коэфициент компенсации разбаланса по Т1"_s,
        u"Коэфициент компенсации разбаланса по Т2"_s,
        u"Текущий тариф Т1 (день) за 1 кВт*ч"_s,
        u"Текущий тариф Т2 (ночь) за 1 кВт*ч"_s,
        u"ИТОГО по электроэнергии"_s,
        u"Прочие начисления"_s,
        u"За предыдущие месяцы"_s,
        u"За предыдущие месяцы"_s,
        u"ИТОГО  К ОПЛАТЕ"_s,
        u"Оплата до "_s,
    };
    return line >= 1 && line <= Lines ? captions[size_t(line)] : QString();
}

QString ReceiptContent::secondCaption(int line) {
    if (line == 13)
        return u" переплата"_s;
    if (line == 14)
        return u"недоплата"_s;
    return {};
}

QString ReceiptContent::unit(int line) {
    if (line >= 1 && line <= 6)
        return u"кВт*Ч"_s;
    if (line == 7 || line == 8)
        return u"-------"_s;
    if (line >= 9 && line <= ValueLines)
        return u"руб."_s;
    return {};
}

QString ConsumptionText(const QString& end, const QString& start) {
    return RoundedText(ReadNumber(end) - ReadNumber(start), 2, HalfRounding::ToEven, false);
}

ReceiptContent MakeReceipt(const SubscriberTable& table, int row, int month,
                           const QString& yearText) {
    ReceiptContent r;
    r.dateText = MonthName(month) + u' ' + yearText;
    if (row < 1 || row > SubscriberTable::MaxRow)
        return r;
    const int ledgerCol = LedgerColumn(yearText, month);
    const auto slot = [&](int s) { return table.cell(row, ledgerCol - SlotOpenDebt + s); };
    r.name = table.cell(row, ColName);
    for (int line = 1; line <= ReceiptContent::ValueLines; ++line)
        if (SlotOfLine[size_t(line)] != None)
            r.values[size_t(line)] = slot(SlotOfLine[size_t(line)]);
    r.values[3] = ConsumptionText(slot(T1Current), slot(T1Previous));
    r.values[6] = ConsumptionText(slot(T2Current), slot(T2Previous));
    r.t1EndEmpty = r.values[1].isEmpty();
    r.t1StartEmpty = r.values[2].isEmpty();
    return r;
}
