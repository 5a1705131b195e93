#include <QTest>

#include "storage/PaymentJournal.h"
#include "support/JournalFixture.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(JournalEntry)

namespace {

JournalEntry Entry(int row, const QString& name, const QString& number = u"1"_s,
                   const QString& payerAccount = u"40817810000000000101"_s) {
    JournalEntry e = TestPayment(number, row, name);
    e.payerAccount = payerAccount;
    return e;
}

QList<int> Rows(const PaymentJournal& j) {
    QList<int> rows;
    for (const JournalEntry& e : j.entries())
        rows << e.row;
    return rows;
}

} // namespace

class tst_PaymentJournal : public QObject {
    Q_OBJECT
private slots:
    void textForm();
    void keepsUnreadableLines();
    void findsByKey_data();
    void findsByKey();
    void truncateUndoesAdds();
    void renumberAfterDelete_data();
    void renumberAfterDelete();
    void soleAccountOwners();
};

void tst_PaymentJournal::textForm() {
    PaymentJournal j;
    JournalEntry odd = Entry(12, u"Ёлкин\tС. С."_s, u"7\n8"_s);
    j.add(Entry(3, u"Сидорова А. Б."_s));
    j.add(odd);
    const QByteArray bytes = j.toBytes();
    QCOMPARE(QString::fromUtf8(bytes),
             u"40703810900000000001\t1\t14.03.2026\t1500,50\t40817810000000000101\t000000000001\t"
             u"3\tСидорова А. Б.\t3\t2026\t2026-03-20T09:05:07\n"
             u"40703810900000000001\t7 8\t14.03.2026\t1500,50\t40817810000000000101\t"
             u"000000000001\t12\tЁлкин С. С.\t3\t2026\t2026-03-20T09:05:07\n"_s);
    const PaymentJournal back = PaymentJournal::fromBytes(bytes);
    QVERIFY(back.unreadableLines().isEmpty());
    QCOMPARE(back.entries().size(), size_t(2));
    const JournalEntry& e = back.entries()[0];
    const JournalEntry want = Entry(3, u"Сидорова А. Б."_s);
    QCOMPARE(e.account, want.account);
    QCOMPARE(e.number, want.number);
    QCOMPARE(e.dateText, want.dateText);
    QCOMPARE(e.kopecks, want.kopecks);
    QCOMPARE(e.payerAccount, want.payerAccount);
    QCOMPARE(e.payerInn, want.payerInn);
    QCOMPARE(e.row, want.row);
    QCOMPARE(e.name, want.name);
    QCOMPARE(e.month, want.month);
    QCOMPARE(e.year, want.year);
    QCOMPARE(e.written, want.written);
    QCOMPARE(back.toBytes(), bytes);
    // CR LF line ends, as an editor on another system might leave them.
    QByteArray crlf = bytes;
    crlf.replace("\n", "\r\n");
    QCOMPARE(PaymentJournal::fromBytes(crlf).toBytes(), bytes);
}

void tst_PaymentJournal::keepsUnreadableLines() {
    PaymentJournal j;
    j.add(Entry(1, u"Иванов И. И."_s));
    const QByteArray good = j.toBytes();
    const QByteArray bad1 = "not a journal line";
    QByteArray bad2 = good.trimmed();
    bad2.replace("\t3\t2026\t", "\t13\t2026\t"); // month 13
    const PaymentJournal back =
        PaymentJournal::fromBytes(QByteArray(bad1 + "\n\n" + good + bad2 + "\n"));
    QCOMPARE(back.entries().size(), size_t(1));
    QCOMPARE(back.unreadableLines(),
             QStringList({QString::fromUtf8(bad1), QString::fromUtf8(bad2)}));
    QCOMPARE(back.toBytes(), QByteArray(good + bad1 + "\n" + bad2 + "\n"));
}

void tst_PaymentJournal::findsByKey_data() {
    QTest::addColumn<JournalEntry>("probe");
    QTest::addColumn<bool>("found");
    const JournalEntry same = Entry(2, u"Петров П. П."_s, u"6"_s);
    QTest::newRow("same document") << same << true;
    JournalEntry e = same;
    e.account = u"40702810500000000002"_s;
    QTest::newRow("another account") << e << false;
    e = same;
    e.number = u"60"_s;
    QTest::newRow("another number") << e << false;
    e = same;
    e.dateText = u"15.03.2026"_s;
    QTest::newRow("another date") << e << false;
    e = same;
    e.kopecks += 1;
    QTest::newRow("another amount") << e << false;
    e = same;
    e.payerAccount = u"40817810000000000102"_s;
    QTest::newRow("another payer account") << e << false;
    e = same;
    e.payerInn = u"999"_s;
    e.row = 7;
    QTest::newRow("another INN and row (not in the key)") << e << true;
}

void tst_PaymentJournal::findsByKey() {
    QFETCH(JournalEntry, probe);
    QFETCH(bool, found);
    PaymentJournal j;
    j.add(Entry(1, u"Иванов И. И."_s, u"5"_s));
    j.add(Entry(2, u"Петров П. П."_s, u"6"_s));
    const JournalEntry* e = j.find(KeyOf(probe));
    QCOMPARE(e != nullptr, found);
    if (e)
        QCOMPARE(e->name, u"Петров П. П."_s);
    // The same after a round trip through the text.
    QCOMPARE(PaymentJournal::fromBytes(j.toBytes()).find(KeyOf(probe)) != nullptr, found);
}

void tst_PaymentJournal::truncateUndoesAdds() {
    PaymentJournal j;
    j.add(Entry(1, u"Иванов И. И."_s, u"1"_s));
    const size_t before = j.entries().size();
    j.add(Entry(2, u"Петров П. П."_s, u"2"_s));
    QVERIFY(j.find(KeyOf(Entry(2, QString(), u"2"_s))));
    j.truncate(before);
    QCOMPARE(j.entries().size(), before);
    QVERIFY(!j.find(KeyOf(Entry(2, QString(), u"2"_s))));
    QVERIFY(j.find(KeyOf(Entry(1, QString(), u"1"_s))));
}

void tst_PaymentJournal::renumberAfterDelete_data() {
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QList<int>>("rows");
    // Lines of rows 1, 2, 3, 5 and one of a member deleted earlier.
    QTest::newRow("delete 2") << 2 << QList<int>({1, 0, 2, 4, 0});
    QTest::newRow("delete 5") << 5 << QList<int>({1, 2, 3, 0, 0});
    QTest::newRow("delete 4, no lines of its own") << 4 << QList<int>({1, 2, 3, 4, 0});
}

void tst_PaymentJournal::renumberAfterDelete() {
    QFETCH(int, deleted);
    QFETCH(QList<int>, rows);
    PaymentJournal j;
    const QStringList names = {u"А"_s, u"Б"_s, u"В"_s, u"Д"_s, u"Удалённый"_s};
    const QList<int> before = {1, 2, 3, 5, 0};
    for (int i = 0; i < before.size(); ++i)
        j.add(Entry(before[i], names[i], QString::number(i)));
    j.renumberAfterDelete(deleted);
    QCOMPARE(Rows(j), rows);
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(j.entries()[size_t(i)].name, names[i]);
    QCOMPARE(Rows(PaymentJournal::fromBytes(j.toBytes())), rows);
}

void tst_PaymentJournal::soleAccountOwners() {
    PaymentJournal j;
    const QString own = u"40817810000000000301"_s, shared = u"40817810000000000302"_s,
                  gone = u"40817810000000000303"_s;
    j.add(Entry(3, u"В"_s, u"1"_s, own));
    j.add(Entry(3, u"В"_s, u"2"_s, own));
    j.add(Entry(1, u"А"_s, u"3"_s, shared));
    j.add(Entry(2, u"Б"_s, u"4"_s, shared));
    j.add(Entry(0, u"Удалённый"_s, u"5"_s, gone));
    j.add(Entry(4, u"Г"_s, u"6"_s, QString()));
    const QHash<QString, int> owners = j.soleAccountOwners();
    QCOMPARE(owners, (QHash<QString, int>{{own, 3}}));
}

QTEST_GUILESS_MAIN(tst_PaymentJournal)
#include "tst_PaymentJournal.moc"
