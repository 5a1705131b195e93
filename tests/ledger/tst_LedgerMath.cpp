#include <QTest>

#include "core/NumberText.h"
#include "ledger/LedgerMath.h"

using namespace Qt::StringLiterals;

class tst_LedgerMath : public QObject {
    Q_OBJECT
private slots:
    void loadText_data();
    void loadText();
    void twoDecimalRule_data();
    void twoDecimalRule();
    void editorText_data();
    void editorText();
    void computeRow_data();
    void computeRow();
    void nextCell_data();
    void nextCell();
    void ledgerColumn();
};

void tst_LedgerMath::loadText_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("whole") << u"5"_s << u"5,00"_s;
    QTest::newRow("many decimals") << u"123,456789"_s << u"123,46"_s;
    QTest::newRow("not a number") << u"abc"_s << u"abc"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("half away from zero") << u"2,675"_s << u"2,68"_s;
    QTest::newRow("negative") << u"-0,5"_s << u"-0,50"_s;
    QTest::newRow("below one") << u",5"_s << u"0,50"_s;
    QTest::newRow("zero") << u"0"_s << u"0,00"_s;
    QTest::newRow("no grouping") << u"1234567,1"_s << u"1234567,10"_s;
    QTest::newRow("already shown form") << u"-3,05"_s << u"-3,05"_s;
    QTest::newRow("leading zeros") << u"007,50"_s << u"7,50"_s;
    QTest::newRow("negative zero") << u"-0,00"_s << u"0,00"_s;
    QTest::newRow("point") << u"12.5"_s << u"12,50"_s;
    QTest::newRow("beyond 15 digits") << u"1234567890123456,78"_s << u"1234567890123460,00"_s;
}

void tst_LedgerMath::loadText() {
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(LedgerLoadText(stored), shown);
}

void tst_LedgerMath::twoDecimalRule_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("one decimal") << 12.5 << u"12,50"_s;
    QTest::newRow("whole negative") << -150.0 << u"-150,00"_s;
    QTest::newRow("three decimals kept") << 10.125 << u"10,125"_s;
    QTest::newRow("five decimals, ties to even") << 1.0000250 << u"1,00002"_s;
    QTest::newRow("zero is empty") << 0.0 << QString();
    QTest::newRow("tiny is empty") << 0.000001 << QString();
    QTest::newRow("binary noise") << 0.1 + 0.2 << u"0,30"_s;
}

void tst_LedgerMath::twoDecimalRule() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(LedgerText(value), text);
}

void tst_LedgerMath::editorText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("one decimal") << u"12,5"_s << u"12,50"_s;
    QTest::newRow("whole") << u"7"_s << u"7,00"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("two decimals") << u"1,25"_s << u"1,25"_s;
    QTest::newRow("three decimals") << u"3,125"_s << u"3,125"_s;
    QTest::newRow("line break with its partner") << u"12\r\n5"_s << u"125,00"_s;
    QTest::newRow("not a number kept") << u"abc"_s << u"abc,00"_s;
}

void tst_LedgerMath::editorText() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(LedgerEditorText(typed), stored);
}

void tst_LedgerMath::computeRow_data() {
    // Grid columns 1..10 (7 unused), the carried prepayment balance, then
    // columns 7, 11, 12 and 13.
    QTest::addColumn<QList<double>>("in");
    QTest::addColumn<double>("carried");
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<bool>("negative");
    const QList<double> empty(11, 0.0);
    QTest::newRow("empty row") << empty << 0.0 << QStringList{u""_s, u""_s, u""_s, u""_s} << false;
    auto row = [&](std::initializer_list<std::pair<int, double>> v) {
        QList<double> l = empty;
        for (auto [k, x] : v)
            l[k] = x;
        return l;
    };
    QTest::newRow("credit exceeds charges")
        << row({{LgOpenCredit, 200}, {LgElectricity, 150}}) << 0.0
        << QStringList{u"-50,00"_s, u""_s, u"50,00"_s, u""_s} << false;
    QTest::newRow("exact payment")
        << row({{LgElectricity, 100}, {LgElectrician, 20}, {LgPaidIn, 120}}) << 0.0
        << QStringList{u"120,00"_s, u""_s, u""_s, u""_s} << false;
    QTest::newRow("three decimals kept")
        << row({{LgElectricity, 10.125}}) << 0.0
        << QStringList{u"10,125"_s, u"10,125"_s, u""_s, u""_s} << false;
    QTest::newRow("every charge and income")
        << row({{LgOpenDebt, 20},
                {LgElectricity, 30},
                {LgPrepayment, 4},
                {LgElectrician, 5},
                {LgOtherCharge, 1.5},
                {LgPaidIn, 10},
                {LgIncome2, 3},
                {LgOtherIncome, 2}})
        << 0.0 << QStringList{u"60,50"_s, u"45,50"_s, u""_s, u"1,00"_s} << false;
    QTest::newRow("prepayment balance negative")
        << row({{LgPrepayment, 3}, {LgIncome2, 10}}) << 5.0
        << QStringList{u"3,00"_s, u""_s, u"7,00"_s, u"-2,00"_s} << true;
}

void tst_LedgerMath::computeRow() {
    QFETCH(QList<double>, in);
    QFETCH(double, carried);
    QFETCH(QStringList, out);
    QFETCH(bool, negative);
    double a[LedgerGridColumns] = {};
    for (int k = 1; k <= 10; ++k)
        a[k] = in[k];
    const LedgerRowResult r = ComputeLedgerRow(a, carried);
    QCOMPARE(QStringList({r.totalDue, r.closeDebt, r.closeCredit, r.prepayBalance}), out);
    QCOMPARE(r.prepayNegative, negative);
}

void tst_LedgerMath::nextCell_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("down");
    QTest::addColumn<int>("nextRow"); // -1: editing ends
    QTest::addColumn<int>("nextColumn");
    QTest::newRow("down") << 0 << 8 << true << 1 << 8;
    QTest::newRow("down, last row ends") << 2 << 8 << true << -1 << 0;
    QTest::newRow("right 5 to 6") << 1 << 5 << false << 1 << 6;
    QTest::newRow("right 6 to 8") << 1 << 6 << false << 1 << 8;
    QTest::newRow("right 8 to 10") << 1 << 8 << false << 1 << 10;
    QTest::newRow("right 10 wraps") << 1 << 10 << false << 2 << 5;
    QTest::newRow("right 10, last row ends") << 2 << 10 << false << -1 << 0;
    QTest::newRow("right on the last row") << 2 << 5 << false << 2 << 6;
    QTest::newRow("hidden 4 stays") << 1 << 4 << false << 1 << 4;
    QTest::newRow("hidden 9 stays") << 1 << 9 << false << 1 << 9;
}

void tst_LedgerMath::nextCell() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, down);
    QFETCH(int, nextRow);
    QFETCH(int, nextColumn);
    const auto next = NextLedgerCell({row, column}, 3, down);
    if (nextRow < 0) {
        QVERIFY(!next);
    } else {
        QVERIFY(next);
        QCOMPARE(next->row, nextRow);
        QCOMPARE(next->column, nextColumn);
    }
}

void tst_LedgerMath::ledgerColumn() {
    QCOMPARE(LedgerColumn(0, 1), 18);
    QCOMPARE(LedgerColumn(7, 12), 2115);
    QCOMPARE(MonthNumber(u"Декабрь"_s), 12);
    QVERIFY(!MonthNumber(u"декабрь"_s));
}

QTEST_GUILESS_MAIN(tst_LedgerMath)
#include "tst_LedgerMath.moc"
