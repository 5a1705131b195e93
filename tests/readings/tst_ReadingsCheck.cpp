#include <QTest>

#include "core/SubscriberTable.h"
#include "readings/ConsumptionChartData.h"
#include "readings/ReadingsCheck.h"
#include "readings/ReadingsCheckModel.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int Y2017 = 0, Y2018 = 1, Y2019 = 2;

// One tariff of one month: previous reading, current reading, tariff.
struct Reading {
    QString previous, current, tariff;
};

void put(SubscriberTable& t, int row, int y, int m, int tariff, const Reading& r) {
    const int base = tariff == 1 ? T1Current : T2Current;
    t.setCell(row, MonthColumn(y, m, base), r.current);
    t.setCell(row, MonthColumn(y, m, base + 1), r.previous);
    t.setCell(row, MonthColumn(y, m, tariff == 1 ? Tariff1 : Tariff2), r.tariff);
}

// Twelve months of one tariff, readings running on from `start` by the
// month's consumption.
void putYear(SubscriberTable& t, int row, int y, int tariff, double start,
             const std::array<double, 12>& used, const QString& price) {
    double reading = start;
    for (int m = 1; m <= 12; ++m) {
        const double next = reading + used[size_t(m - 1)];
        put(t, row, y, m, tariff, {QString::number(reading), QString::number(next), price});
        reading = next;
    }
}

// 2018 of four subscribers:
// 1: near misses only - equal readings in March, May exactly 3 times the median;
// 2: one case of each kind in T1, and a T2 meter read in only 3 months whose
//    third month would be a jump;
// 3: January against December 2017, December against January 2019, and a
//    jump of 9 times the median that stays below 100 kWh;
// 4: nothing. Row 5 is past the subscribers and holds a fault.
SubscriberTable fixtureYear() {
    SubscriberTable t;
    t.setSubscriberCount(4);
    for (int r = 1; r <= 5; ++r)
        t.setCell(r, ColName, u"Абонент %1"_s.arg(r));

    putYear(t, 1, Y2018, 1, 1000, {100, 100, 0, 100, 300, 100, 100, 100, 100, 100, 100, 100},
            u"5"_s);

    const Reading row2[12] = {
        {u"1000"_s, u"1150"_s, u"5"_s}, {u"1150"_s, u"1100"_s, u"5"_s}, // current below previous
        {u"1100"_s, u"1250"_s, u"5"_s}, {u"1260"_s, u"1400"_s, u"5"_s}, // gap: March ended at 1250
        {u"1400"_s, u""_s, u"5"_s},                                     // no current reading
        {u"1400"_s, u"1550"_s, u"5"_s}, {u"1550"_s, u"1700"_s, u""_s},  // no tariff
        {u"1700"_s, u"1850"_s, u"0"_s},                                 // zero tariff
        {u"1850"_s, u"2600"_s, u"5"_s}, // jump: 750 against a median of 150
        {u"2600"_s, u"2750"_s, u"5"_s}, {u"2750"_s, u"2900"_s, u"5"_s},
        {u"2900"_s, u"3050"_s, u"5"_s},
    };
    for (int m = 1; m <= 12; ++m)
        put(t, 2, Y2018, m, 1, row2[m - 1]);
    put(t, 2, Y2018, 1, 2, {u"300"_s, u"320"_s, u"2"_s});
    put(t, 2, Y2018, 2, 2, {u"320"_s, u"340"_s, u"2"_s});
    put(t, 2, Y2018, 3, 2, {u"340"_s, u"840"_s, u"2"_s});
    put(t, 2, Y2018, 4, 2, {u""_s, u""_s, u"2"_s}); // only March has a reading around it

    putYear(t, 3, Y2018, 1, 5000, {10, 10, 10, 10, 10, 90, 10, 10, 10, 10, 10, 0}, u"5"_s);
    t.setCell(3, MonthColumn(Y2018, 12, T1Current), QString());
    t.setCell(3, MonthColumn(Y2017, 12, T1Current), u"4990"_s);
    t.setCell(3, MonthColumn(Y2019, 1, T1Current), u"5200"_s);

    put(t, 5, Y2018, 2, 1, {u"900"_s, u"100"_s, u"5"_s});
    return t;
}

using K = FindingKind;

} // namespace

class tst_ReadingsCheck : public QObject {
    Q_OBJECT
private slots:
    void fixtureYearGivesExactlyItsFindings();
    void yearEndsWithoutNeighbours();
    void currentBelowPrevious_data();
    void currentBelowPrevious();
    void modelCountsFiltersAndKeepsLines();
    void chartData();
};

void tst_ReadingsCheck::fixtureYearGivesExactlyItsFindings() {
    const SubscriberTable t = fixtureYear();
    const std::vector<ReadingFinding> expected = {
        {2, 2, 1, K::CurrentBelowPrevious, T1Current, u"Т1: текущее 1100 < последнего 1150"_s},
        {2, 4, 1, K::Gap, T1Previous, u"Т1: последнее 1260, текущее за Март 1250"_s},
        {2, 5, 1, K::MissingReading, T1Current,
         u"Т1: тариф 5, текущего нет (Апрель 1400, Июнь 1550)"_s},
        {2, 7, 1, K::MissingTariff, Tariff1, u"Т1: расход 150 кВт*ч, тариф пуст"_s},
        {2, 8, 1, K::MissingTariff, Tariff1, u"Т1: расход 150 кВт*ч, тариф 0"_s},
        {2, 9, 1, K::Jump, T1Current, u"Т1: расход 750 кВт*ч, медиана года 150 кВт*ч"_s},
        {3, 1, 1, K::Gap, T1Previous, u"Т1: последнее 5000, текущее за Декабрь 2017 4990"_s},
        {3, 12, 1, K::MissingReading, T1Current,
         u"Т1: тариф 5, текущего нет (Ноябрь 5190, Январь 2019 5200)"_s},
    };
    const std::vector<ReadingFinding> found = CheckReadings(t, Y2018);
    for (size_t i = 0; i < std::min(found.size(), expected.size()); ++i) {
        const auto& f = found[i];
        QVERIFY2(
            f == expected[i],
            qPrintable(
                u"line %1: row %2 month %3 kind %4 \"%5\""_s.arg(i).arg(f.row).arg(f.month).arg(
                    FindingKindName(f.kind), f.values)));
    }
    QCOMPARE(found.size(), expected.size());
}

// January of the first offered year has no December before it, December of
// the last no January after it.
void tst_ReadingsCheck::yearEndsWithoutNeighbours() {
    SubscriberTable t;
    t.setSubscriberCount(1);
    const int first = 0, last = t.offeredYears().count() - 1;
    put(t, 1, first, 1, 1, {u"700"_s, u"800"_s, u"5"_s});
    put(t, 1, first, 2, 1, {u"800"_s, u"900"_s, u"5"_s});
    put(t, 1, last, 11, 1, {u"100"_s, u"200"_s, u"5"_s});
    put(t, 1, last, 12, 1, {u"200"_s, u""_s, u"5"_s});
    QVERIFY(CheckReadings(t, first).empty());
    QVERIFY(CheckReadings(t, last).empty());
    // The same December a year earlier, with a January after it, is a finding.
    put(t, 1, last - 1, 11, 1, {u"100"_s, u"200"_s, u"5"_s});
    put(t, 1, last - 1, 12, 1, {u"200"_s, u""_s, u"5"_s});
    put(t, 1, last, 1, 1, {u"200"_s, u"300"_s, u"5"_s});
    const auto found = CheckReadings(t, last - 1);
    QCOMPARE(found.size(), size_t(1));
    QCOMPARE(found[0].kind, K::MissingReading);
    QCOMPARE(found[0].month, 12);
}

void tst_ReadingsCheck::currentBelowPrevious_data() {
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<bool>("below");
    QTest::newRow("lower") << u"100"_s << u"150"_s << true;
    QTest::newRow("lower by a fraction") << u"99,5"_s << u"100"_s << true;
    QTest::newRow("equal") << u"150"_s << u"150"_s << false;
    QTest::newRow("higher") << u"151"_s << u"150"_s << false;
    QTest::newRow("current not typed yet") << u""_s << u"150"_s << false;
    QTest::newRow("no previous") << u"100"_s << u""_s << false;
    QTest::newRow("letters read as 0") << u"abc"_s << u"5"_s << true;
}

void tst_ReadingsCheck::currentBelowPrevious() {
    QFETCH(QString, current);
    QFETCH(QString, previous);
    QFETCH(bool, below);
    QCOMPARE(CurrentBelowPrevious(current, previous), below);
}

void tst_ReadingsCheck::modelCountsFiltersAndKeepsLines() {
    ReadingsCheckModel model;
    model.check(fixtureYear(), Y2018);
    const int counts[FindingKindCount] = {1, 2, 1, 2, 2};
    for (int k = 0; k < FindingKindCount; ++k)
        QCOMPARE(model.count(FindingKind(k)), counts[k]);
    QCOMPARE(model.rowCount(), 8);
    QCOMPARE(model.index(0, ReadingsCheckModel::ColName).data().toString(), u"Абонент 2"_s);
    QCOMPARE(model.index(0, ReadingsCheckModel::ColMonth).data().toString(), u"Февраль"_s);
    QCOMPARE(model.index(0, ReadingsCheckModel::ColKind).data().toString(),
             u"Текущее меньше последнего"_s);

    const ReadingFinding jump = model.finding(5);
    QCOMPARE(jump.kind, K::Jump);
    model.setKindShown(K::MissingTariff, false);
    model.setKindShown(K::Gap, false);
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.count(K::Gap), 2); // the counts stay those of the year
    QCOMPARE(model.lineOf(jump), 2);
    const QList<QStringList> texts = model.shownTexts();
    QCOMPARE(texts.size(), 4);
    QCOMPARE(texts[3],
             (QStringList{u"3"_s, u"Абонент 3"_s, u"Декабрь"_s, u"Нет показаний"_s,
                          u"Т1: тариф 5, текущего нет (Ноябрь 5190, Январь 2019 5200)"_s}));
    model.setKindShown(K::Jump, false);
    QCOMPARE(model.lineOf(jump), -1);
}

void tst_ReadingsCheck::chartData() {
    const SubscriberTable t = fixtureYear();
    const ConsumptionYear c = SubscriberConsumption(t, 2, u"2018"_s);
    const std::array<double, 12> t1 = {150, 0, 150, 140, 0, 150, 150, 150, 750, 150, 150, 150};
    QCOMPARE(c.t1, t1);
    QCOMPARE(c.t2[2], 500.0);
    QCOMPARE(c.totalT1, 2090.0);
    QCOMPARE(c.totalT2, 540.0);
    QCOMPARE(c.title, u"Абонент 2, 2018 г.: Т1 2090 кВт*ч, Т2 540 кВт*ч, всего 2630 кВт*ч"_s);
    QVERIFY(c.hasYearBefore);
    // The year before is T1 + T2 of the same months of 2017.
    const ConsumptionYear row3 = SubscriberConsumption(t, 3, u"2018"_s);
    QCOMPARE(row3.yearBefore[11], 4990.0);
    QCOMPARE(row3.yearBefore[0], 0.0);

    const ConsumptionYear first = SubscriberConsumption(t, 3, t.offeredYears().first());
    QVERIFY(!first.hasYearBefore);
    const ConsumptionYear unknown = SubscriberConsumption(t, 3, u"1999"_s);
    QCOMPARE(unknown.title, u"Абонент 3"_s);
    QCOMPARE(unknown.totalT1 + unknown.totalT2, 0.0);
}

QTEST_GUILESS_MAIN(tst_ReadingsCheck)
#include "tst_ReadingsCheck.moc"
