#include <QTest>

#include "storage/DatabaseFile.h"
#include "core/LineBreaks.h"
#include "core/SubscriberTable.h"
#include "readings/Charges.h"
#include "readings/EntryText.h"

using namespace Qt::StringLiterals;

namespace {

struct MonthInput {
    QString c1, p1, c2, p2, t1, t2, k1, k2;
};

void put(SubscriberTable& t, int row, int y, int m, const MonthInput& in) {
    const QString v[8] = {in.c1, in.p1, in.c2, in.p2, in.t1, in.t2, in.k1, in.k2};
    for (int s = 1; s <= 8; ++s)
        t.setCell(row, MonthColumn(y, m, s), v[s - 1]);
}

std::array<bool, 12> allTicked() {
    std::array<bool, 12> a{};
    a.fill(true);
    return a;
}

} // namespace

class tst_ReadingsLogic : public QObject {
    Q_OBJECT
private slots:
    void monthCharge_data();
    void monthCharge();
    void slot9ForEverySubscriberAndUntickedMonth();
    void spareRowIsComputedButNeverStored();
    void computationPutsStaleChargesRight_data();
    void computationPutsStaleChargesRight();
    void separatorRule_data();
    void separatorRule();
    void lineBreaks();
    void monthEndDates_data();
    void monthEndDates();
};

void tst_ReadingsLogic::monthCharge_data() {
    QTest::addColumn<QStringList>("inputs"); // c1 p1 c2 p2 t1 t2 k1 k2
    QTest::addColumn<QString>("d1");
    QTest::addColumn<QString>("d2");
    QTest::addColumn<QString>("money");
    QTest::addColumn<QString>("moneyComp");
    QTest::addColumn<QString>("slot9");
    QTest::newRow("road of one event")
        << QStringList{u"10625"_s, u"10500"_s, u""_s, u""_s, u"3,22"_s, u""_s, u"1"_s, u""_s}
        << u"125"_s << u"0"_s << u"402,50"_s << u"402,50"_s << u"402,5"_s;
    QTest::newRow("lower current reading counts nothing")
        << QStringList{u"100"_s, u"150"_s, u""_s, u""_s, u"3,22"_s, u""_s, u"1"_s, u"1"_s} << u"0"_s
        << u"0"_s << u"0,00"_s << u"0,00"_s << u"0"_s;
    QTest::newRow("empty previous reads as 0")
        << QStringList{u"150"_s, u""_s, u""_s, u""_s, u"2"_s, u""_s, u"1"_s, u""_s} << u"150"_s
        << u"0"_s << u"300,00"_s << u"300,00"_s << u"300"_s;
    QTest::newRow("empty coefficients: no charge for the ledger")
        << QStringList{u"200"_s, u"100"_s, u"50"_s, u"10"_s, u"5,47"_s, u"2,83"_s, u""_s, u""_s}
        << u"100"_s << u"40"_s << u"660,20"_s << u"0,00"_s << u"0"_s;
    QTest::newRow("six decimals, half to even")
        << QStringList{u"100,1234567"_s, u"0"_s, u""_s, u""_s, u"1"_s, u""_s, u"1"_s, u""_s}
        << u"100,123457"_s << u"0"_s << u"100,12"_s << u"100,12"_s << u"100,123457"_s;
    QTest::newRow("non-numeric tariff counts 0")
        << QStringList{u"200"_s, u"100"_s, u""_s, u""_s, u"пять"_s, u""_s, u"1"_s, u""_s}
        << u"100"_s << u"0"_s << u"0,00"_s << u"0,00"_s << u"0"_s;
    QTest::newRow("both registers with compensation")
        << QStringList{u"1200"_s, u"1000"_s, u"560"_s,      u"500"_s,
                       u"5,47"_s, u"2,83"_s, u"1,052632"_s, u"1,031"_s}
        << u"200"_s << u"60"_s << u"1263,80"_s << u"1326,64"_s << u"1326,643208"_s;
}

void tst_ReadingsLogic::monthCharge() {
    QFETCH(QStringList, inputs);
    QFETCH(QString, d1);
    QFETCH(QString, d2);
    QFETCH(QString, money);
    QFETCH(QString, moneyComp);
    QFETCH(QString, slot9);
    SubscriberTable t;
    t.setSubscriberCount(1);
    const int y = 2;
    put(t, 1, y, 3,
        {inputs[0], inputs[1], inputs[2], inputs[3], inputs[4], inputs[5], inputs[6], inputs[7]});
    const ChargeDisplay out = ComputeCharges(t, y, 1, allTicked());
    const auto& march = out.cells[2];
    QCOMPARE(march[0], d1);
    QCOMPARE(march[1], d2);
    QCOMPARE(march[2], money);
    QCOMPARE(march[4], moneyComp);
    QCOMPARE(t.cell(1, MonthColumn(y, 3, ChargeWithComp)), slot9);
    // The totals of a single filled month are that month.
    QCOMPARE(out.cells[12][4], moneyComp);
}

void tst_ReadingsLogic::slot9ForEverySubscriberAndUntickedMonth() {
    SubscriberTable t;
    t.setSubscriberCount(3);
    for (int r = 1; r <= 3; ++r) {
        put(t, r, 0, 1, {u"110"_s, u"100"_s, u""_s, u""_s, u"2"_s, u""_s, u"1"_s, u""_s});
        put(t, r, 0, 2,
            {QString::number(100 + 10 * r), u"100"_s, u""_s, u""_s, u"3"_s, u""_s, u"1"_s, u""_s});
    }
    auto ticked = allTicked();
    ticked[1] = false; // February left out
    const ChargeDisplay out = ComputeCharges(t, 0, 2, ticked);
    for (int r = 1; r <= 3; ++r) {
        QCOMPARE(t.cell(r, MonthColumn(0, 1, ChargeWithComp)), u"20"_s);
        QCOMPARE(t.cell(r, MonthColumn(0, 2, ChargeWithComp)), QString::number(30 * r));
    }
    for (const QString& cell : out.cells[1])
        QVERIFY(cell.isEmpty());
    QCOMPARE(out.cells[12][0], u"10"_s);
    QCOMPARE(out.cells[12][4], u"20,00"_s);
    // Other years are not touched.
    QVERIFY(t.cell(1, MonthColumn(1, 1, ChargeWithComp)).isEmpty());
}

void tst_ReadingsLogic::spareRowIsComputedButNeverStored() {
    SubscriberTable t;
    t.setSubscriberCount(1);
    put(t, 0, 0, 1, {u"50"_s, u"0"_s, u""_s, u""_s, u"2"_s, u""_s, u"1"_s, u""_s});
    const ChargeDisplay out = ComputeCharges(t, 0, 0, allTicked());
    QCOMPARE(out.cells[0][2], u"100,00"_s);
    QCOMPARE(t.cell(1, MonthColumn(0, 1, ChargeWithComp)), u"0"_s);
}

void tst_ReadingsLogic::computationPutsStaleChargesRight_data() {
    QTest::addColumn<int>("shownRow");
    QTest::addColumn<bool>("shownRowEdited");
    QTest::newRow("shown row as stored") << 2 << false;
    QTest::newRow("shown row edited") << 2 << true;
    QTest::newRow("spare row shown") << 0 << false;
}

void tst_ReadingsLogic::computationPutsStaleChargesRight() {
    QFETCH(int, shownRow);
    QFETCH(bool, shownRowEdited);
    // Three subscribers: one with its charges stored right, one stale, one
    // with none stored; and a stale charge in another year left alone.
    SubscriberTable table;
    table.setSubscriberCount(3);
    for (int r = 1; r <= 3; ++r)
        for (int m = 1; m <= 12; ++m)
            put(table, r, 0, m,
                {QString::number(100 + r * m), u"100"_s, u""_s, u""_s, u"2"_s, u""_s, u"1"_s,
                 u""_s});
    for (int m = 1; m <= 12; ++m) {
        table.setCell(1, MonthColumn(0, m, ChargeWithComp), QString::number(2 * m));
        table.setCell(2, MonthColumn(0, m, ChargeWithComp), u"999"_s);
    }
    table.setCell(3, MonthColumn(1, 1, ChargeWithComp), u"5"_s);
    put(table, 0, 0, 4, {u"130"_s, u"100"_s, u""_s, u""_s, u"2"_s, u""_s, u"1"_s, u""_s});

    if (shownRowEdited)
        put(table, shownRow, 0, 3,
            {u"400"_s, u"100"_s, u""_s, u""_s, u"3"_s, u""_s, u"1"_s, u""_s});
    auto ticked = allTicked();
    ticked[5] = false;
    const ChargeDisplay full = ComputeCharges(table, 0, shownRow, ticked);
    QCOMPARE(table.cell(1, MonthColumn(0, 4, ChargeWithComp)), u"8"_s);
    QCOMPARE(table.cell(2, MonthColumn(0, 5, ChargeWithComp)), u"20"_s);
    QCOMPARE(table.cell(3, MonthColumn(0, 1, ChargeWithComp)), u"6"_s);
    QCOMPARE(table.cell(3, MonthColumn(1, 1, ChargeWithComp)), u"5"_s);
    QCOMPARE(full.cells[2][4], shownRow == 0    ? u"0,00"_s
                               : shownRowEdited ? u"900,00"_s
                                                : u"12,00"_s);
    QCOMPARE(full.cells[3][4], shownRow == 0 ? u"60,00"_s : u"16,00"_s);
}

void tst_ReadingsLogic::separatorRule_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("shown");
    QTest::newRow("tariff point") << u"3.22"_s << 5 << u"3,22"_s;
    QTest::newRow("every point") << u"1.2.3"_s << 1 << u"1,2,3"_s;
    QTest::newRow("date commas") << u"31,01,17"_s << 0 << u"31.01.17"_s;
    QTest::newRow("date keeps points") << u"31.01.17"_s << 0 << u"31.01.17"_s;
    QTest::newRow("coefficient T2") << u"1.031"_s << 8 << u"1,031"_s;
    QTest::newRow("text untouched") << u"нет"_s << 3 << u"нет"_s;
}

void tst_ReadingsLogic::separatorRule() {
    QFETCH(QString, typed);
    QFETCH(int, slot);
    QFETCH(QString, shown);
    QCOMPARE(ApplySeparatorRule(typed, slot), shown);
}

void tst_ReadingsLogic::lineBreaks() {
    QCOMPARE(RemoveLineBreaks(u"106\r\n25"_s), u"10625"_s);
    QCOMPARE(RemoveLineBreaks(u"10625\r"_s), u"10625"_s);
    QCOMPARE(RemoveLineBreaks(u"a\rXb"_s), u"ab"_s);
    QCOMPARE(RemoveLineBreaks(u"a\nb"_s), u"a b"_s);
}

void tst_ReadingsLogic::monthEndDates_data() {
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("january");
    QTest::addColumn<QString>("february");
    QTest::addColumn<QString>("december");
    QTest::newRow("2017") << u"2017"_s << u"31.01.17"_s << u"28.02.17"_s << u"31.12.17"_s;
    QTest::newRow("2020 leap") << u"2020"_s << u"31.01.20"_s << u"29.02.20"_s << u"31.12.20"_s;
    QTest::newRow("2021") << u"2021"_s << u"31.01.21"_s << u"28.02.21"_s << u"31.12.21"_s;
    QTest::newRow("2024 leap") << u"2024"_s << u"31.01.24"_s << u"29.02.24"_s << u"31.12.24"_s;
    QTest::newRow("2025") << u"2025"_s << u"31.01.25"_s << u"28.02.25"_s << u"31.12.25"_s;
    QTest::newRow("2028 leap") << u"2028"_s << u"31.01.28"_s << u"29.02.28"_s << u"31.12.28"_s;
    QTest::newRow("2032 leap") << u"2032"_s << u"31.01.32"_s << u"29.02.32"_s << u"31.12.32"_s;
    QTest::newRow("2034") << u"2034"_s << u"31.01.34"_s << u"28.02.34"_s << u"31.12.34"_s;
}

void tst_ReadingsLogic::monthEndDates() {
    QFETCH(QString, year);
    QFETCH(QString, january);
    QFETCH(QString, february);
    QFETCH(QString, december);
    const auto d = MonthEndDates(year);
    QCOMPARE(d[0], january);
    QCOMPARE(d[1], february);
    QCOMPARE(d[11], december);
    QCOMPARE(d[3], u"30.04."_s + year.right(2));
}

QTEST_GUILESS_MAIN(tst_ReadingsLogic)
#include "tst_ReadingsLogic.moc"
