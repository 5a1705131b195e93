#include <QTest>

#include "MemberAccountFixture.h"
#include "core/MoneyText.h"
#include "core/MonthNames.h"
#include "ledger/LedgerModel.h"
#include "ledger/MemberAccount.h"

using namespace Qt::StringLiterals;
using F = MemberAccountFixture;

namespace {

// Every cell of the fixture's rows in the year and the years around it.
QStringList AllCells(const SubscriberTable& t) {
    QStringList cells;
    const int last = MonthColumn(F::year() + 1, 12, SlotPrepayCarry);
    for (int row = 1; row <= t.subscriberCount(); ++row)
        for (int col = 1; col <= last; ++col)
            cells << t.cell(row, col);
    return cells;
}

MemberAccount Account(const SubscriberTable& t, int row, const PaymentJournal& journal = {}) {
    const auto a = MakeMemberAccount(t, journal, row, F::year());
    if (!a)
        qFatal("no account");
    return *a;
}

} // namespace

class tst_MemberAccount : public QObject {
    Q_OBJECT
private slots:
    void matchesTheLedgerMonthByMonth_data();
    void matchesTheLedgerMonthByMonth();
    void figuresOfAYear();
    void totalsAddUp_data();
    void totalsAddUp();
    void prepaymentColumns_data();
    void prepaymentColumns();
    void staleMonthsAreMarked();
    void journalLines_data();
    void journalLines();
    void caption_data();
    void caption();
    void noAccountOutsideTheTable_data();
    void noAccountOutsideTheTable();
};

void tst_MemberAccount::matchesTheLedgerMonthByMonth_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("shown");
    for (int row = 1; row <= 3; ++row)
        for (const bool shown : {false, true})
            QTest::addRow("row %d, %s", row, shown ? "shown" : "never shown") << row << shown;
}

// The ledger's own figures: each month shown in turn in the ledger model,
// over the whole table, against the account.
void tst_MemberAccount::matchesTheLedgerMonthByMonth() {
    QFETCH(int, row);
    QFETCH(bool, shown);
    SubscriberTable table;
    F::fill(table, shown);
    const QStringList before = AllCells(table);
    const MemberAccount a = Account(table, row);
    QCOMPARE(AllCells(table), before); // nothing written

    SubscriberTable ledgerTable = table;
    LedgerModel ledger(ledgerTable);
    for (int m = 1; m <= 12; ++m) {
        ledger.fill(F::Year, m);
        ledger.compute();
        const MemberAccountMonth& month = a.months[size_t(m - 1)];
        QCOMPARE(month.cells[LgLabel], MonthName(m));
        for (int k = LgOpenDebt; k <= LgCloseCredit; ++k)
            QVERIFY2(month.cells[size_t(k)] == ledger.text(row - 1, k),
                     qPrintable(u"%1, column %2: %3 against the ledger's %4"_s.arg(
                         MonthName(m), QString::number(k), month.cells[size_t(k)],
                         ledger.text(row - 1, k))));
        ledger.save();
    }
}

// A few figures worked out by hand, so that the ledger itself is checked too.
void tst_MemberAccount::figuresOfAYear() {
    SubscriberTable table;
    F::fill(table, false);
    const MemberAccount a = Account(table, 1);
    const auto cells = [&](int m) { return a.months[size_t(m - 1)].cells; };
    // January: 100 owed + 201,50 = 301,50; 300 paid leaves 1,50.
    QCOMPARE(cells(1)[LgTotalDue], u"301,50"_s);
    QCOMPARE(cells(1)[LgCloseDebt], u"1,50"_s);
    QCOMPARE(cells(1)[LgCloseCredit], QString());
    // February opens with it; March's 500 puts the member ahead.
    QCOMPARE(cells(2)[LgOpenDebt], u"1,50"_s);
    QCOMPARE(cells(2)[LgCloseDebt], u"204,00"_s);
    QCOMPARE(cells(3)[LgTotalDue], u"407,50"_s);
    QCOMPARE(cells(3)[LgCloseCredit], u"92,50"_s);
    QCOMPARE(cells(4)[LgOpenCredit], u"92,50"_s);
    QCOMPARE(cells(6)[LgElectrician], u"50,00"_s);
    QCOMPARE(cells(12)[LgCloseDebt], u"849,00"_s);

    // A payment typed as text counts as nothing, and is shown as it stands.
    const MemberAccount b = Account(table, 2);
    QCOMPARE(b.months[7].cells[LgPaidIn], u"см. чек"_s);
    QCOMPARE(b.months[7].cells[LgCloseDebt], b.months[7].cells[LgTotalDue]);
}

void tst_MemberAccount::totalsAddUp_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("totals"); // by ledger column 1..12
    QTest::newRow("debt brought in, owing at the end")
        << 1 << QStringList{u"100,00"_s, u"0,00"_s,  u"2484,00"_s, u"0,00"_s,
                            u"50,00"_s,  u"25,00"_s, u"2659,00"_s, u"1800,00"_s,
                            u"0,00"_s,   u"10,00"_s, u"849,00"_s,  u"0,00"_s};
    QTest::newRow("credit brought in, prepayment, a text payment")
        << 2 << QStringList{u"0,00"_s,   u"80,00"_s, u"1800,00"_s, u"120,00"_s,
                            u"0,00"_s,   u"0,00"_s,  u"1840,00"_s, u"500,00"_s,
                            u"120,00"_s, u"0,00"_s,  u"1220,00"_s, u"0,00"_s};
    QTest::newRow("nothing at all") << 3 << QStringList(12, u"0,00"_s);
}

void tst_MemberAccount::totalsAddUp() {
    QFETCH(int, row);
    QFETCH(QStringList, totals);
    SubscriberTable table;
    F::fill(table, true);
    const MemberAccount a = Account(table, row);
    QCOMPARE(a.totals[LgLabel], u"Итого"_s);
    for (int k = LgOpenDebt; k <= LgCloseCredit; ++k)
        QCOMPARE(a.totals[size_t(k)], totals[k - 1]);
    // Due less everything received is December's closing balance.
    const auto n = [&](int k) { return ReadNumber(a.totals[size_t(k)]); };
    QCOMPARE(FormatMoney(n(LgTotalDue) - n(LgPaidIn) - n(LgIncome2) - n(LgOtherIncome)),
             FormatMoney(n(LgCloseDebt) - n(LgCloseCredit)));
    QCOMPARE(a.totals[LgCloseDebt], FormatMoney(ReadNumber(a.months[11].cells[LgCloseDebt])));
}

void tst_MemberAccount::prepaymentColumns_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shown");
    QTest::newRow("none") << int(SlotPrepayment) << QString() << false;
    QTest::newRow("a prepayment charge") << int(SlotPrepayment) << u"35,00"_s << true;
    QTest::newRow("its income alone") << int(SlotIncome2) << u"35,00"_s << true;
    QTest::newRow("a negative charge") << int(SlotPrepayment) << u"-5,00"_s << true;
    QTest::newRow("a zero") << int(SlotIncome2) << u"0,00"_s << false;
    QTest::newRow("a text") << int(SlotPrepayment) << u"нет"_s << false;
}

void tst_MemberAccount::prepaymentColumns() {
    QFETCH(int, slot);
    QFETCH(QString, text);
    QFETCH(bool, shown);
    SubscriberTable table;
    F::fill(table, false);
    F::put(table, 1, 11, slot, text);
    const MemberAccount a = Account(table, 1);
    QCOMPARE(a.showsPrepayment, shown);
    const std::vector<int> columns = a.columns();
    const std::vector<int> always = {LgLabel,       LgOpenDebt,    LgOpenCredit, LgElectricity,
                                     LgElectrician, LgOtherCharge, LgTotalDue,   LgPaidIn,
                                     LgOtherIncome, LgCloseDebt,   LgCloseCredit};
    const std::vector<int> all = {LgLabel,      LgOpenDebt,    LgOpenCredit,  LgElectricity,
                                  LgPrepayment, LgElectrician, LgOtherCharge, LgTotalDue,
                                  LgPaidIn,     LgIncome2,     LgOtherIncome, LgCloseDebt,
                                  LgCloseCredit};
    QCOMPARE(columns, shown ? all : always);
    // The November line adds up with what is shown.
    const MemberAccountCells& c = a.months[10].cells;
    double due = 0;
    for (const int k : columns)
        if (k == LgOpenDebt || (k >= LgElectricity && k <= LgOtherCharge))
            due += ReadNumber(c[size_t(k)]);
        else if (k == LgOpenCredit)
            due -= ReadNumber(c[size_t(k)]);
    QCOMPARE(FormatMoney(due), FormatMoney(ReadNumber(c[LgTotalDue])));
    // The month heading of the two columns.
    QVERIFY(!MemberAccountHeading(LgPrepayment).isEmpty());
    QVERIFY(!MemberAccountHeading(LgIncome2).isEmpty());
}

// A charge changed in March after the ledger showed the year: March and every
// month its balance reaches are marked until the ledger shows them.
void tst_MemberAccount::staleMonthsAreMarked() {
    SubscriberTable table;
    F::fill(table, true);
    QVERIFY(!Account(table, 1).anyStale());
    F::put(table, 1, 3, ChargeWithComp, u"303,50"_s); // 100 more
    MemberAccount a = Account(table, 1);
    for (int m = 1; m <= 12; ++m)
        QVERIFY2(a.months[size_t(m - 1)].stale == (m >= 3), qPrintable(MonthName(m)));
    const MemberAccountMonth& march = a.months[2];
    QCOMPARE(march.storedCloseCredit, u"92,50"_s);
    QCOMPARE(march.cells[LgCloseDebt], u"7,50"_s);
    QCOMPARE(StaleMonthNote(march),
             u"Месяц ещё не показан в окне «Лицевой счет» после изменения. На конец месяца "
             u"записано: переплата 92,50; расчёт даёт: долг 7,50."_s);
    // The other subscribers are not touched by it.
    QVERIFY(!Account(table, 2).anyStale());

    // The ledger shows March: its balance is stored and carried into April,
    // which has not been shown yet.
    LedgerModel ledger(table);
    ledger.fill(F::Year, 3);
    ledger.compute();
    ledger.save();
    a = Account(table, 1);
    QVERIFY(!a.months[2].stale);
    QVERIFY(a.months[3].stale);
    // A month whose balance comes out the same is not marked: after all months
    // are shown, none is.
    RunLedgerYear(table, F::year());
    QVERIFY(!Account(table, 1).anyStale());
}

void tst_MemberAccount::journalLines_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("year");
    QTest::addColumn<bool>("listed");
    const QString name = F::names()[1];
    QTest::newRow("row and name") << 2 << name << 2019 << true;
    QTest::newRow("another year") << 2 << name << 2018 << false;
    QTest::newRow("the row, another name (rows moved up)") << 2 << F::names()[2] << 2019 << false;
    QTest::newRow("the name on another row") << 1 << name << 2019 << false;
    QTest::newRow("the name, deleted (row 0)") << 0 << name << 2019 << false;
}

void tst_MemberAccount::journalLines() {
    QFETCH(int, row);
    QFETCH(QString, name);
    QFETCH(int, year);
    QFETCH(bool, listed);
    SubscriberTable table;
    F::fill(table, true);
    PaymentJournal journal;
    const QString own = F::names()[1];
    // Written out of date order, as statements of two periods may be.
    journal.add(F::payment(2, own, 2019, u"20.05.2019"_s, 30000, u"77"_s, 5));
    journal.add(F::payment(row, name, year, u"03.02.2019"_s, 12345, u"5"_s, 2));
    journal.add(F::payment(2, own, 2019, u"11.02.2019"_s, 50000, u"12"_s, 2));
    const MemberAccount a = Account(table, 2, journal);
    QStringList seen;
    for (const MemberAccountPayment& p : a.payments)
        seen << p.dateText + u' ' + KopecksText(p.kopecks) + u' ' + p.number;
    QStringList expected = {u"11.02.2019 500,00 12"_s, u"20.05.2019 300,00 77"_s};
    if (listed)
        expected.prepend(u"03.02.2019 123,45 5"_s);
    QCOMPARE(seen, expected);
    QCOMPARE(a.paymentsKopecks, 80000 + (listed ? 12345 : 0));
}

void tst_MemberAccount::caption_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("caption");
    QTest::newRow("plot") << 2 << u"2. Борисов Б. Б., участок 7А"_s;
    QTest::newRow("no address: the row number") << 3 << u"3. Васильева В. В., участок 3"_s;
}

void tst_MemberAccount::caption() {
    QFETCH(int, row);
    QFETCH(QString, caption);
    SubscriberTable table;
    F::fill(table, false);
    QCOMPARE(MemberAccountCaption(table, row), caption);
    QCOMPARE(Account(table, row).caption, caption);
}

void tst_MemberAccount::noAccountOutsideTheTable_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("yearIndex");
    QTest::newRow("row 0") << 0 << F::year();
    QTest::newRow("after the last row") << 4 << F::year();
    QTest::newRow("a year not offered") << 1 << OfferedYears().count();
}

void tst_MemberAccount::noAccountOutsideTheTable() {
    QFETCH(int, row);
    QFETCH(int, yearIndex);
    SubscriberTable table;
    F::fill(table, false);
    QVERIFY(!MakeMemberAccount(table, PaymentJournal(), row, yearIndex));
}

QTEST_GUILESS_MAIN(tst_MemberAccount)
#include "tst_MemberAccount.moc"
