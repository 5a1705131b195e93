#include "PaymentsWriter.h"

#include <algorithm>

#include "BankStatement.h"
#include "LedgerMath.h"
#include "LedgerModel.h"
#include "StatementPayments.h"
#include "core/MonthNames.h"
#include "core/NumberText.h"
#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

namespace {

// The cells the month cycle may write: the charge and the ledger slots of
// every month of the year.
constexpr int FirstCycleSlot = ChargeWithComp, LastCycleSlot = SlotPrepayCarry;
constexpr int CycleSlots = LastCycleSlot - FirstCycleSlot + 1;

std::vector<QString> CycleCells(const SubscriberTable& table, int yearIndex) {
    std::vector<QString> cells;
    cells.reserve(size_t(table.subscriberCount()) * 12 * CycleSlots);
    for (int row = 1; row <= table.subscriberCount(); ++row)
        for (int month = 1; month <= 12; ++month)
            for (int slot = FirstCycleSlot; slot <= LastCycleSlot; ++slot)
                cells.push_back(
                    table.cellView(row, MonthColumn(yearIndex, month, slot)).toString());
    return cells;
}

void AddChanges(const SubscriberTable& table, int yearIndex, const std::vector<QString>& before,
                std::vector<CellChange>& changes) {
    size_t i = 0;
    for (int row = 1; row <= table.subscriberCount(); ++row)
        for (int month = 1; month <= 12; ++month)
            for (int slot = FirstCycleSlot; slot <= LastCycleSlot; ++slot, ++i) {
                const int col = MonthColumn(yearIndex, month, slot);
                const CellText now = table.cellView(row, col);
                if (now != before[i])
                    changes.push_back({row, col, before[i], now.toString()});
            }
}

bool JanuaryHoldsBalances(const SubscriberTable& table, int yearIndex) {
    for (int row = 1; row <= table.subscriberCount(); ++row)
        if (!table.cellView(row, MonthColumn(yearIndex, 1, SlotOpenDebt)).isEmpty() ||
            !table.cellView(row, MonthColumn(yearIndex, 1, SlotOpenCredit)).isEmpty())
            return true;
    return false;
}

} // namespace

PaymentsWrite WritePayments(SubscriberTable& table, const std::vector<PaymentToWrite>& payments,
                            PaymentJournal& journal, const QDateTime& now) {
    PaymentsWrite w;
    w.journalBefore = journal.entries().size();
    const int yearCount = table.offeredYears().count();
    std::vector<int> years;
    std::vector<bool> writable(payments.size());
    for (size_t i = 0; i < payments.size(); ++i) {
        const PaymentToWrite& p = payments[i];
        if (p.row < 1 || p.row > table.subscriberCount() || p.yearIndex < 0 ||
            p.yearIndex >= yearCount || p.month < 1 || p.month > 12) {
            w.refused.push_back(i);
            continue;
        }
        const QString paid = table.cell(p.row, MonthColumn(p.yearIndex, p.month, SlotPaidIn));
        if (!paid.isEmpty() && !IsNumberText(paid)) {
            w.refused.push_back(i);
            w.notes << u"Не записано %1 руб.: у %2. %3 в «Внесено» за %4 %5 текст «%6», а не "
                       u"число."_s.arg(KopecksText(p.kopecks), table.cell(p.row, ColRowNumber),
                                       table.cell(p.row, ColName), MonthName(p.month),
                                       YearText(p.yearIndex), paid);
            continue;
        }
        writable[i] = true;
        if (std::find(years.begin(), years.end(), p.yearIndex) == years.end())
            years.push_back(p.yearIndex);
    }
    std::sort(years.begin(), years.end());

    std::vector<std::vector<QString>> before;
    for (const int y : years)
        before.push_back(CycleCells(table, y));
    for (size_t i = 0; i < payments.size(); ++i) {
        if (!writable[i])
            continue;
        const PaymentToWrite& p = payments[i];
        const int col = MonthColumn(p.yearIndex, p.month, SlotPaidIn);
        table.setCell(p.row, col,
                      LedgerText(ReadNumber(table.cell(p.row, col)) + double(p.kopecks) / 100));
        ++w.written;
        w.writtenKopecks += p.kopecks;
        JournalEntry e = p.entry;
        e.kopecks = p.kopecks;
        e.row = p.row;
        e.name = table.cell(p.row, ColName);
        e.month = p.month;
        e.year = YearText(p.yearIndex).toInt();
        e.written = now;
        journal.add(std::move(e));
    }
    for (size_t k = 0; k < years.size(); ++k) {
        RunLedgerYear(table, years[k]);
        AddChanges(table, years[k], before[k], w.changes);
        const int next = years[k] + 1;
        if (next < yearCount && JanuaryHoldsBalances(table, next))
            w.notes << u"Остатки на январь "_s + YearText(next) +
                           u" перенесены раньше: перенесите их заново."_s;
    }
    return w;
}

StatementWrite WriteTickedPayments(SubscriberTable& table, const BankStatement& statement,
                                   const StatementPayments& payments, PaymentJournal& journal,
                                   const QDateTime& now) {
    StatementWrite res;
    std::vector<PaymentToWrite> toWrite;
    for (const StatementPayment& p : payments.incoming) {
        if (!p.ticked || !p.canWrite() || p.row <= 0) {
            ++res.notWritten;
            res.notWrittenKopecks += p.kopecks;
            continue;
        }
        const StatementDocument& d = statement.documents.at(p.document);
        PaymentToWrite w;
        w.row = p.row;
        w.yearIndex = *p.yearIndex;
        w.month = p.month;
        w.kopecks = p.kopecks;
        w.entry.account = payments.account;
        w.entry.number = d.number;
        w.entry.dateText = d.dateText;
        w.entry.payerAccount = d.payerAccountOrSettlement();
        w.entry.payerInn = d.payerInn;
        toWrite.push_back(std::move(w));
    }
    res.write = WritePayments(table, toWrite, journal, now);
    for (const size_t i : res.write.refused) {
        ++res.notWritten;
        res.notWrittenKopecks += toWrite[i].kopecks;
    }
    res.summary = PaymentsSummary(res.write.written, res.write.writtenKopecks, res.notWritten,
                                  res.notWrittenKopecks, res.write.notes);
    return res;
}

void UndoPaymentsWrite(SubscriberTable& table, PaymentJournal& journal, const PaymentsWrite& w) {
    for (auto it = w.changes.rbegin(); it != w.changes.rend(); ++it)
        table.setCell(it->row, it->col, it->before);
    journal.truncate(w.journalBefore);
}

QString PaymentsSummary(int written, qint64 writtenKopecks, int notWritten,
                        qint64 notWrittenKopecks, const QStringList& notes) {
    QString s = u"Записано платежей: %1 на сумму %2 руб. Не записано: %3 на сумму %4 руб."_s.arg(
        QString::number(written), KopecksText(writtenKopecks), QString::number(notWritten),
        KopecksText(notWrittenKopecks));
    for (const QString& n : notes)
        s += u'\n' + n;
    return s;
}
