#include "MemberAccount.h"

#include <algorithm>

#include <QDate>

#include "LedgerModel.h"
#include "core/MonthNames.h"
#include "core/NumberText.h"
#include "core/SubscriberTable.h"
#include "documents/ReceiptPayment.h"
#include "storage/PaymentJournal.h"

using namespace Qt::StringLiterals;

namespace {

// The ledger computes each row from that row's cells alone, so a table that
// holds only this subscriber's year, in the same row, gives the same figures
// as a copy of the whole table at a fraction of its cost.
SubscriberTable CopyOfYear(const SubscriberTable& table, int row, int yearIndex) {
    SubscriberTable copy;
    copy.setOfferedYears(table.offeredYears());
    copy.setSubscriberCount(row);
    const auto put = [&](int col) {
        const CellText text = table.cellView(row, col);
        if (!text.isEmpty())
            copy.setCell(row, col, text.toString());
    };
    put(ColRowNumber);
    put(ColName);
    for (int month = 1; month <= 12; ++month)
        for (int slot = 0; slot < SlotCount; ++slot)
            put(MonthColumn(yearIndex, month, slot));
    return copy;
}

constexpr int ChargeColumns[] = {LgElectricity, LgPrepayment, LgElectrician, LgOtherCharge};
constexpr int IncomeColumns[] = {LgPaidIn, LgIncome2, LgOtherIncome};

void AddTotals(MemberAccount& a) {
    const MemberAccountCells& first = a.months.front().cells;
    const MemberAccountCells& last = a.months.back().cells;
    MemberAccountCells& t = a.totals;
    t[LgLabel] = u"Итого"_s;
    const double openDebt = ReadNumber(first[LgOpenDebt]);
    const double openCredit = ReadNumber(first[LgOpenCredit]);
    t[LgOpenDebt] = FormatMoney(openDebt);
    t[LgOpenCredit] = FormatMoney(openCredit);
    const auto sum = [&](int column) {
        double s = 0;
        for (const MemberAccountMonth& m : a.months)
            s += ReadNumber(m.cells[size_t(column)]);
        t[size_t(column)] = FormatMoney(s);
        return s;
    };
    double charged = 0;
    for (const int c : ChargeColumns)
        charged += sum(c);
    for (const int c : IncomeColumns)
        sum(c);
    // What the year asked for: the balance it opened with and its charges,
    // so that the line adds up to December's closing balance as a month does.
    t[LgTotalDue] = FormatMoney(openDebt - openCredit + charged);
    t[LgCloseDebt] = FormatMoney(ReadNumber(last[LgCloseDebt]));
    t[LgCloseCredit] = FormatMoney(ReadNumber(last[LgCloseCredit]));
}

void AddPayments(MemberAccount& a, const SubscriberTable& table, const PaymentJournal& journal) {
    const QString name = table.cell(a.row, ColName);
    const int year = YearText(a.yearIndex).toInt();
    for (const JournalEntry& e : journal.entries()) {
        if (e.row != a.row || e.name != name || e.year != year)
            continue;
        a.payments.push_back({e.dateText, e.number, e.kopecks, e.month});
        a.paymentsKopecks += e.kopecks;
    }
    const auto dateOf = [year](const MemberAccountPayment& p) {
        const QDate d = QDate::fromString(p.dateText, u"dd.MM.yyyy"_s);
        return d.isValid() ? d : QDate(year, std::clamp(p.month, 1, 12), 1);
    };
    std::stable_sort(a.payments.begin(), a.payments.end(),
                     [&](const MemberAccountPayment& x, const MemberAccountPayment& y) {
                         return dateOf(x) < dateOf(y);
                     });
}

QString BalanceWords(const QString& debt, const QString& credit) {
    QStringList parts;
    if (!debt.isEmpty())
        parts << u"долг "_s + debt;
    if (!credit.isEmpty())
        parts << u"переплата "_s + credit;
    return parts.isEmpty() ? u"ничего"_s : parts.join(u" и "_s);
}

} // namespace

bool MemberAccount::anyStale() const {
    return std::any_of(months.begin(), months.end(),
                       [](const MemberAccountMonth& m) { return m.stale; });
}

std::vector<int> MemberAccount::columns() const {
    std::vector<int> c;
    for (int k = LgLabel; k <= LgCloseCredit; ++k)
        if (showsPrepayment || (k != LgPrepayment && k != LgIncome2))
            c.push_back(k);
    return c;
}

std::optional<MemberAccount> MakeMemberAccount(const SubscriberTable& table,
                                               const PaymentJournal& journal, int row,
                                               int yearIndex) {
    if (row < 1 || row > table.subscriberCount() || !table.offeredYears().offers(yearIndex))
        return std::nullopt;
    MemberAccount a;
    a.row = row;
    a.yearIndex = yearIndex;
    a.caption = MemberAccountCaption(table, row);
    SubscriberTable copy = CopyOfYear(table, row, yearIndex);
    RunLedgerYear(copy, yearIndex, [&](const LedgerModel& model) {
        const int month = model.location().month;
        MemberAccountMonth& m = a.months[size_t(month - 1)];
        m.cells[LgLabel] = MonthName(month);
        for (int k = LgOpenDebt; k <= LgCloseCredit; ++k)
            m.cells[size_t(k)] = model.text(row - 1, k);
        m.storedCloseDebt = table.cell(row, MonthColumn(yearIndex, month, SlotCloseDebt));
        m.storedCloseCredit = table.cell(row, MonthColumn(yearIndex, month, SlotCloseCredit));
        m.stale = m.cells[LgCloseDebt] != m.storedCloseDebt ||
                  m.cells[LgCloseCredit] != m.storedCloseCredit;
        if (ReadNumber(m.cells[LgPrepayment]) != 0 || ReadNumber(m.cells[LgIncome2]) != 0)
            a.showsPrepayment = true;
    });
    AddTotals(a);
    AddPayments(a, table, journal);
    return a;
}

QString MemberAccountCaption(const SubscriberTable& table, int row) {
    QString number = table.cell(row, ColRowNumber).trimmed();
    if (number.isEmpty())
        number = QString::number(row);
    return number + u". "_s + table.cell(row, ColName).trimmed() + u", участок "_s +
           PaymentPlot(table, row);
}

QString MemberAccountHeading(int column) {
    switch (column) {
    case LgLabel:
        return u"Месяц"_s;
    case LgOpenDebt:
        return u"Долг на начало"_s;
    case LgOpenCredit:
        return u"Переплата на начало"_s;
    case LgElectricity:
        return u"Электроэнергия"_s;
    case LgPrepayment:
        return u"Предоплата в МЭС"_s;
    case LgElectrician:
        return u"Зарплата электрику"_s;
    case LgOtherCharge:
        return u"Прочие начисления"_s;
    case LgTotalDue:
        return u"К оплате"_s;
    case LgPaidIn:
        return u"Внесено"_s;
    case LgIncome2:
        return u"Внесено на предоплату"_s;
    case LgOtherIncome:
        return u"Прочие поступления"_s;
    case LgCloseDebt:
        return u"Долг на конец"_s;
    case LgCloseCredit:
        return u"Переплата на конец"_s;
    default:
        return {};
    }
}

QString StaleMonthNote(const MemberAccountMonth& month) {
    return u"Месяц ещё не показан в окне «Лицевой счет» после изменения. На конец месяца "
           u"записано: %1; расчёт даёт: %2."_s.arg(
               BalanceWords(month.storedCloseDebt, month.storedCloseCredit),
               BalanceWords(month.cells[LgCloseDebt], month.cells[LgCloseCredit]));
}
