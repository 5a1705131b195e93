#include "StatementPayments.h"

#include "LedgerMath.h"
#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

namespace {

QStringList ListedAccounts(const BankStatement& st) {
    QStringList accounts;
    auto add = [&accounts](const QString& a) {
        const QString t = a.trimmed();
        if (!t.isEmpty() && !accounts.contains(t))
            accounts << t;
    };
    for (const QString& a : st.accounts)
        add(a);
    for (const StatementAccountSection& s : st.sections)
        add(s.account);
    return accounts;
}

// Whether the month's "Внесено" of the subscriber holds a payment: PaidInNow
// without a copy of the cell.
bool HoldsPaidIn(const SubscriberTable& table, int row, int yearIndex, int month) {
    if (row < 1 || row > table.subscriberCount() || month < 1 || month > 12)
        return false;
    return !table.cellView(row, MonthColumn(yearIndex, month, SlotPaidIn))
                .view()
                .trimmed()
                .isEmpty();
}

} // namespace

StatementAccountChoice ChooseStatementAccount(const BankStatement& st,
                                              const QString& payeeAccount) {
    StatementAccountChoice c;
    const QStringList accounts = ListedAccounts(st);
    const QString ours = payeeAccount.trimmed();
    const QString listed = accounts.join(u", "_s);
    if (accounts.isEmpty()) {
        c.refusal = u"В выписке не указан расчётный счёт."_s;
    } else if (!ours.isEmpty()) {
        if (accounts.contains(ours))
            c.account = ours;
        else
            c.refusal = u"Выписка по счёту "_s + listed + u", а в реквизитах получателя счёт "_s +
                        ours + u": это выписка другой организации."_s;
    } else if (accounts.size() == 1) {
        c.account = accounts.front();
    } else {
        c.refusal = u"В выписке несколько счетов: "_s + listed +
                    u". Укажите свой счёт в реквизитах получателя."_s;
    }
    return c;
}

PaymentKey DocumentKey(const QString& account, const StatementDocument& d) {
    return {account, d.number, d.dateText, d.kopecks.value_or(0), d.payerAccountOrSettlement()};
}

QString PaidInNow(const SubscriberTable& table, int row, int yearIndex, int month) {
    if (row < 1 || row > table.subscriberCount() || month < 1 || month > 12)
        return {};
    return table.cell(row, MonthColumn(yearIndex, month, SlotPaidIn));
}

StatementPayments CollectStatementPayments(const BankStatement& st, const QString& account,
                                           const SubscriberTable& table,
                                           const PaymentJournal& journal,
                                           std::span<const PaymentJournal* const> setAside) {
    StatementPayments res;
    res.account = account;
    for (const StatementAccountSection& s : st.sections) {
        if (s.account.trimmed() != account)
            continue;
        if (!res.opening)
            res.opening = s.opening;
        if (s.closing)
            res.closing = s.closing;
        if (s.received)
            res.received = res.received.value_or(0) + *s.received;
    }
    const PaymentMatcher matcher(table, journal.soleAccountOwners());
    const OfferedYears& years = table.offeredYears();
    const QString keptYears = years.first() + u'–' + years.last();
    // A statement spans a year or two: the index of the year last looked up.
    int lastYear = 0; // no date has year 0
    std::optional<int> lastYearIndex;
    res.incoming.reserve(st.documents.size());
    for (size_t i = 0; i < st.documents.size(); ++i) {
        const StatementDocument& d = st.documents[i];
        if (QStringView(d.payeeAccountOrSettlement()).trimmed() != account) {
            if (QStringView(d.payerAccountOrSettlement()).trimmed() == account) {
                ++res.outgoingCount;
                res.outgoingKopecks += d.kopecks.value_or(0);
            }
            continue;
        }
        StatementPayment p;
        p.document = i;
        p.kopecks = d.kopecks.value_or(0);
        res.incomingKopecks += p.kopecks;
        p.date = d.paymentDate;
        p.match = matcher.match(d.purpose, d.payerName(), d.payerAccountOrSettlement());
        p.row = p.match.row;
        if (!d.error.isEmpty()) {
            p.error = u"ошибка: "_s + d.error;
        } else {
            p.month = p.date.month();
            p.year = p.date.year();
            if (p.year != lastYear) {
                lastYear = p.year;
                lastYearIndex = years.indexOf(QString::number(p.year));
            }
            p.yearIndex = lastYearIndex;
            if (!p.yearIndex)
                p.error = u"%1 год вне лет программы (%2)"_s.arg(p.year).arg(keptYears);
        }
        const JournalEntry* before = nullptr;
        if (!journal.isEmpty() || !setAside.empty()) {
            const PaymentKey key = DocumentKey(account, d);
            before = journal.find(key);
            for (size_t k = 0; !before && k < setAside.size(); ++k)
                before = setAside[k]->find(key);
        }
        if (before) {
            p.loadedBefore = before->written;
            p.how = u"уже загружен "_s + before->written.date().toString(u"dd.MM.yyyy"_s);
        }
        if (!p.canWrite())
            p.how = p.error;
        else if (!before)
            p.how = p.match.how;
        p.ticked = p.canWrite() && !before && p.match.found() && !p.match.notElectricity &&
                   !(journal.isEmpty() && HoldsPaidIn(table, p.row, *p.yearIndex, p.month));
        res.incoming.push_back(std::move(p));
    }
    return res;
}
