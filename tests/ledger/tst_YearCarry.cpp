#include <QTest>

#include "core/SubscriberTable.h"
#include "ledger/BalanceCarryModel.h"
#include "ledger/YearCarry.h"

using namespace Qt::StringLiterals;

namespace {

// A table whose windows offer the years up to lastYear.
SubscriberTable Offering(int lastYear) {
    SubscriberTable t;
    t.setOfferedYears(OfferedYears(lastYear));
    return t;
}

} // namespace

class tst_YearCarry : public QObject {
    Q_OBJECT
private slots:
    void readingsIntoNextJanuary_data();
    void readingsIntoNextJanuary();
    void readingsFromTheLastYear_data();
    void readingsFromTheLastYear();
    void readingsFromAnUnknownYear();
    void balancesWrittenAsTyped();
    void clearedBalancesWriteEmpty();
};

void tst_YearCarry::readingsIntoNextJanuary_data() {
    QTest::addColumn<int>("year"); // index of the year carried from
    QTest::newRow("2017 into 2018") << 0;
    QTest::newRow("2024 into 2025") << 7;
    QTest::newRow("2026 into 2027") << 9;
}

void tst_YearCarry::readingsIntoNextJanuary() {
    QFETCH(int, year);
    const int next = year + 1;
    SubscriberTable t = Offering(2027);
    t.setSubscriberCount(2);
    for (int r = 1; r <= 2; ++r) {
        t.setCell(r, MonthColumn(year, 12, T1Current), u"1000%1"_s.arg(r));
        t.setCell(r, MonthColumn(year, 12, T2Current), u"500%1"_s.arg(r));
        t.setCell(r, MonthColumn(next, 1, T1Previous), u"old"_s);
        t.setCell(r, MonthColumn(next, 1, T2Previous), u"old"_s);
        t.setCell(r, MonthColumn(next, 1, T1Current), u"1100"_s);
        t.setCell(r, MonthColumn(next, 1, T2Current), u"600"_s);
    }
    t.setCell(3, MonthColumn(year, 12, T1Current), u"deleted"_s); // beyond the count
    const ReadingsCarry res = CarryReadings(t, YearText(year));
    QVERIFY(res.carried);
    QCOMPARE(res.title, u"Перенос выполнен!"_s);
    QCOMPARE(res.text, u"Перенос последних показаний с конца декабря "_s + YearText(year) +
                           u"г. на начало января "_s + YearText(next) + u" г. выполнен!"_s);
    for (int r = 1; r <= 2; ++r) {
        QCOMPARE(t.cell(r, MonthColumn(next, 1, T1Previous)), u"1000%1"_s.arg(r));
        QCOMPARE(t.cell(r, MonthColumn(next, 1, T2Previous)), u"500%1"_s.arg(r));
        QCOMPARE(t.cell(r, MonthColumn(next, 1, T1Current)), u"1100"_s);
        QCOMPARE(t.cell(r, MonthColumn(next, 1, T2Current)), u"600"_s);
        QCOMPARE(t.cell(r, MonthColumn(year, 12, T1Current)), u"1000%1"_s.arg(r));
    }
    QCOMPARE(t.cell(3, MonthColumn(next, 1, T1Previous)), QString());
    // Nothing lands in the head meter's row-1 cells of the next year.
    for (int k = 0; k < 4; ++k)
        QVERIFY(t.cell(HeadMeterRow, HeadMeterColumn(next, 1, k)).isEmpty());
}

void tst_YearCarry::readingsFromTheLastYear_data() {
    QTest::addColumn<int>("lastOffered");
    QTest::newRow("next year 2027") << 2027;
    QTest::newRow("data up to 2031") << 2031;
}

// Only the last offered year has nowhere to go; 2024 now carries on.
void tst_YearCarry::readingsFromTheLastYear() {
    QFETCH(int, lastOffered);
    const QString lastText = QString::number(lastOffered);
    SubscriberTable t = Offering(lastOffered);
    QVERIFY(NextYearIndex(t.offeredYears(), u"2024"_s));
    QVERIFY(!NextYearIndex(t.offeredYears(), lastText));
    t.setSubscriberCount(1);
    const int last = t.offeredYears().count() - 1;
    t.setCell(1, MonthColumn(last, 12, T1Current), u"123"_s);
    const SubscriberTable before = t;
    const ReadingsCarry res = CarryReadings(t, lastText);
    QVERIFY(!res.carried);
    QCOMPARE(res.title, lastText + u" - последний год действия программы."_s);
    QCOMPARE(res.text, u"Переносить некуда!"_s);
    for (int c = 1; c <= SubscriberTable::MaxCol; ++c)
        QCOMPARE(t.cell(1, c), before.cell(1, c));
}

void tst_YearCarry::readingsFromAnUnknownYear() {
    SubscriberTable t = Offering(2027);
    t.setSubscriberCount(1);
    const ReadingsCarry res = CarryReadings(t, u"2016"_s);
    QVERIFY(!res.carried);
    QVERIFY(res.title.isEmpty());
}

void tst_YearCarry::balancesWrittenAsTyped() {
    SubscriberTable t = Offering(2027);
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
    SubscriberTable t = Offering(2027);
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
