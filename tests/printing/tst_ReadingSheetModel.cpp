#include <QTest>

#include "core/SubscriberTable.h"
#include "printing/ReadingSheetModel.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int Year2019 = 2;
constexpr int March = 3;

SubscriberTable subscribers(int n) {
    SubscriberTable t;
    t.setSubscriberCount(n);
    for (int i = 1; i <= n; ++i) {
        t.setCell(i, ColRowNumber, QString::number(i));
        t.setCell(i, ColName, u"Абонент %1"_s.arg(i));
        t.setCell(i, ColAddress, QString::number(100 + i));
        t.setCell(i, MonthColumn(Year2019, March, T1Previous), QString::number(1000 + i));
        t.setCell(i, MonthColumn(Year2019, March, T2Previous), QString::number(2000 + i));
        // February's readings and March's current ones must not appear.
        t.setCell(i, MonthColumn(Year2019, 2, T1Previous), u"9"_s);
        t.setCell(i, MonthColumn(Year2019, March, T1Current), u"8"_s);
    }
    return t;
}

} // namespace

class tst_ReadingSheetModel final : public QObject {
    Q_OBJECT
private slots:
    void pages_data();
    void pages();
    void rowsHoldThePreviousReadingsOfTheMonth();
    void emptyNameEndsPageOneWhenOpened();
    void columnWidthsFillTheGrid();
};

void tst_ReadingSheetModel::pages_data() {
    QTest::addColumn<int>("subscribers");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");

    QTest::newRow("63") << 63 << 1 << 1 << 1 << 63;
    QTest::newRow("64, page 2") << 64 << 2 << 2 << 64 << 64;
    QTest::newRow("70, page 1") << 70 << 1 << 2 << 1 << 63;
    QTest::newRow("70, page 2") << 70 << 2 << 2 << 64 << 70;
    QTest::newRow("126") << 126 << 2 << 2 << 64 << 126;
    QTest::newRow("127") << 127 << 3 << 3 << 127 << 127;
    QTest::newRow("501, page 8") << 501 << 8 << 8 << 442 << 501;
}

void tst_ReadingSheetModel::pages() {
    QFETCH(int, subscribers);
    QFETCH(int, page);
    QFETCH(int, pageCount);
    QFETCH(int, first);
    QFETCH(int, last);

    const SubscriberTable t = ::subscribers(subscribers);
    ReadingSheetModel m(t, u"2019"_s, March);
    QCOMPARE(m.pageCount(), pageCount);
    m.setPage(page, ReadingSheetModel::StopField::RowNumber);
    QCOMPARE(m.page(), page);
    QCOMPARE(m.rowCount(), last - first + 1);
    QCOMPARE(m.text(0, 0), QString::number(first));
    QCOMPARE(m.text(m.rowCount() - 1, 0), QString::number(last));
}

void tst_ReadingSheetModel::rowsHoldThePreviousReadingsOfTheMonth() {
    const SubscriberTable t = subscribers(3);
    ReadingSheetModel m(t, u"2019"_s, March);
    QCOMPARE(m.rowCount(), 3);
    for (int r = 0; r < 3; ++r) {
        const int i = r + 1;
        const QStringList expected = {QString::number(i),        u"Абонент %1"_s.arg(i),
                                      QString::number(100 + i),  QString(),
                                      QString::number(1000 + i), QString(),
                                      QString::number(2000 + i)};
        QStringList row;
        for (int c = 0; c < ReadingSheetModel::Columns; ++c)
            row << m.text(r, c);
        QCOMPARE(row, expected);
    }
    QCOMPARE(ReadingSheetModel::columnHeader(1), u"                Фамилия И. О."_s);
    QCOMPARE(ReadingSheetModel::columnHeader(2), u"  Адрес"_s);
}

void tst_ReadingSheetModel::emptyNameEndsPageOneWhenOpened() {
    SubscriberTable t = subscribers(70);
    t.setCell(20, ColName, QString());
    ReadingSheetModel m(t, u"2019"_s, March);
    QCOMPARE(m.rowCount(), 19);
    QCOMPARE(m.text(18, 0), u"19"_s);
    // A page button rebuilds the page by the row numbers.
    m.setPage(1, ReadingSheetModel::StopField::RowNumber);
    QCOMPARE(m.rowCount(), 63);
    QCOMPARE(m.text(19, 1), QString());
}

void tst_ReadingSheetModel::columnWidthsFillTheGrid() {
    QCOMPARE(ReadingSheetModel::columnWidth(6), 1610);
    int total = 0;
    for (int c = 0; c < ReadingSheetModel::Columns; ++c)
        total += ReadingSheetModel::columnWidth(c);
    QCOMPARE(total, ReadingSheetModel::GridWidth - 80);
}

QTEST_GUILESS_MAIN(tst_ReadingSheetModel)
#include "tst_ReadingSheetModel.moc"
