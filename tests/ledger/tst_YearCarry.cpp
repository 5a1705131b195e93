#include <QTest>

#include "core/SubscriberTable.h"
#include "ledger/BalanceCarryModel.h"
#include "ledger/YearCarry.h"

using namespace Qt::StringLiterals;

class tst_YearCarry : public QObject {
    Q_OBJECT
private slots:
    void readingsIntoNextJanuary();
    void readingsFromTheLastYear();
    void readingsFromAnUnknownYear();
    void balancesWrittenAsTyped();
    void clearedBalancesWriteEmpty();
};

void tst_YearCarry::readingsIntoNextJanuary() {
    SubscriberTable t;
    t.setSubscriberCount(2);
    for (int r = 1; r <= 2; ++r) {
        t.setCell(r, MonthColumn(0, 12, T1Current), u"1000%1"_s.arg(r));
        t.setCell(r, MonthColumn(0, 12, T2Current), u"500%1"_s.arg(r));
        t.setCell(r, MonthColumn(1, 1, T1Previous), u"old"_s);
        t.setCell(r, MonthColumn(1, 1, T2Previous), u"old"_s);
        t.setCell(r, MonthColumn(1, 1, T1Current), u"1100"_s);
        t.setCell(r, MonthColumn(1, 1, T2Current), u"600"_s);
    }
    t.setCell(3, MonthColumn(0, 12, T1Current), u"deleted"_s); // beyond the count
    const ReadingsCarry res = CarryReadings(t, u"2017"_s);
    QVERIFY(res.carried);
    QCOMPARE(res.title, u"Перенос выполнен!"_s);
    QCOMPARE(
        res.text,
        u"Перенос последних показаний с конца декабря 2017г. на начало января 2018 г. выполнен!"_s);
    for (int r = 1; r <= 2; ++r) {
        QCOMPARE(t.cell(r, MonthColumn(1, 1, T1Previous)), u"1000%1"_s.arg(r));
        QCOMPARE(t.cell(r, MonthColumn(1, 1, T2Previous)), u"500%1"_s.arg(r));
        QCOMPARE(t.cell(r, MonthColumn(1, 1, T1Current)), u"1100"_s);
        QCOMPARE(t.cell(r, MonthColumn(1, 1, T2Current)), u"600"_s);
        QCOMPARE(t.cell(r, MonthColumn(0, 12, T1Current)), u"1000%1"_s.arg(r));
    }
    QCOMPARE(t.cell(3, MonthColumn(1, 1, T1Previous)), QString());
}

void tst_YearCarry::readingsFromTheLastYear() {
    SubscriberTable t;
    t.setSubscriberCount(1);
    const int last = int(YearTexts().size()) - 1;
    t.setCell(1, MonthColumn(last, 12, T1Current), u"123"_s);
    const SubscriberTable before = t;
    const ReadingsCarry res = CarryReadings(t, u"2024"_s);
    QVERIFY(!res.carried);
    QCOMPARE(res.title, u"2024 - последний год действия программы."_s);
    QCOMPARE(res.text, u"Переносить некуда!"_s);
    for (int c = 1; c <= SubscriberTable::MaxCol; ++c)
        QCOMPARE(t.cell(1, c), before.cell(1, c));
}

void tst_YearCarry::readingsFromAnUnknownYear() {
    SubscriberTable t;
    t.setSubscriberCount(1);
    const ReadingsCarry res = CarryReadings(t, u"2016"_s);
    QVERIFY(!res.carried);
    QVERIFY(res.title.isEmpty());
}

void tst_YearCarry::balancesWrittenAsTyped() {
    SubscriberTable t;
    t.setSubscriberCount(2);
    BalanceCarryModel m;
    m.setEntries({{u"1. А"_s, u"12.5"_s, QString()}, {u"2. Б"_s, QString(), u"7"_s}});
    m.write(t, 3);
    QCOMPARE(t.cell(1, MonthColumn(3, 1, 10)), u"12.5"_s);
    QCOMPARE(t.cell(1, MonthColumn(3, 1, 11)), QString());
    QCOMPARE(t.cell(2, MonthColumn(3, 1, 10)), QString());
    QCOMPARE(t.cell(2, MonthColumn(3, 1, 11)), u"7"_s);
    QCOMPARE(t.cell(2, MonthColumn(3, 2, 11)), QString()); // February untouched
}

void tst_YearCarry::clearedBalancesWriteEmpty() {
    SubscriberTable t;
    t.setSubscriberCount(2);
    for (int r = 1; r <= 2; ++r) {
        t.setCell(r, MonthColumn(5, 1, 10), u"40,00"_s);
        t.setCell(r, MonthColumn(5, 1, 11), u"3,00"_s);
    }
    BalanceCarryModel m;
    m.setEntries({{u"1. А"_s, u"1"_s, u"2"_s}, {u"2. Б"_s, u"3"_s, u"4"_s}});
    m.clearAmounts();
    QCOMPARE(m.text(1, BalanceCarryModel::Label), u"2. Б"_s);
    m.write(t, 5);
    for (int r = 1; r <= 2; ++r) {
        QCOMPARE(t.cell(r, MonthColumn(5, 1, 10)), QString());
        QCOMPARE(t.cell(r, MonthColumn(5, 1, 11)), QString());
    }
}

QTEST_GUILESS_MAIN(tst_YearCarry)
#include "tst_YearCarry.moc"
