#include <QTest>

#include "core/SubscriberTable.h"
#include "readings/YearSheet.h"

using namespace Qt::StringLiterals;

namespace {

// "month:slot=text" for each cell, in order.
QStringList Describe(const std::vector<YearSheet::Cell>& cells) {
    QStringList out;
    for (const auto& c : cells)
        out << QString::number(c.month) + u':' + QString::number(c.slot) + u'=' + c.text;
    return out;
}

std::array<bool, 12> AllTicked() {
    std::array<bool, 12> a{};
    a.fill(true);
    return a;
}

// Two subscribers, 2019 (year index 2) offered.
SubscriberTable TwoSubscribers() {
    SubscriberTable t;
    t.setSubscriberCount(2);
    t.setCell(1, ColName, u"Иванов"_s);
    t.setCell(2, ColName, u"Петров"_s);
    t.setCell(1, ColMeterType, u"Меркурий"_s);
    return t;
}

} // namespace

class tst_YearSheet : public QObject {
    Q_OBJECT
private slots:
    void leavingACell_data();
    void leavingACell();
    void refillShowsTheRowsYearOnly();
    void computeStoresTheSheetAndChargesEverySubscriber();
    void yearNotOfferedStoresAndComputesNothing();
    void quickCopySlots_data();
    void quickCopySlots();
    void quickCopyReachesEverySubscriberOnly();
};

void tst_YearSheet::leavingACell_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("autofill");
    QTest::addColumn<bool>("copyTariff");
    // Cells shown before the cell is left, as "month:slot=text".
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("changed");

    const QStringList none;
    QTest::newRow("T1 reading fills next month's previous")
        << 3 << int(T1Current) << u"1500"_s << true << false << none << QStringList{u"4:2=1500"_s};
    QTest::newRow("T2 reading fills next month's previous")
        << 1 << int(T2Current) << u"700,5"_s << true << false << none
        << QStringList{u"2:4=700,5"_s};
    QTest::newRow("autofill off") << 3 << int(T1Current) << u"1500"_s << false << true << none
                                  << none;
    QTest::newRow("December has no next month")
        << 12 << int(T1Current) << u"1500"_s << true << false << none << none;
    QTest::newRow("a previous reading already there stays")
        << 3 << int(T1Current) << u"1500"_s << true << false << QStringList{u"4:2=1400"_s} << none;
    QTest::newRow("an empty reading fills nothing")
        << 3 << int(T1Current) << QString() << true << false << none << none;
    QTest::newRow("a previous reading fills nothing")
        << 3 << int(T1Previous) << u"1500"_s << true << true << none << none;
    QTest::newRow("January tariff 1 goes to the empty months")
        << 1 << int(Tariff1) << u"5,47"_s << false << true
        << QStringList{u"3:5=4,00"_s, u"12:5=6,00"_s}
        << QStringList{u"2:5=5,47"_s, u"4:5=5,47"_s, u"5:5=5,47"_s,  u"6:5=5,47"_s, u"7:5=5,47"_s,
                       u"8:5=5,47"_s, u"9:5=5,47"_s, u"10:5=5,47"_s, u"11:5=5,47"_s};
    QTest::newRow("January tariff 2 goes to the empty months")
        << 1 << int(Tariff2) << u"2,1"_s << true << true
        << QStringList{u"2:6=1"_s, u"3:6=1"_s, u"4:6=1"_s, u"5:6=1"_s,  u"6:6=1"_s,
                       u"7:6=1"_s, u"8:6=1"_s, u"9:6=1"_s, u"10:6=1"_s, u"11:6=1"_s}
        << QStringList{u"12:6=2,1"_s};
    QTest::newRow("tariff copy off")
        << 1 << int(Tariff1) << u"5,47"_s << true << false << none << none;
    QTest::newRow("a February tariff is not copied")
        << 2 << int(Tariff1) << u"5,47"_s << true << true << none << none;
    QTest::newRow("a coefficient is not copied")
        << 1 << int(CompCoef1) << u"1,05"_s << true << true << none << none;
}

void tst_YearSheet::leavingACell() {
    QFETCH(int, month);
    QFETCH(int, slot);
    QFETCH(QString, text);
    QFETCH(bool, autofill);
    QFETCH(bool, copyTariff);
    QFETCH(QStringList, before);
    QFETCH(QStringList, changed);

    YearSheet::Entries shown;
    for (const QString& cell : before) {
        const auto at = cell.split(u'=');
        const auto place = at[0].split(u':');
        shown[size_t(place[0].toInt() - 1)][size_t(place[1].toInt())] = at[1];
    }
    shown[size_t(month - 1)][size_t(slot)] = text;
    const YearSheet::Entries original = shown;

    const auto cells = YearSheet::leaveCell(shown, month, slot, {autofill, copyTariff});

    QCOMPARE(Describe(cells), changed);
    // The shown sheet took exactly the changes it reported.
    YearSheet::Entries expected = original;
    for (const auto& c : cells)
        expected[size_t(c.month - 1)][size_t(c.slot)] = c.text;
    QVERIFY(shown == expected);
}

void tst_YearSheet::refillShowsTheRowsYearOnly() {
    SubscriberTable t = TwoSubscribers();
    t.setCell(1, MonthColumn(2, 1, ReadingDate), u"31.01.19"_s);
    t.setCell(1, MonthColumn(2, 12, CompCoef2), u"1,1"_s);
    t.setCell(1, MonthColumn(2, 5, ChargeWithComp), u"99"_s); // computed, not an entry
    t.setCell(1, MonthColumn(3, 1, T1Current), u"2020 reading"_s);
    t.setCell(2, MonthColumn(2, 6, T1Current), u"Петров's reading"_s);

    const YearSheet sheet(t, 1, u"2019"_s);
    QVERIFY(sheet.yearOffered());
    QCOMPARE(sheet.meterType(), u"Меркурий"_s);
    YearSheet::Entries expected;
    expected[0][ReadingDate] = u"31.01.19"_s;
    expected[11][CompCoef2] = u"1,1"_s;
    QVERIFY(sheet.entries() == expected);

    const YearSheet notOffered(t, 1, u"2016"_s);
    QVERIFY(!notOffered.yearOffered());
    QVERIFY(notOffered.entries() == YearSheet::Entries());
}

void tst_YearSheet::computeStoresTheSheetAndChargesEverySubscriber() {
    SubscriberTable t = TwoSubscribers();
    // Petrov: 100 kWh at 5 with a coefficient of 1 in March.
    t.setCell(2, MonthColumn(2, 3, T1Current), u"200"_s);
    t.setCell(2, MonthColumn(2, 3, T1Previous), u"100"_s);
    t.setCell(2, MonthColumn(2, 3, Tariff1), u"5"_s);
    t.setCell(2, MonthColumn(2, 3, CompCoef1), u"1"_s);
    t.setCell(1, MonthColumn(2, 2, ReadingDate), u"stored date"_s);

    YearSheet::Entries shown;
    shown[1][ReadingDate] = u"28.02.19"_s;
    shown[1][T1Current] = u"150"_s;
    shown[1][T1Previous] = u"140"_s;
    shown[1][Tariff1] = u"2"_s;
    shown[1][CompCoef1] = u"1,5"_s;

    YearSheet sheet(t, 1, u"2019"_s);
    const auto display = sheet.compute(shown, AllTicked());
    QVERIFY(display.has_value());
    // Readings, tariffs and coefficients are stored; the date waits for a
    // store of the whole sheet.
    QCOMPARE(t.cell(1, MonthColumn(2, 2, T1Current)), u"150"_s);
    QCOMPARE(t.cell(1, MonthColumn(2, 2, CompCoef1)), u"1,5"_s);
    QCOMPARE(t.cell(1, MonthColumn(2, 2, ReadingDate)), u"stored date"_s);
    // 10 kWh at 2 with 1.5: 20 without and 30 with compensation.
    QCOMPARE(t.cell(1, MonthColumn(2, 2, ChargeWithComp)), u"30"_s);
    QCOMPARE(display->cells[1][0], u"10"_s);
    QCOMPARE(display->cells[1][4], u"30,00"_s);
    // The other subscriber's year is charged too.
    QCOMPARE(t.cell(2, MonthColumn(2, 3, ChargeWithComp)), u"500"_s);

    sheet.store(shown);
    QCOMPARE(t.cell(1, MonthColumn(2, 2, ReadingDate)), u"28.02.19"_s);
    QCOMPARE(t.cell(1, MonthColumn(2, 3, T1Current)), QString());
}

void tst_YearSheet::yearNotOfferedStoresAndComputesNothing() {
    SubscriberTable t = TwoSubscribers();
    const SubscriberTable before = t;
    YearSheet::Entries shown;
    shown[0][T1Current] = u"150"_s;
    YearSheet sheet(t, 1, u"1999"_s);
    QVERIFY(!sheet.compute(shown, AllTicked()).has_value());
    sheet.store(shown);
    sheet.copyToAllSubscribers(1, Tariff1, u"5"_s);
    for (int r = 0; r <= 2; ++r)
        for (int c = 1; c <= SubscriberTable::StoredCols; ++c)
            QCOMPARE(t.cell(r, c), before.cell(r, c));
}

void tst_YearSheet::quickCopySlots_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("offered");
    QTest::newRow("date") << int(ReadingDate) << true;
    QTest::newRow("T1 current") << int(T1Current) << false;
    QTest::newRow("T1 previous") << int(T1Previous) << false;
    QTest::newRow("T2 current") << int(T2Current) << false;
    QTest::newRow("T2 previous") << int(T2Previous) << false;
    QTest::newRow("tariff 1") << int(Tariff1) << true;
    QTest::newRow("tariff 2") << int(Tariff2) << true;
    QTest::newRow("coefficient 1") << int(CompCoef1) << true;
    QTest::newRow("coefficient 2") << int(CompCoef2) << true;
}

void tst_YearSheet::quickCopySlots() {
    QFETCH(int, slot);
    QFETCH(bool, offered);
    QCOMPARE(YearSheet::isQuickCopySlot(slot), offered);
}

void tst_YearSheet::quickCopyReachesEverySubscriberOnly() {
    SubscriberTable t = TwoSubscribers();
    YearSheet sheet(t, 1, u"2019"_s);
    sheet.copyToAllSubscribers(7, Tariff2, u"3,2"_s);
    QCOMPARE(t.cell(1, MonthColumn(2, 7, Tariff2)), u"3,2"_s);
    QCOMPARE(t.cell(2, MonthColumn(2, 7, Tariff2)), u"3,2"_s);
    // Neither the spare row nor a row past the subscribers.
    QCOMPARE(t.cell(0, MonthColumn(2, 7, Tariff2)), QString());
    QCOMPARE(t.cell(3, MonthColumn(2, 7, Tariff2)), QString());
    // Only that month and year.
    QCOMPARE(t.cell(2, MonthColumn(2, 8, Tariff2)), QString());
    QCOMPARE(t.cell(2, MonthColumn(3, 7, Tariff2)), QString());
}

QTEST_GUILESS_MAIN(tst_YearSheet)
#include "tst_YearSheet.moc"
