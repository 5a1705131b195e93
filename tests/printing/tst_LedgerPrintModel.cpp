#include <QTest>

#include "core/SubscriberTable.h"
#include "printing/LedgerPrintModel.h"
#include "core/YearLayout.h"

using namespace Qt::StringLiterals;

namespace {

SubscriberTable subscribers(int n) {
    SubscriberTable t;
    t.setSubscriberCount(n);
    for (int i = 1; i <= n; ++i) {
        t.setCell(i, ColRowNumber, QString::number(i));
        t.setCell(i, ColName, u"Абонент %1"_s.arg(i));
    }
    return t;
}

} // namespace

class tst_LedgerPrintModel final : public QObject {
    Q_OBJECT
private slots:
    void pages_data();
    void pages();
    void columnsComeFromTheLedgerSlots();
    void sumsRowAddsTheColumns();
    void emptyNameEndsThePage();
    void ledgerColumnFallsBackToJanuary2017_data();
    void ledgerColumnFallsBackToJanuary2017();
};

void tst_LedgerPrintModel::pages_data() {
    QTest::addColumn<int>("subscribers");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("firstSubscriber");
    QTest::addColumn<int>("sumsRow"); // -1: none

    QTest::newRow("10, sums after the last") << 10 << 1 << 1 << 11 << 1 << 10;
    QTest::newRow("39, full page, no sums") << 39 << 1 << 1 << 39 << 1 << -1;
    QTest::newRow("40, page 1 full") << 40 << 1 << 2 << 39 << 1 << -1;
    QTest::newRow("40, page 2 one and sums") << 40 << 2 << 2 << 2 << 40 << 1;
    QTest::newRow("78, last page full") << 78 << 2 << 2 << 39 << 40 << -1;
    QTest::newRow("501, page 13") << 501 << 13 << 13 << 34 << 469 << 33;
    QTest::newRow("none") << 0 << 1 << 1 << 1 << 0 << 0;
}

void tst_LedgerPrintModel::pages() {
    QFETCH(int, subscribers);
    QFETCH(int, page);
    QFETCH(int, pageCount);
    QFETCH(int, rows);
    QFETCH(int, firstSubscriber);
    QFETCH(int, sumsRow);

    const SubscriberTable t = ::subscribers(subscribers);
    LedgerPrintModel m(t, LedgerColumn(u"2019"_s, 3));
    QCOMPARE(m.pageCount(), pageCount);
    m.setPage(page);
    QCOMPARE(m.rowCount(), rows);
    for (int r = 0; r < rows; ++r) {
        QCOMPARE(m.isSumsRow(r), r == sumsRow);
        if (r != sumsRow) {
            QCOMPARE(m.text(r, 0), QString::number(firstSubscriber + r));
            QCOMPARE(m.text(r, 1), u"Абонент %1"_s.arg(firstSubscriber + r));
        }
    }
    if (sumsRow >= 0) {
        QCOMPARE(m.text(sumsRow, 0), u" "_s);
        QCOMPARE(m.text(sumsRow, 1), u"      Сумма столбцов:"_s);
    }
}

void tst_LedgerPrintModel::columnsComeFromTheLedgerSlots() {
    SubscriberTable t = subscribers(1);
    const int col = LedgerColumn(u"2019"_s, 3);
    QCOMPARE(col, 18 + 265 * 2 + 22 * 2);
    // Slot s holds the text "s" so the printed order of the slots shows.
    for (int s = 9; s <= 21; ++s)
        t.setCell(1, col - 10 + s, QString::number(s));
    LedgerPrintModel m(t, col);
    QStringList printed;
    for (int c = 2; c < LedgerPrintModel::Columns; ++c)
        printed << m.text(0, c);
    QCOMPARE(printed, (QStringList{u"10"_s, u"11"_s, u"9"_s, u"13"_s, u"14"_s, u"15"_s, u"16"_s,
                                   u"18"_s, u"19"_s, u"20"_s}));
}

void tst_LedgerPrintModel::sumsRowAddsTheColumns() {
    SubscriberTable t = subscribers(3);
    const int col = LedgerColumn(u"2024"_s, 12);
    const auto set = [&](int row, int slot, const QString& v) {
        t.setCell(row, col - 10 + slot, v);
    };
    set(1, 9, u"100,25"_s);
    set(2, 9, u"50,5"_s);
    set(3, 9, u"не число"_s);
    set(1, 15, u"10,125"_s);
    set(2, 15, u"-20,00"_s);
    set(1, 18, u"300,00"_s); // the income "Прочее" is never summed on paper
    set(3, 20, u"7"_s);
    // Column 2 of a subscriber beyond the count does not count.
    t.setCell(4, col, u"1000"_s);

    const QStringList sums = LedgerPrintModel::sumsRow(t, col);
    QCOMPARE(sums, (QStringList{u" "_s, u"      Сумма столбцов:"_s, u"0,00"_s, u"0,00"_s,
                                u"150,75"_s, u"0,00"_s, u"0,00"_s, u"-9,88"_s, u"0,00"_s, QString(),
                                u"0,00"_s, u"7,00"_s}));
}

void tst_LedgerPrintModel::emptyNameEndsThePage() {
    SubscriberTable t = subscribers(10);
    t.setCell(5, ColName, QString());
    LedgerPrintModel m(t, 18);
    QCOMPARE(m.rowCount(), 5);
    QVERIFY(m.isSumsRow(4));
    QCOMPARE(m.text(3, 0), u"4"_s);
}

void tst_LedgerPrintModel::ledgerColumnFallsBackToJanuary2017_data() {
    QTest::addColumn<QString>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("column");
    QTest::newRow("first") << u"2017"_s << 1 << 18;
    QTest::newRow("December 2024") << u"2024"_s << 12 << 2115;
    QTest::newRow("January 2025") << u"2025"_s << 1 << 2524;
    QTest::newRow("December 2027") << u"2027"_s << 12 << 2514 + 626 + 242 + 10;
    QTest::newRow("last of the layout") << u"2099"_s << 12 << 2514 + 313 * 74 + 242 + 10;
    QTest::newRow("past the layout") << u"2100"_s << 5 << 18;
    QTest::newRow("no month") << u"2020"_s << 0 << 18;
    QTest::newRow("month 13") << u"2020"_s << 13 << 18;
}

void tst_LedgerPrintModel::ledgerColumnFallsBackToJanuary2017() {
    QFETCH(QString, year);
    QFETCH(int, month);
    QFETCH(int, column);
    QCOMPARE(LedgerColumn(year, month), column);
}

QTEST_GUILESS_MAIN(tst_LedgerPrintModel)
#include "tst_LedgerPrintModel.moc"
