#include <QTest>

#include "StatementFixture.h"
#include "core/NumberText.h"
#include "ledger/BankStatementParser.h"
#include "ledger/LedgerMath.h"
#include "ledger/PaymentsWriter.h"
#include "ledger/StatementPayments.h"

using namespace Qt::StringLiterals;
using namespace StatementFixture;

namespace {

const QDateTime Now(QDate(2026, 4, 2), QTime(18, 30));

int Year2026() {
    return *YearIndex(u"2026"_s);
}

// Two subscribers charged every month of 2026: 100 and 50,50.
SubscriberTable Charged() {
    SubscriberTable t = MakeTable({{u"Иванов И. И."_s, u"10"_s}, {u"Петров П. П."_s, u"12"_s}});
    t.setOfferedYears(OfferedYears(2027));
    for (int m = 1; m <= 12; ++m) {
        t.setCell(1, MonthColumn(Year2026(), m, ChargeWithComp), u"100"_s);
        t.setCell(2, MonthColumn(Year2026(), m, ChargeWithComp), u"50,5"_s);
    }
    return t;
}

PaymentToWrite Pay(int row, int month, qint64 kopecks, const QString& number = u"1"_s) {
    PaymentToWrite p;
    p.row = row;
    p.yearIndex = Year2026();
    p.month = month;
    p.kopecks = kopecks;
    p.entry.account = OurAccount;
    p.entry.number = number;
    p.entry.dateText = u"14.03.2026"_s;
    return p;
}

QString Cell(const SubscriberTable& t, int row, int month, int slot, int year = Year2026()) {
    return t.cell(row, MonthColumn(year, month, slot));
}

// Every stored cell of 2017..2027 for both rows, to see what a write touched.
QStringList AllCells(const SubscriberTable& t) {
    QStringList cells;
    const int last = MonthColumn(t.offeredYears().count() - 1, 12, 21);
    for (int row = 1; row <= 2; ++row)
        for (int col = 1; col <= last; ++col)
            cells << t.cell(row, col);
    return cells;
}

} // namespace

class tst_PaymentsWriter : public QObject {
    Q_OBJECT
private slots:
    void addsToPaidIn_data();
    void addsToPaidIn();
    void monthCycleCarriesThroughDecember();
    void carriedJanuaryIsReported_data();
    void carriedJanuaryIsReported();
    void undoRestoresTableAndJournal();
    void tickedPaymentsOfAStatement();
};

void tst_PaymentsWriter::addsToPaidIn_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<qint64>("kopecks");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("written");
    QTest::newRow("empty") << QString() << qint64(150000) << u"1500,00"_s << true;
    QTest::newRow("kopecks added") << u"100,5"_s << qint64(25) << u"100,75"_s << true;
    QTest::newRow("a whole number") << u"7"_s << qint64(100) << u"8,00"_s << true;
    QTest::newRow("typed with a point") << u"10.10"_s << qint64(1) << u"10,11"_s << true;
    QTest::newRow("back to zero") << u"-20,00"_s << qint64(2000) << QString() << true;
    QTest::newRow("a text is never overwritten")
        << u"см. кассу"_s << qint64(5000) << u"см. кассу"_s << false;
}

void tst_PaymentsWriter::addsToPaidIn() {
    QFETCH(QString, before);
    QFETCH(qint64, kopecks);
    QFETCH(QString, after);
    QFETCH(bool, written);
    SubscriberTable t = Charged();
    t.setCell(2, MonthColumn(Year2026(), 3, SlotPaidIn), before);
    PaymentJournal journal;
    const PaymentsWrite w = WritePayments(t, {Pay(2, 3, kopecks)}, journal, Now);
    QCOMPARE(Cell(t, 2, 3, SlotPaidIn), after);
    QCOMPARE(w.written, written ? 1 : 0);
    QCOMPARE(w.writtenKopecks, written ? kopecks : 0);
    QCOMPARE(w.refused, written ? std::vector<size_t>{} : std::vector<size_t>{0});
    QCOMPARE(journal.entries().size(), size_t(written ? 1 : 0));
    if (written) {
        const JournalEntry& e = journal.entries()[0];
        QCOMPARE(e.row, 2);
        QCOMPARE(e.name, u"Петров П. П."_s);
        QCOMPARE(e.month, 3);
        QCOMPARE(e.year, 2026);
        QCOMPARE(e.kopecks, kopecks);
        QCOMPARE(e.number, u"1"_s);
        QCOMPARE(e.written, Now);
        QVERIFY(w.notes.isEmpty());
    } else {
        QCOMPARE(w.notes, QStringList{u"Не записано 50,00 руб.: у 2. Петров П. П. в «Внесено» за "
                                      u"Март 2026 текст «см. кассу», а не число."_s});
        // Nothing was written, so the ledger was not recomputed either.
        QVERIFY(Cell(t, 2, 3, SlotCloseDebt).isEmpty());
    }
}

// A March payment reaches every later balance of the year at once, for
// every subscriber, as showing each month in turn would.
void tst_PaymentsWriter::monthCycleCarriesThroughDecember() {
    SubscriberTable t = Charged();
    PaymentJournal journal;
    const PaymentsWrite w =
        WritePayments(t, {Pay(1, 3, 30000, u"1"_s), Pay(1, 3, 20000, u"2"_s)}, journal, Now);
    QCOMPARE(w.written, 2);
    QCOMPARE(Cell(t, 1, 3, SlotPaidIn), u"500,00"_s);
    double balance1 = 0, balance2 = 0; // credit > 0
    for (int m = 1; m <= 12; ++m) {
        balance1 += (m == 3 ? 500 : 0) - 100;
        balance2 -= 50.5;
        const QString at = u"month %1"_s.arg(m);
        QCOMPARE(Cell(t, 1, m, SlotCloseCredit), balance1 > 0 ? LedgerText(balance1) : QString());
        QCOMPARE(Cell(t, 1, m, SlotCloseDebt), balance1 > 0 ? QString() : LedgerText(-balance1));
        QCOMPARE(Cell(t, 2, m, SlotCloseDebt), LedgerText(-balance2));
        QCOMPARE(Cell(t, 1, m, ChargeWithComp), u"100,00"_s);
        if (m > 1) {
            QCOMPARE(Cell(t, 1, m, SlotOpenDebt), Cell(t, 1, m - 1, SlotCloseDebt));
            QCOMPARE(Cell(t, 1, m, SlotOpenCredit), Cell(t, 1, m - 1, SlotCloseCredit));
        }
    }
    QCOMPARE(Cell(t, 1, 12, SlotCloseDebt), u"700,00"_s);
    QCOMPARE(Cell(t, 2, 12, SlotCloseDebt), u"606,00"_s);
    QCOMPARE(Cell(t, 1, 4, SlotOpenCredit), u"200,00"_s);
    // The next year's January is the year carry-over's.
    QVERIFY(Cell(t, 1, 1, SlotOpenDebt, Year2026() + 1).isEmpty());
    QVERIFY(w.notes.isEmpty());
    // Every change is listed with what was there before.
    bool sawDecember = false;
    for (const CellChange& c : w.changes) {
        QCOMPARE(t.cell(c.row, c.col), c.after);
        QVERIFY(c.before != c.after);
        sawDecember = sawDecember || c.col == MonthColumn(Year2026(), 12, SlotCloseDebt);
    }
    QVERIFY(sawDecember);
}

void tst_PaymentsWriter::carriedJanuaryIsReported_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("slot"); // of next January that holds a balance; 0 none
    QTest::addColumn<QString>("note");
    QTest::newRow("debt carried") << 2026 << int(SlotOpenDebt)
                                  << u"Остатки на январь 2027 перенесены раньше: перенесите их "
                                     u"заново."_s;
    QTest::newRow("credit carried") << 2025 << int(SlotOpenCredit)
                                    << u"Остатки на январь 2026 перенесены раньше: перенесите "
                                       u"их заново."_s;
    QTest::newRow("nothing carried") << 2026 << 0 << QString();
    QTest::newRow("the last year") << 2027 << 0 << QString();
}

void tst_PaymentsWriter::carriedJanuaryIsReported() {
    QFETCH(int, year);
    QFETCH(int, slot);
    QFETCH(QString, note);
    SubscriberTable t = Charged();
    const int y = *YearIndex(QString::number(year));
    if (slot)
        t.setCell(2, MonthColumn(y + 1, 1, slot), u"5,00"_s);
    PaymentToWrite p = Pay(1, 12, 10000);
    p.yearIndex = y;
    PaymentJournal journal;
    const PaymentsWrite w = WritePayments(t, {p}, journal, Now);
    QCOMPARE(w.written, 1);
    QCOMPARE(w.notes, note.isEmpty() ? QStringList() : QStringList{note});
}

void tst_PaymentsWriter::undoRestoresTableAndJournal() {
    SubscriberTable t = Charged();
    t.setCell(1, MonthColumn(Year2026(), 5, SlotPaidIn), u"12"_s);
    PaymentJournal journal;
    journal.add(Pay(2, 1, 100, u"old"_s).entry);
    const QStringList before = AllCells(t);
    PaymentToWrite other = Pay(2, 6, 7000, u"2"_s);
    other.yearIndex = Year2026() - 1;
    const PaymentsWrite w = WritePayments(t, {Pay(1, 3, 30000), other}, journal, Now);
    QCOMPARE(journal.entries().size(), size_t(3));
    QVERIFY(AllCells(t) != before);
    UndoPaymentsWrite(t, journal, w);
    QCOMPARE(AllCells(t), before);
    QCOMPARE(journal.entries().size(), size_t(1));
    QCOMPARE(journal.entries()[0].number, u"old"_s);
    QVERIFY(!journal.find(KeyOf(Pay(1, 3, 30000).entry)));
}

void tst_PaymentsWriter::tickedPaymentsOfAStatement() {
    Doc a, b, c, d;
    a.number = u"1"_s, a.amount = u"1000.00"_s, a.purpose = u"уч 10 э/э"_s;
    b.number = u"2"_s, b.amount = u"1000,50"_s, b.purpose = u"уч 12 э/э"_s;
    b.payerAccount = u"40817810000000000202"_s;
    c.number = u"3"_s, c.amount = u"300.00"_s, c.purpose = u"э/э"_s, c.payer1 = u"НЕКТО"_s;
    d.number = u"4"_s, d.amount = u"45.00"_s, d.purpose = u"уч 12 э/э"_s;
    d.received = u"20.04.2026"_s;
    const BankStatementRead read = ParseBankStatement(Cp1251(Statement({a, b, c, d})));
    SubscriberTable t = Charged();
    // Payments of April were typed by hand as a text.
    t.setCell(2, MonthColumn(Year2026(), 4, SlotPaidIn), u"см. кассу"_s);
    PaymentJournal journal;
    journal.add(Pay(1, 1, 1, u"old"_s).entry); // not the first statement
    const StatementPayments payments =
        CollectStatementPayments(read.statement, OurAccount, t, journal);
    QCOMPARE(payments.incoming.size(), size_t(4));
    const StatementWrite w = WriteTickedPayments(t, read.statement, payments, journal, Now);
    QCOMPARE(w.summary, u"Записано платежей: 2 на сумму 2000,50 руб. Не записано: 2 на сумму "
                        u"345,00 руб.\nНе записано 45,00 руб.: у 2. Петров П. П. в «Внесено» за "
                        u"Апрель 2026 текст «см. кассу», а не число."_s);
    QCOMPARE(Cell(t, 1, 3, SlotPaidIn), u"1000,00"_s);
    QCOMPARE(Cell(t, 2, 3, SlotPaidIn), u"1000,50"_s);
    QCOMPARE(journal.entries().size(), size_t(3));
    const JournalEntry& e = journal.entries()[2];
    QCOMPARE(e.account, OurAccount);
    QCOMPARE(e.number, u"2"_s);
    QCOMPARE(e.dateText, u"14.03.2026"_s);
    QCOMPARE(e.payerAccount, u"40817810000000000202"_s);
    QCOMPARE(e.payerInn, b.payerInn);
    QCOMPARE(e.row, 2);
    // The same statement again finds both as loaded.
    const StatementPayments again =
        CollectStatementPayments(read.statement, OurAccount, t, journal);
    QCOMPARE(again.incoming[0].how, u"уже загружен 02.04.2026"_s);
    QCOMPARE(again.incoming[1].how, u"уже загружен 02.04.2026"_s);
    QVERIFY(!again.incoming[0].ticked && !again.incoming[1].ticked);
    // The refused one never reached the journal: it is offered again.
    QVERIFY(again.incoming[3].ticked);
    QCOMPARE(again.incoming[3].how, u"по участку 12"_s);
}

QTEST_GUILESS_MAIN(tst_PaymentsWriter)
#include "tst_PaymentsWriter.moc"
