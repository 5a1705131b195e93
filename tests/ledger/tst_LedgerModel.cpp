#include <QTest>

#include "core/SubscriberTable.h"
#include "ledger/LedgerMath.h"
#include "ledger/LedgerModel.h"

using namespace Qt::StringLiterals;

namespace {

int Slot(int year, int month, int slot) {
    return MonthColumn(year, month, slot);
}

SubscriberTable MakeTable(int n) {
    SubscriberTable t;
    t.setSubscriberCount(n);
    const QStringList names = {u"Иванов И. И."_s, u"Петров П. П."_s, u"Сидорова А. Б."_s,
                               u"Иваненко В. В."_s};
    for (int r = 1; r <= n; ++r) {
        t.setCell(r, ColRowNumber, QString::number(r));
        t.setCell(r, ColName, names.at((r - 1) % names.size()));
    }
    return t;
}

} // namespace

class tst_LedgerModel : public QObject {
    Q_OBJECT
private slots:
    void fillLoadsShownForm();
    void unknownYearFallsBack();
    void emptyRowsSumToZero();
    void sums();
    void saveStoresWhatIsShown();
    void carry_data();
    void carry();
    void carryKeepsHeadMeterReading();
    void typedHiddenValueCountsButIsNotStored();
    void prepaymentBalanceOpening();
    void searchAndHighlight();
};

void tst_LedgerModel::fillLoadsShownForm() {
    SubscriberTable t = MakeTable(2);
    t.setCell(1, Slot(1, 3, 9), u"5"_s);
    t.setCell(1, Slot(1, 3, 10), u"123,456789"_s);
    t.setCell(1, Slot(1, 3, 14), u"abc"_s);
    t.setCell(1, Slot(1, 3, 17), u"3"_s);
    t.setCell(1, Slot(1, 3, 15), u"999"_s); // computed, never loaded
    LedgerModel m(t);
    const auto loc = m.fill(u"2018"_s, 3);
    QCOMPARE(loc.ledgerCol, 18 + 265 + 44);
    QVERIFY(!loc.fellBack);
    QCOMPARE(m.rowCount(), 2);
    QCOMPARE(m.columnCount(), 14);
    QCOMPARE(m.text(0, LgLabel), u"1. Иванов И. И."_s);
    QCOMPARE(m.text(0, LgElectricity), u"5,00"_s);
    QCOMPARE(m.text(0, LgOpenDebt), u"123,46"_s);
    QCOMPARE(m.text(0, LgOtherCharge), u"abc"_s);
    QCOMPARE(m.text(0, LgIncome2), u"3,00"_s);
    QCOMPARE(m.text(0, LgTotalDue), QString());
    QCOMPARE(m.text(1, LgElectricity), QString());
}

void tst_LedgerModel::unknownYearFallsBack() {
    SubscriberTable t = MakeTable(1);
    t.setCell(1, Slot(0, 1, 9), u"7"_s);
    LedgerModel m(t);
    const auto loc = m.fill(u"2031"_s, 5);
    QVERIFY(loc.fellBack);
    QCOMPARE(loc.ledgerCol, 18);
    QCOMPARE(loc.month, 1);
    QCOMPARE(loc.yearIndex, 0);
    QCOMPARE(m.text(0, LgElectricity), u"7,00"_s);
}

void tst_LedgerModel::emptyRowsSumToZero() {
    SubscriberTable t = MakeTable(3);
    LedgerModel m(t);
    m.fill(u"2017"_s, 1);
    m.compute();
    for (int c : {LgTotalDue, LgCloseDebt, LgCloseCredit, LgPrepayBalance})
        QCOMPARE(m.text(1, c), QString());
    for (int k = 0; k < 12; ++k)
        QCOMPARE(m.sums()[size_t(k)], u"0,00"_s);
    QCOMPARE(m.sums()[12], u"0"_s); // the prepayment sum is left unformatted
}

void tst_LedgerModel::sums() {
    SubscriberTable t = MakeTable(3);
    const int y = 2, mo = 6;
    t.setCell(1, Slot(y, mo, 9), u"10,1"_s);
    t.setCell(2, Slot(y, mo, 9), u"20,2"_s);
    t.setCell(3, Slot(y, mo, 9), u"x"_s); // adds nothing
    t.setCell(1, Slot(y, mo, 16), u"40"_s);
    t.setCell(2, Slot(y, mo, 17), u"2,5"_s);
    LedgerModel m(t);
    m.fill(YearText(y), mo);
    m.compute();
    QCOMPARE(m.sums()[LgElectricity - 1], u"30,30"_s);
    QCOMPARE(m.sums()[LgTotalDue - 1], u"30,30"_s);
    QCOMPARE(m.sums()[LgPaidIn - 1], u"40,00"_s);
    QCOMPARE(m.sums()[LgCloseDebt - 1], u"17,70"_s);   // row 2: 20,2 - 2,5
    QCOMPARE(m.sums()[LgCloseCredit - 1], u"29,90"_s); // row 1: 40 - 10,1
    QCOMPARE(m.sums()[12], u"-2,5"_s);
}

void tst_LedgerModel::saveStoresWhatIsShown() {
    SubscriberTable t = MakeTable(1);
    const int y = 0, mo = 4;
    t.setCell(1, Slot(y, mo, 9), u"123,456789"_s);
    t.setCell(1, Slot(y, mo, 16), u"123,46"_s);
    t.setCell(1, Slot(y, mo, 19), u"999"_s);   // a stale closing debt
    t.setCell(1, Slot(y, mo, 12), u"1,234"_s); // hidden slot keeps its text
    t.setCell(1, Slot(y, mo, 13), u"abc"_s);
    LedgerModel m(t);
    m.fill(u"2017"_s, mo);
    m.compute();
    m.save();
    QCOMPARE(t.cell(1, Slot(y, mo, 9)), u"123,46"_s);
    QCOMPARE(t.cell(1, Slot(y, mo, 12)), u"1,234"_s);
    QCOMPARE(t.cell(1, Slot(y, mo, 13)), u"abc"_s);
    QCOMPARE(t.cell(1, Slot(y, mo, 15)), u"124,69"_s); // 123,46 + 1,23
    QCOMPARE(t.cell(1, Slot(y, mo, 19)), u"1,23"_s);
    QCOMPARE(t.cell(1, Slot(y, mo, 20)), QString());
}

void tst_LedgerModel::carry_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<bool>("carries");
    QTest::newRow("January") << 0 << 1 << true;
    QTest::newRow("November into December") << 3 << 11 << true;
    QTest::newRow("December carries nothing") << 3 << 12 << false;
}

void tst_LedgerModel::carry() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(bool, carries);
    SubscriberTable t = MakeTable(2);
    t.setCell(1, Slot(year, month, 9), u"50"_s);  // closes with a debt
    t.setCell(2, Slot(year, month, 16), u"30"_s); // closes with a credit
    t.setCell(2, Slot(year, month, 21), u"4"_s);
    // What lies in the cells the carry would reach.
    const int nextYear = month == 12 ? year + 1 : year;
    const int nextMonth = month == 12 ? 1 : month + 1;
    for (int r = 1; r <= 2; ++r)
        for (int s : {10, 11, 21})
            t.setCell(r, Slot(nextYear, nextMonth, s), u"old"_s);
    LedgerModel m(t);
    m.fill(YearText(year), month);
    m.compute();
    m.save();
    const auto next = [&](int r, int s) { return t.cell(r, Slot(nextYear, nextMonth, s)); };
    if (carries) {
        QCOMPARE(next(1, 10), u"50,00"_s);
        QCOMPARE(next(1, 11), QString());
        QCOMPARE(next(2, 10), QString());
        QCOMPARE(next(2, 11), u"30,00"_s);
        QCOMPARE(next(2, 21), u"4"_s);
        QCOMPARE(next(1, 21), QString());
    } else {
        for (int r = 1; r <= 2; ++r)
            for (int s : {10, 11, 21})
                QCOMPARE(next(r, s), u"old"_s);
    }
}

void tst_LedgerModel::carryKeepsHeadMeterReading() {
    SubscriberTable t = MakeTable(2);
    const int last = 7; // 2024
    const int shared = HeadMeterColumn(0, 1, 0);
    QCOMPARE(Slot(last, 12, 21), shared);
    t.setCell(1, shared, u"10625"_s); // the head meter's first reading
    t.setCell(1, Slot(last, 11, 21), u"77"_s);
    t.setCell(1, Slot(last, 11, 9), u"10"_s);
    t.setCell(2, Slot(last, 11, 21), u"88"_s);
    LedgerModel m(t);
    m.fill(YearText(last), 11);
    m.compute();
    m.save();
    QCOMPARE(t.cell(1, shared), u"10625"_s);
    QCOMPARE(t.cell(1, Slot(last, 12, 10)), u"10,00"_s); // the rest of the carry happens
    QCOMPARE(t.cell(2, shared), u"88"_s);                // other rows carry as usual

    // From 2025 on no ledger cell is shared: row 1 carries into December.
    t.setOfferedYears(OfferedYears(2027));
    t.setCell(1, Slot(8, 11, 21), u"55"_s);
    m.fill(u"2025"_s, 11);
    m.compute();
    m.save();
    QCOMPARE(t.cell(1, Slot(8, 12, 21)), u"55"_s);
    QCOMPARE(t.cell(1, shared), u"10625"_s);
}

void tst_LedgerModel::typedHiddenValueCountsButIsNotStored() {
    SubscriberTable t = MakeTable(1);
    const int mo = 2;
    t.setCell(1, Slot(0, mo, 9), u"100"_s);
    t.setCell(1, Slot(0, mo, 12), u"5"_s);
    LedgerModel m(t);
    m.fill(u"2017"_s, mo);
    m.setText(0, LgPrepayment, u"10,00"_s);
    m.setText(0, LgIncome2, u"40,00"_s);
    m.compute();
    m.save();
    QCOMPARE(t.cell(1, Slot(0, mo, 15)), u"110,00"_s);
    QCOMPARE(t.cell(1, Slot(0, mo, 19)), u"70,00"_s);
    QCOMPARE(t.cell(1, Slot(0, mo, 12)), u"5"_s);
    QCOMPARE(t.cell(1, Slot(0, mo, 17)), QString());
    m.fill(u"2017"_s, mo);
    m.compute();
    QCOMPARE(m.text(0, LgTotalDue), u"105,00"_s);
    QCOMPARE(m.text(0, LgCloseDebt), u"105,00"_s);
}

void tst_LedgerModel::prepaymentBalanceOpening() {
    SubscriberTable t = MakeTable(1);
    t.setCell(1, Slot(0, 1, 21), u"5"_s);
    t.setCell(1, Slot(0, 1, 12), u"3"_s);
    t.setCell(1, Slot(0, 1, 15), u"1000"_s); // the total due never opens the balance
    LedgerModel m(t);
    m.fill(u"2017"_s, 1);
    m.compute();
    QCOMPARE(m.text(0, LgPrepayBalance), u"8,00"_s);
    m.save();
    QCOMPARE(t.cell(1, Slot(0, 2, 21)), u"5"_s);
    t.setCell(1, Slot(0, 2, 17), u"9"_s);
    m.fill(u"2017"_s, 2);
    m.compute();
    QCOMPARE(m.text(0, LgPrepayBalance), u"-4,00"_s); // 5 - 9
    QVERIFY(m.prepayNegative(0));
    QCOMPARE(m.data(m.index(0, LgPrepayBalance), LedgerModel::NegativeRole).toBool(), true);
}

void tst_LedgerModel::searchAndHighlight() {
    SubscriberTable t = MakeTable(4);
    LedgerModel m(t);
    m.fill(u"2017"_s, 1);
    using Mark = LedgerModel::RowMark;
    auto marks = [&] {
        QList<Mark> l;
        for (int r = 0; r < m.rowCount(); ++r)
            l << m.rowMark(r);
        return l;
    };
    auto res = m.search(u"ИВАН"_s);
    QCOMPARE(res.hits, 2);
    QCOMPARE(res.firstRow, 0);
    QCOMPARE(marks(), (QList<Mark>{Mark::Found, Mark::None, Mark::None, Mark::Found}));
    res = m.search(u"петров"_s);
    QCOMPARE(res.hits, 1);
    QCOMPARE(res.firstRow, 1);
    QCOMPARE(marks(), (QList<Mark>{Mark::None, Mark::Found, Mark::None, Mark::None}));
    res = m.search(u"нет такого"_s);
    QCOMPARE(res.hits, 0);
    QCOMPARE(marks(), (QList<Mark>(4, Mark::None)));

    m.highlightRow(2);
    m.highlightRow(3);
    QCOMPARE(marks(), (QList<Mark>{Mark::None, Mark::None, Mark::None, Mark::Highlight}));
    QCOMPARE(m.data(m.index(3, LgCloseCredit), LedgerModel::MarkRole).toInt(),
             int(Mark::Highlight));
    QCOMPARE(m.data(m.index(3, LgPrepayBalance), LedgerModel::MarkRole).toInt(), int(Mark::None));
    m.clearRows(Mark::Highlight);
    QCOMPARE(marks(), (QList<Mark>(4, Mark::None)));
}

QTEST_GUILESS_MAIN(tst_LedgerModel)
#include "tst_LedgerModel.moc"
