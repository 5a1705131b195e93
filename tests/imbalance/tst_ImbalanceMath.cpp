#include <QTest>

#include "core/SubscriberTable.h"
#include "imbalance/ImbalanceMath.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int Year = 3; // 2020
constexpr int Month = 3;

// One month's readings of one subscriber: T1 current, T1 previous, T2 current,
// T2 previous, separated by ';'.
void putReadings(SubscriberTable& t, int row, int year, int month, const QString& readings) {
    const QStringList p = readings.split(u';');
    t.setCell(row, MonthColumn(year, month, T1Current), p.value(0));
    t.setCell(row, MonthColumn(year, month, T1Previous), p.value(1));
    t.setCell(row, MonthColumn(year, month, T2Current), p.value(2));
    t.setCell(row, MonthColumn(year, month, T2Previous), p.value(3));
}

} // namespace

class tst_ImbalanceMath final : public QObject {
    Q_OBJECT
private slots:
    void month_data();
    void month();
    void yearTotalsFromUnroundedValues();
    void countsSubscribersUpToTheCountOnly();
    void headMeterCellsRoundTrip_data();
    void headMeterCellsRoundTrip();
    void carryForward_data();
    void carryForward();
};

void tst_ImbalanceMath::month_data() {
    QTest::addColumn<QString>("head");         // the four head-meter texts, ';'
    QTest::addColumn<QStringList>("subs");     // one entry per subscriber
    QTest::addColumn<QString>("tariffs");      // subscriber 1's tariffs, ';'
    QTest::addColumn<QStringList>("expected"); // the month's 11 texts

    const auto row = [](const char* s) { return QString::fromUtf8(s).split(u' '); };
    //                      HeadT1 HeadT2 SubsT1 SubsT2 ImbT1 ImbT2 CoefT1 CoefT2 PayH PayS PayI
    QTest::newRow("head difference")
        << u"1500;1200;800;790"_s << QStringList{} << u";"_s
        << row("300,00 10,00 0,00 0,00 300,00 10,00 0,000000 0,000000 0,00 0,00 0,00");
    QTest::newRow("head current empty is never negative")
        << u";1200;;"_s << QStringList{} << u";"_s
        << row("0,00 0,00 0,00 0,00 0,00 0,00 0,000000 0,000000 0,00 0,00 0,00");
    QTest::newRow("head current below previous")
        << u"1100;1200;5;9"_s << QStringList{} << u";"_s
        << row("0,00 0,00 0,00 0,00 0,00 0,00 0,000000 0,000000 0,00 0,00 0,00");
    QTest::newRow("head text not a number")
        << u"abc;100;300,5;x"_s << QStringList{} << u";"_s
        << row("0,00 300,50 0,00 0,00 0,00 300,50 0,000000 0,000000 0,00 0,00 0,00");
    QTest::newRow("subscriber empty current, empty previous, lower current")
        << u"1000;860;;"_s << QStringList{u";800;;"_s, u"150;;;"_s, u"90;100;;"_s} << u";"_s
        << row("140,00 0,00 140,00 0,00 0,00 0,00 1,000000 0,000000 0,00 0,00 0,00");
    QTest::newRow("coefficient above 1")
        << u"2000;1000;;"_s << QStringList{u"1950;1000;;"_s} << u";"_s
        << row("1000,00 0,00 950,00 0,00 50,00 0,00 1,052632 0,000000 0,00 0,00 0,00");
    QTest::newRow("coefficient below 1")
        << u";;1900;1000"_s << QStringList{u";;2000;1000"_s} << u";"_s
        << row("0,00 900,00 0,00 1000,00 0,00 -100,00 0,000000 0,900000 0,00 0,00 0,00");
    QTest::newRow("subscribers' sum 0")
        << u"300;0;;"_s << QStringList{u"100;100;;"_s} << u";"_s
        << row("300,00 0,00 0,00 0,00 300,00 0,00 0,000000 0,000000 0,00 0,00 0,00");
    QTest::newRow("subscribers' sum negative")
        << u"1010;1000;;"_s << QStringList{u"90;100;;"_s} << u";"_s
        << row("10,00 0,00 -10,00 0,00 20,00 0,00 -1,000000 0,000000 0,00 0,00 0,00");
    QTest::newRow("money at subscriber 1's tariffs")
        << u"1000;0;500;0"_s << QStringList{u"950;0;480;0"_s} << u"4;2"_s
        << row("1000,00 500,00 950,00 480,00 50,00 20,00 1,052632 1,041667 5000,00 4760,00 "
               "240,00");
    QTest::newRow("fractional tariffs with a comma")
        << u"1000;0;500;0"_s << QStringList{u"950;0;480;0"_s} << u"5,57;3,22"_s
        << row("1000,00 500,00 950,00 480,00 50,00 20,00 1,052632 1,041667 7180,00 6837,10 "
               "342,90");
    QTest::newRow("T2 tariff empty")
        << u"1000;0;500;0"_s << QStringList{u"950;0;480;0"_s} << u"4;"_s
        << row("1000,00 500,00 950,00 480,00 50,00 20,00 1,052632 1,041667 0,00 0,00 0,00");
    QTest::newRow("T1 tariff not a number")
        << u"1000;0;500;0"_s << QStringList{u"950;0;480;0"_s} << u"руб;2"_s
        << row("1000,00 500,00 950,00 480,00 50,00 20,00 1,052632 1,041667 0,00 0,00 0,00");
    QTest::newRow("no subscribers")
        << u"1000;400;500;0"_s << QStringList{} << u"4;2"_s
        << row("600,00 500,00 0,00 0,00 600,00 500,00 0,000000 0,000000 3400,00 0,00 3400,00");
}

void tst_ImbalanceMath::month() {
    QFETCH(QString, head);
    QFETCH(QStringList, subs);
    QFETCH(QString, tariffs);
    QFETCH(QStringList, expected);

    SubscriberTable t;
    t.setSubscriberCount(int(subs.size()));
    for (int i = 0; i < subs.size(); ++i)
        putReadings(t, i + 1, Year, Month, subs[i]);
    const QStringList tar = tariffs.split(u';');
    t.setCell(1, MonthColumn(Year, Month, Tariff1), tar.value(0));
    t.setCell(1, MonthColumn(Year, Month, Tariff2), tar.value(1));

    HeadMeterTexts h;
    const QStringList hp = head.split(u';');
    for (int k = 0; k < 4; ++k)
        h[Month - 1][size_t(k)] = hp.value(k);

    const ImbalanceResults r = ComputeImbalance(t, Year, h);
    QStringList got;
    for (int c = 0; c < ImbCol::Count; ++c)
        got << r.texts[Month - 1][size_t(c)];
    QCOMPARE(got, expected);

    // The other months saw nothing.
    QCOMPARE(r.texts[Month][ImbCol::ImbT1], u"0,00"_s);
    QCOMPARE(r.texts[Month - 2][ImbCol::CoefT2], u"0,000000"_s);
}

void tst_ImbalanceMath::yearTotalsFromUnroundedValues() {
    // 1 kWh a month at 1,005: every month shows 1,01, the year 12,06 (not 12,12).
    SubscriberTable t;
    t.setSubscriberCount(1);
    HeadMeterTexts h;
    for (int m = 1; m <= 12; ++m) {
        t.setCell(1, MonthColumn(Year, m, Tariff1), u"1,005"_s);
        t.setCell(1, MonthColumn(Year, m, Tariff2), u"0"_s);
        putReadings(t, 1, Year, m, u"10,5;10;;"_s);
        h[size_t(m - 1)] = {u"%1"_s.arg(100 + m), u"%1"_s.arg(99 + m), u""_s, u""_s};
    }
    const ImbalanceResults r = ComputeImbalance(t, Year, h);
    constexpr int T = ImbalanceResults::TotalRow;
    QCOMPARE(r.texts[0][ImbCol::PayHead], u"1,01"_s);
    QCOMPARE(r.texts[T][ImbCol::PayHead], u"12,06"_s);
    QCOMPARE(r.texts[T][ImbCol::HeadT1], u"12,00"_s);
    QCOMPARE(r.texts[T][ImbCol::SubsT1], u"6,00"_s);
    QCOMPARE(r.texts[T][ImbCol::ImbT1], u"6,00"_s);
    QCOMPARE(r.texts[T][ImbCol::PaySubs], u"6,03"_s);
    QCOMPARE(r.texts[T][ImbCol::PayImb], u"6,03"_s);
    // The year has no coefficient.
    QVERIFY(r.texts[T][ImbCol::CoefT1].isEmpty());
    QVERIFY(r.texts[T][ImbCol::CoefT2].isEmpty());
    QCOMPARE(r.values[T][ImbCol::CoefT1], 0.0);
}

void tst_ImbalanceMath::countsSubscribersUpToTheCountOnly() {
    SubscriberTable t;
    t.setSubscriberCount(SubscriberTable::MaxRow);
    for (int r = 1; r <= SubscriberTable::MaxRow; ++r) {
        putReadings(t, r, Year, Month, u"11;10;;"_s);
        putReadings(t, r, Year + 1, Month, u"500;10;;"_s); // another year
    }
    HeadMeterTexts h;
    ImbalanceResults r = ComputeImbalance(t, Year, h);
    QCOMPARE(r.texts[Month - 1][ImbCol::SubsT1], u"501,00"_s);
    QCOMPARE(r.texts[Month - 1][ImbCol::ImbT1], u"-501,00"_s);

    // Rows above the count belong to no subscriber, even if they hold texts.
    t.setSubscriberCount(2);
    r = ComputeImbalance(t, Year, h);
    QCOMPARE(r.texts[Month - 1][ImbCol::SubsT1], u"2,00"_s);
}

void tst_ImbalanceMath::headMeterCellsRoundTrip_data() {
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("base");      // January's T1 current of the year
    QTest::addColumn<int>("nextYears"); // the same cell of the next year
    QTest::newRow("2019") << 2 << 2126 + 48 * 2 << 2126 + 48 * 3;
    QTest::newRow("2026") << 9 << 2827 + 264 << 2827 + 313 + 264;
}

void tst_ImbalanceMath::headMeterCellsRoundTrip() {
    QFETCH(int, y);
    QFETCH(int, base);
    QFETCH(int, nextYears);
    SubscriberTable t;
    t.setSubscriberCount(1);
    t.setCell(HeadMeterRow, base + 4 * 4 + 2, u"777"_s);  // May, T2 current
    t.setCell(HeadMeterRow, base + 4 * 11 + 3, u"old"_s); // December, T2 prev
    t.setCell(HeadMeterRow, nextYears, u"other year"_s);

    HeadMeterTexts h = LoadHeadMeter(t, y);
    QCOMPARE(h[4][2], u"777"_s);
    QCOMPARE(h[11][3], u"old"_s);
    QVERIFY(h[0][0].isEmpty());

    h[0][0] = u"1234,5"_s;
    h[11][3].clear(); // a cleared box clears its cell
    StoreHeadMeter(t, y, h);
    QCOMPARE(t.cell(HeadMeterRow, base), u"1234,5"_s);
    QCOMPARE(t.cell(HeadMeterRow, base + 4 * 4 + 2), u"777"_s);
    QVERIFY(t.cell(HeadMeterRow, base + 4 * 11 + 3).isEmpty());
    QCOMPARE(t.cell(HeadMeterRow, nextYears), u"other year"_s);
    QCOMPARE(t.cell(HeadMeterRow, base - 1), QString()); // the cell before untouched
}

void tst_ImbalanceMath::carryForward_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("nextPrevious");
    QTest::addColumn<bool>("copied");
    QTest::addColumn<QString>("after");

    QTest::newRow("T1 into empty") << 0 << 0 << u""_s << true << u"1500"_s;
    QTest::newRow("T2 into empty") << 5 << 2 << u""_s << true << u"1500"_s;
    QTest::newRow("filled is kept") << 0 << 0 << u"1490"_s << false << u"1490"_s;
    QTest::newRow("previous reading box") << 0 << 1 << u""_s << false << u""_s;
    QTest::newRow("November into December") << 10 << 0 << u""_s << true << u"1500"_s;
    QTest::newRow("December") << 11 << 0 << u""_s << false << u""_s;
}

void tst_ImbalanceMath::carryForward() {
    QFETCH(int, month);
    QFETCH(int, k);
    QFETCH(QString, nextPrevious);
    QFETCH(bool, copied);
    QFETCH(QString, after);

    HeadMeterTexts h;
    h[size_t(month)][size_t(k)] = u"1500"_s;
    const int next = std::min(month + 1, 11);
    const int target = (k == 0 || k == 2) ? k + 1 : k;
    if (next != month)
        h[size_t(next)][size_t(target)] = nextPrevious;
    const HeadMeterTexts before = h;

    QCOMPARE(CarryForward(h, month, k), copied);
    if (next != month)
        QCOMPARE(h[size_t(next)][size_t(target)], after);
    if (!copied)
        QVERIFY(h == before);

    // An empty current reading carries nothing.
    HeadMeterTexts empty;
    QVERIFY(!CarryForward(empty, month, k));
}

QTEST_GUILESS_MAIN(tst_ImbalanceMath)
#include "tst_ImbalanceMath.moc"
