#include <QTest>

#include "StatementFixture.h"
#include "ledger/BankStatementParser.h"
#include "ledger/LedgerMath.h"
#include "ledger/StatementPayments.h"

using namespace Qt::StringLiterals;
using namespace StatementFixture;

namespace {

// Three members of a table that offers the years up to 2027.
SubscriberTable Members() {
    SubscriberTable t = MakeTable({{u"Иванов И. И."_s, u"10"_s},
                                   {u"Петров П. П."_s, u"12"_s},
                                   {u"Сидорова А. Б."_s, u"14"_s}});
    t.setOfferedYears(OfferedYears(2027));
    return t;
}

BankStatement Parse(const QString& text) {
    const BankStatementRead read = ParseBankStatement(Cp1251(text));
    if (read.failure != StatementFailure::None)
        qFatal("the fixture is not a statement");
    return read.statement;
}

Doc Payment(const QString& number, const QString& purpose, const QString& amount = u"100.00"_s) {
    Doc d;
    d.number = number;
    d.purpose = purpose;
    d.amount = amount;
    d.payer = d.payer1 = u"ФЁДОРОВ ФЁДОР"_s;
    return d;
}

JournalEntry Written(const QString& number, const QDate& day) {
    JournalEntry e;
    e.account = OurAccount;
    e.number = number;
    e.dateText = u"14.03.2026"_s;
    e.kopecks = 10000;
    e.payerAccount = Doc().payerAccount;
    e.row = 1;
    e.name = u"Иванов И. И."_s;
    e.month = 3;
    e.year = 2026;
    e.written = QDateTime(day, QTime(12, 0));
    return e;
}

} // namespace

class tst_StatementPayments : public QObject {
    Q_OBJECT
private slots:
    void chooseAccount_data();
    void chooseAccount();
    void incomingAndOutgoing();
    void rows_data();
    void rows();
    void emptyJournalLeavesPaidMonthsUnticked();
};

void tst_StatementPayments::chooseAccount_data() {
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("payee");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("refusal");
    const QStringList both = {OtherAccount, OurAccount};
    QTest::newRow("ours among two") << both << OurAccount << OurAccount << QString();
    QTest::newRow("payee with blanks")
        << both << u" "_s + OurAccount + u" "_s << OurAccount << QString();
    QTest::newRow("the only one, no details")
        << QStringList{OurAccount} << QString() << OurAccount << QString();
    QTest::newRow("another organisation's")
        << both << u"40703810000000000999"_s << QString()
        << u"Выписка по счёту "_s + OtherAccount + u", "_s + OurAccount +
               u", а в реквизитах получателя счёт 40703810000000000999: это выписка другой "
               u"организации."_s;
    QTest::newRow("two, no details")
        << both << QString() << QString()
        << u"В выписке несколько счетов: "_s + OtherAccount + u", "_s + OurAccount +
               u". Укажите свой счёт в реквизитах получателя."_s;
    QTest::newRow("none listed") << QStringList() << OurAccount << QString()
                                 << u"В выписке не указан расчётный счёт."_s;
}

void tst_StatementPayments::chooseAccount() {
    QFETCH(QStringList, listed);
    QFETCH(QString, payee);
    QFETCH(QString, account);
    QFETCH(QString, refusal);
    BankStatement st;
    st.accounts = listed;
    const StatementAccountChoice c = ChooseStatementAccount(st, payee);
    QCOMPARE(c.account, account);
    QCOMPARE(c.refusal, refusal);
}

// Only documents paid to our account are listed; what left it is counted; a
// document between two other accounts is neither. Daily sections add up.
void tst_StatementPayments::incomingAndOutgoing() {
    Doc in1 = Payment(u"1"_s, u"уч 10 электроэнергия"_s, u"100.00"_s);
    Doc in2 = Payment(u"2"_s, u"уч 12 электроэнергия"_s, u"250,50"_s);
    in2.payeeAccount.clear();
    const QString settlement = u"ПолучательРасчСчет="_s + OurAccount + u'\n';
    Doc out = Payment(u"3"_s, u"Оплата по счёту 5 за провода"_s, u"700.00"_s);
    out.payerAccount = OurAccount;
    out.payeeAccount = u"40702810000000000777"_s;
    Doc elsewhere = Payment(u"4"_s, u"уч 14"_s);
    elsewhere.payeeAccount = OtherAccount;
    QString text = Header(u"Windows"_s, {OurAccount, OtherAccount}) +
                   Section(OurAccount, u"1000.00"_s, u"100.00"_s, u"1100.00"_s) +
                   Section(OtherAccount, u"5.00"_s, u"100.00"_s, u"105.00"_s) +
                   Section(OurAccount, u"1100.00"_s, u"250.50"_s, u"650.50"_s) + DocText(in1);
    QString second = DocText(in2);
    second.replace(u"КонецДокумента"_s, settlement + u"КонецДокумента"_s);
    text += second + DocText(out) + DocText(elsewhere) + u"КонецФайла\n"_s;
    const BankStatement st = Parse(text);
    const SubscriberTable table = Members();
    const StatementPayments p = CollectStatementPayments(st, OurAccount, table, PaymentJournal());
    QCOMPARE(p.account, OurAccount);
    QCOMPARE(p.incoming.size(), size_t(2));
    QCOMPARE(st.documents[p.incoming[0].document].number, u"1"_s);
    QCOMPARE(st.documents[p.incoming[1].document].number, u"2"_s);
    QCOMPARE(p.incoming[1].row, 2);
    QCOMPARE(p.incomingKopecks, qint64(35050));
    QCOMPARE(p.outgoingCount, 1);
    QCOMPARE(p.outgoingKopecks, qint64(70000));
    QCOMPARE(p.opening, std::optional<qint64>(100000));
    QCOMPARE(p.received, std::optional<qint64>(35050));
    QCOMPARE(p.closing, std::optional<qint64>(65050));
}

void tst_StatementPayments::rows_data() {
    QTest::addColumn<QString>("purpose");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("journalNumber"); // a journal line of this number
    QTest::addColumn<bool>("setAside");         // that line is in a journal set aside
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("how");
    const QString e = u"уч 10 электроэнергия"_s;
    const QString day = u"14.03.2026"_s;
    QTest::newRow("found") << e << u"100.00"_s << day << day << QString() << false << 1 << 3 << 2026
                           << true << u"по участку 10"_s;
    QTest::newRow("received next month")
        << e << u"100.00"_s << u"31.03.2026"_s << u"01.04.2026"_s << QString() << false << 1 << 4
        << 2026 << true << u"по участку 10"_s;
    QTest::newRow("no received date: Дата")
        << e << u"100.00"_s << u"31.12.2026"_s << QString() << QString() << false << 1 << 12 << 2026
        << true << u"по участку 10"_s;
    QTest::newRow("before the offered years")
        << e << u"100.00"_s << u"29.12.2016"_s << QString() << QString() << false << 1 << 12 << 2016
        << false << u"2016 год вне лет программы (2017–2027)"_s;
    QTest::newRow("after the offered years")
        << e << u"100.00"_s << u"31.12.2027"_s << u"10.01.2028"_s << QString() << false << 1 << 1
        << 2028 << false << u"2028 год вне лет программы (2017–2027)"_s;
    QTest::newRow("unreadable sum") << e << u"сто"_s << day << day << QString() << false << 1 << 0
                                    << 0 << false << u"ошибка: сумма «сто» не читается"_s;
    QTest::newRow("not found") << u"электроэнергия"_s << u"100.00"_s << day << day << QString()
                               << false << 0 << 3 << 2026 << false << u"не найден"_s;
    QTest::newRow("a fee") << u"членский взнос уч 10"_s << u"100.00"_s << day << day << QString()
                           << false << 1 << 3 << 2026 << false
                           << u"по участку 10, не за электроэнергию?"_s;
    QTest::newRow("already loaded") << e << u"100.00"_s << day << day << u"1"_s << false << 1 << 3
                                    << 2026 << false << u"уже загружен 20.03.2026"_s;
    QTest::newRow("loaded before a restore")
        << e << u"100.00"_s << day << day << u"1"_s << true << 1 << 3 << 2026 << false
        << u"уже загружен 20.03.2026"_s;
    QTest::newRow("another document loaded") << e << u"100.00"_s << day << day << u"2"_s << false
                                             << 1 << 3 << 2026 << true << u"по участку 10"_s;
}

void tst_StatementPayments::rows() {
    QFETCH(QString, purpose);
    QFETCH(QString, amount);
    QFETCH(QString, date);
    QFETCH(QString, received);
    QFETCH(QString, journalNumber);
    QFETCH(bool, setAside);
    QFETCH(int, row);
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(bool, ticked);
    QFETCH(QString, how);
    Doc d = Payment(u"1"_s, purpose, amount);
    d.date = date;
    d.received = received;
    const BankStatement st = Parse(Statement({d}));
    SubscriberTable table = Members();
    // Something holds the journal, so the first-statement rule stays out of the way.
    PaymentJournal journal, aside;
    JournalEntry other = Written(u"other"_s, QDate(2026, 2, 1));
    other.payerAccount = u"40817810000000000999"_s;
    journal.add(other);
    if (!journalNumber.isEmpty()) {
        JournalEntry e = Written(journalNumber, QDate(2026, 3, 20));
        e.dateText = date;
        (setAside ? aside : journal).add(e);
    }
    const PaymentJournal* const asideList[] = {&aside};
    const StatementPayments p = CollectStatementPayments(st, OurAccount, table, journal, asideList);
    QCOMPARE(p.incoming.size(), size_t(1));
    const StatementPayment& r = p.incoming[0];
    QCOMPARE(r.how, how);
    QCOMPARE(r.row, row);
    QCOMPARE(r.month, month);
    QCOMPARE(r.year, year);
    QCOMPARE(r.ticked, ticked);
    QCOMPARE(r.canWrite(), !how.startsWith(u"ошибка"_s) && !how.contains(u"вне лет"_s));
    QCOMPARE(r.loadedBefore.isValid(), how.startsWith(u"уже загружен"_s));
}

// Payments typed by hand before the first statement: a month that holds a
// "Внесено" for the subscriber starts unticked while the journal is empty.
void tst_StatementPayments::emptyJournalLeavesPaidMonthsUnticked() {
    SubscriberTable table = Members();
    const int march2026 = *YearIndex(u"2026"_s);
    table.setCell(1, MonthColumn(march2026, 3, SlotPaidIn), u"100,00"_s);
    const BankStatement st =
        Parse(Statement({Payment(u"1"_s, u"уч 10 э/э"_s), Payment(u"2"_s, u"уч 12 э/э"_s)}));
    PaymentJournal journal;
    StatementPayments p = CollectStatementPayments(st, OurAccount, table, journal);
    QCOMPARE(p.incoming[0].row, 1);
    QVERIFY(!p.incoming[0].ticked);
    QCOMPARE(p.incoming[0].how, u"по участку 10"_s);
    QCOMPARE(PaidInNow(table, 1, march2026, 3), u"100,00"_s);
    QVERIFY(p.incoming[1].ticked);
    journal.add(Written(u"other"_s, QDate(2026, 2, 1)));
    p = CollectStatementPayments(st, OurAccount, table, journal);
    QVERIFY(p.incoming[0].ticked);
}

QTEST_GUILESS_MAIN(tst_StatementPayments)
#include "tst_StatementPayments.moc"
