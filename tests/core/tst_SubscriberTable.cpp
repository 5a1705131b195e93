#include <algorithm>
#include <stdexcept>

#include <QTest>

#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

class tst_SubscriberTable : public QObject {
    Q_OBJECT
private slots:
    void monthColumn_data();
    void monthColumn();
    void headMeterColumn_data();
    void headMeterColumn();
    void headMeterAreaMeetsDecember2024Once();
    void laterYearBlocksHoldEachCellOnce();
    void yearIndex_data();
    void yearIndex();
    void offeredYears_data();
    void offeredYears();
    void laterYearCellsGrowARowByWholeYears();
    void findRowByName_data();
    void findRowByName();
    void findRowByNameIgnoresRowsAboveCount();
    void freshTableIsEmptyEverywhere();
    void overwriteKeepsNeighbours_data();
    void overwriteKeepsNeighbours();
    void manyRewritesOfOneCellStayBounded();
    void copyIsIndependent();
    void rowsBeyondCountKeepTheirTexts();
    void indexOutsideTheTableIsRefused();
    void fullTableStaysNearItsTextSize();
};

void tst_SubscriberTable::monthColumn_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("column");
    QTest::newRow("Jan 2017 date") << 0 << 1 << 0 << 8;
    QTest::newRow("Jan 2017 charge") << 0 << 1 << int(ChargeWithComp) << 17;
    QTest::newRow("Dec 2017 slot 21") << 0 << 12 << 21 << 271;
    QTest::newRow("Jan 2018 date") << 1 << 1 << 0 << 273;
    QTest::newRow("Dec 2017 slot 15 = 265*(y+1)") << 0 << 12 << 15 << 265;
    QTest::newRow("Jan 2024 date") << 7 << 1 << 0 << 1863;
    QTest::newRow("Dec 2024 slot 21") << 7 << 12 << 21 << 2126;
    QTest::newRow("Jan 2025 date") << 8 << 1 << 0 << 2514;
    QTest::newRow("Jan 2025 ledger") << 8 << 1 << 10 << 2524;
    QTest::newRow("Dec 2025 slot 21") << 8 << 12 << 21 << 2777;
    QTest::newRow("Jan 2026 date") << 9 << 1 << 0 << 2827;
    QTest::newRow("Mar 2027 charge") << 10 << 3 << int(ChargeWithComp) << 2514 + 626 + 44 + 9;
    QTest::newRow("Dec 2099 slot 21") << 82 << 12 << 21 << 2514 + 313 * 74 + 263;
}

void tst_SubscriberTable::monthColumn() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, slot);
    QFETCH(int, column);
    QCOMPARE(MonthColumn(year, month, slot), column);
}

void tst_SubscriberTable::headMeterColumn_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("column");
    QTest::newRow("Jan 2017 T1 current") << 0 << 1 << 0 << 2126;
    QTest::newRow("Jan 2017 T2 previous") << 0 << 1 << 3 << 2129;
    QTest::newRow("Feb 2017 T1 current") << 0 << 2 << 0 << 2130;
    QTest::newRow("Jan 2018 T1 current") << 1 << 1 << 0 << 2174;
    QTest::newRow("Dec 2024 T2 previous") << 7 << 12 << 3 << 2509;
    QTest::newRow("Jan 2025 T1 current") << 8 << 1 << 0 << 2778;
    QTest::newRow("Dec 2025 T2 previous") << 8 << 12 << 3 << 2825;
    QTest::newRow("Jan 2026 T1 current") << 9 << 1 << 0 << 2827 + 264;
}

void tst_SubscriberTable::headMeterColumn() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, k);
    QFETCH(int, column);
    QCOMPARE(HeadMeterColumn(year, month, k), column);
}

// The head-meter area and the month blocks share exactly one column; every
// other head-meter cell lies past the last month block and inside the stored
// part of a line.
void tst_SubscriberTable::headMeterAreaMeetsDecember2024Once() {
    const int lastMonthCol = MonthColumn(YearLayout::LegacyYearCount - 1, 12, 21);
    QSet<int> seen;
    for (int y = 0; y < YearLayout::LegacyYearCount; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int k = 0; k < 4; ++k) {
                const int c = HeadMeterColumn(y, m, k);
                QVERIFY2(!seen.contains(c), qPrintable(u"column %1 used twice"_s.arg(c)));
                seen.insert(c);
                QVERIFY(c >= lastMonthCol);
                QVERIFY(c <= SubscriberTable::StoredCols);
            }
    QCOMPARE(seen.size(), 384);
    QVERIFY(seen.contains(lastMonthCol));
}

// A later year's block holds its 264 month slots and 48 head-meter cells once
// each and one unused column, and no two blocks overlap.
void tst_SubscriberTable::laterYearBlocksHoldEachCellOnce() {
    QSet<int> seen;
    for (int y = YearLayout::LegacyYearCount; y < YearLayout::YearCount; ++y) {
        const int first = YearLayout::BlockStart(y);
        QSet<int> block;
        for (int m = 1; m <= 12; ++m) {
            for (int s = 0; s < 22; ++s)
                block.insert(MonthColumn(y, m, s));
            for (int k = 0; k < 4; ++k)
                block.insert(HeadMeterColumn(y, m, k));
        }
        QCOMPARE(block.size(), 312);
        QCOMPARE(*std::min_element(block.begin(), block.end()), first);
        QCOMPARE(*std::max_element(block.begin(), block.end()), first + 311);
        QCOMPARE(YearLayout::LastColumnUpTo(y), first + 312);
        QCOMPARE(YearLayout::YearOfColumn(first), y);
        QCOMPARE(YearLayout::YearOfColumn(first + 312), y);
        QVERIFY(!seen.intersects(block));
        seen.unite(block);
    }
    QCOMPARE(YearLayout::BlockStart(8), SubscriberTable::StoredCols + 1);
    QCOMPARE(YearLayout::LastColumnUpTo(YearLayout::YearCount - 1), SubscriberTable::MaxCol);
    QCOMPARE(YearLayout::YearOfColumn(SubscriberTable::StoredCols), -1);
    QVERIFY(IsSharedHeadMeterCell(HeadMeterRow, MonthColumn(7, 12, 21)));
    QVERIFY(!IsSharedHeadMeterCell(HeadMeterRow, MonthColumn(8, 12, 21)));
    QVERIFY(!IsSharedHeadMeterCell(2, MonthColumn(7, 12, 21)));
}

void tst_SubscriberTable::yearIndex_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");   // -1: none
    QTest::addColumn<int>("offered"); // by a table as made, -1: none
    QTest::newRow("first") << u"2017"_s << 0 << 0;
    QTest::newRow("last of the first eight") << u"2024"_s << 7 << 7;
    QTest::newRow("before") << u"2016"_s << -1 << -1;
    QTest::newRow("after the offered") << u"2025"_s << 8 << -1;
    QTest::newRow("last of the layout") << u"2099"_s << 82 << -1;
    QTest::newRow("past the layout") << u"2100"_s << -1 << -1;
    QTest::newRow("spaces are not trimmed") << u" 2018"_s << -1 << -1;
    QTest::newRow("trailing space") << u"2018 "_s << -1 << -1;
    QTest::newRow("sign") << u"+2018"_s << -1 << -1;
    QTest::newRow("not a number") << u"20l8"_s << -1 << -1;
    QTest::newRow("empty") << u""_s << -1 << -1;
}

// Every year the layout holds has an index, whatever a table offers.
void tst_SubscriberTable::yearIndex() {
    QFETCH(QString, text);
    QFETCH(int, index);
    QFETCH(int, offered);
    const auto got = YearIndex(text);
    QCOMPARE(got.value_or(-1), index);
    if (got)
        QCOMPARE(YearText(*got), text);
    const SubscriberTable t;
    QCOMPARE(t.offeredYears().count(), 8);
    QCOMPARE(t.offeredYears().indexOf(text).value_or(-1), offered);
}

void tst_SubscriberTable::offeredYears_data() {
    QTest::addColumn<int>("currentYear");
    QTest::addColumn<int>("dataColumn"); // 0: nothing after 2024
    QTest::addColumn<int>("lastOffered");
    QTest::addColumn<QString>("text"); // "1" unless told
    QTest::newRow("December 2026") << 2026 << 0 << 2027 << u"1"_s;
    QTest::newRow("clock before 2024") << 2019 << 0 << 2024 << u"1"_s;
    QTest::newRow("clock in 2024") << 2024 << 0 << 2025 << u"1"_s;
    QTest::newRow("data in 2030") << 2026 << MonthColumn(13, 1, T1Current) << 2030 << u"1"_s;
    QTest::newRow("head meter of 2031") << 2026 << HeadMeterColumn(14, 12, 3) << 2031 << u"1"_s;
    QTest::newRow("data before next year") << 2026 << MonthColumn(8, 5, 1) << 2027 << u"1"_s;
    QTest::newRow("unused column of 2029")
        << 2026 << YearLayout::LastColumnUpTo(12) << 2029 << u"1"_s;
    // A year only looked at holds computed zero charges, no data.
    QTest::newRow("zero charge of 2030")
        << 2026 << MonthColumn(13, 1, ChargeWithComp) << 2027 << u"0"_s;
    QTest::newRow("zero charge as money")
        << 2026 << MonthColumn(13, 12, ChargeWithComp) << 2027 << u"0,00"_s;
    QTest::newRow("a charge of 2030")
        << 2026 << MonthColumn(13, 1, ChargeWithComp) << 2030 << u"12,5"_s;
    QTest::newRow("clock far ahead") << 2150 << 0 << 2099 << u"1"_s;
}

void tst_SubscriberTable::offeredYears() {
    QFETCH(int, currentYear);
    QFETCH(int, dataColumn);
    QFETCH(int, lastOffered);
    QFETCH(QString, text);
    SubscriberTable t;
    t.setSubscriberCount(3);
    t.setCell(1, MonthColumn(7, 12, 1), u"2024"_s);
    if (dataColumn)
        t.setCell(3, dataColumn, text);
    // Row 0 and rows past the count are not in the file.
    t.setCell(0, MonthColumn(40, 1, 1), u"1"_s);
    t.setCell(4, MonthColumn(40, 1, 1), u"1"_s);
    QCOMPARE(YearLayout::LastYearToOffer(currentYear, t), lastOffered);

    t.setOfferedYears(OfferedYears(lastOffered));
    const OfferedYears& offered = t.offeredYears();
    const QString last = QString::number(lastOffered);
    QCOMPARE(offered.count(), lastOffered - 2016);
    QCOMPARE(offered.first(), u"2017"_s);
    QCOMPARE(offered.last(), last);
    QCOMPARE(offered.texts().size(), offered.count());
    QCOMPARE(offered.indexOf(last), lastOffered - 2017);
    QCOMPARE(YearIndex(last), lastOffered - 2017);
    QCOMPARE(YearText(lastOffered - 2017), last);
    QVERIFY(!offered.indexOf(QString::number(lastOffered + 1)));
    QVERIFY(!offered.offers(lastOffered + 1 - 2017));
    // A copy of the table offers the same years.
    const SubscriberTable copy = t;
    QCOMPARE(copy.offeredYears().last(), last);
}

// Writing a later year's cell gives the row room for that whole year only; an
// empty write makes no room at all.
void tst_SubscriberTable::laterYearCellsGrowARowByWholeYears() {
    SubscriberTable t;
    t.setCell(5, MonthColumn(20, 1, 0), QString());
    QCOMPARE(t.heldColumns(5), 0);
    t.setCell(5, ColName, u"Иванов"_s);
    QCOMPARE(t.heldColumns(5), SubscriberTable::StoredCols);
    const std::size_t legacy = t.memoryBytes();
    t.setCell(5, MonthColumn(10, 6, 9), u"125,5"_s);
    QCOMPARE(t.heldColumns(5), YearLayout::LastColumnUpTo(10));
    QCOMPARE(t.cell(5, MonthColumn(10, 6, 9)), u"125,5"_s);
    QCOMPARE(t.cell(5, ColName), u"Иванов"_s);
    QVERIFY(t.cell(5, MonthColumn(9, 6, 9)).isEmpty());
    QVERIFY(t.cell(5, SubscriberTable::MaxCol).isEmpty());
    QVERIFY(t.memoryBytes() < legacy + 3 * 313 * 8);
    t.setCell(5, SubscriberTable::MaxCol, u"край"_s);
    QCOMPARE(t.heldColumns(5), SubscriberTable::MaxCol);
    QCOMPARE(t.cell(5, MonthColumn(10, 6, 9)), u"125,5"_s);
}

void tst_SubscriberTable::findRowByName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("row"); // -1: none
    QTest::newRow("unique") << u"Петров П. П."_s << 2;
    QTest::newRow("duplicate gives the lower row") << u"Иванов И. И."_s << 1;
    QTest::newRow("case matters") << u"иванов и. и."_s << -1;
    QTest::newRow("no trimming") << u"Петров П. П. "_s << -1;
    QTest::newRow("ё is not е") << u"Семёнов С. С."_s << 4;
    QTest::newRow("е is not ё") << u"Семенов С. С."_s << -1;
    QTest::newRow("prefix is not a match") << u"Петров"_s << -1;
}

void tst_SubscriberTable::findRowByName() {
    QFETCH(QString, name);
    QFETCH(int, row);
    SubscriberTable t;
    t.setSubscriberCount(4);
    t.setCell(1, ColName, u"Иванов И. И."_s);
    t.setCell(2, ColName, u"Петров П. П."_s);
    t.setCell(3, ColName, u"Иванов И. И."_s);
    t.setCell(4, ColName, u"Семёнов С. С."_s);
    QCOMPARE(FindRowByName(t, name).value_or(-1), row);
}

void tst_SubscriberTable::findRowByNameIgnoresRowsAboveCount() {
    SubscriberTable t;
    t.setSubscriberCount(2);
    t.setCell(1, ColName, u"Первый"_s);
    t.setCell(2, ColName, u"Второй"_s);
    t.setCell(3, ColName, u"Удалённый"_s); // a deleted subscriber's texts stay in memory
    QCOMPARE(FindRowByName(t, u"Удалённый"_s), std::nullopt);
    t.setCell(0, ColName, u"Нулевой"_s);
    QCOMPARE(FindRowByName(t, u"Нулевой"_s), std::nullopt);
    t.setSubscriberCount(3);
    QCOMPARE(FindRowByName(t, u"Удалённый"_s), 3);
}

void tst_SubscriberTable::freshTableIsEmptyEverywhere() {
    SubscriberTable t;
    QCOMPARE(t.subscriberCount(), 0);
    for (int r : {0, 1, 250, SubscriberTable::MaxRow})
        for (int c : {0, 1, 2126, SubscriberTable::StoredCols, SubscriberTable::MaxCol}) {
            QVERIFY(t.cell(r, c).isEmpty());
            QVERIFY(t.cellView(r, c).isEmpty());
        }
    // Writing an empty text into an untouched row must not make its storage.
    const std::size_t before = t.memoryBytes();
    for (int r = 1; r <= SubscriberTable::MaxRow; ++r)
        t.setCell(r, 5, QString());
    QCOMPARE(t.memoryBytes(), before);
}

void tst_SubscriberTable::overwriteKeepsNeighbours_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("shorter") << u"Длинный текст ячейки"_s << u"Кор"_s;
    QTest::newRow("longer") << u"Кор"_s << u"Длинный текст ячейки"_s;
    QTest::newRow("same length") << u"12345"_s << u"54321"_s;
    QTest::newRow("to empty") << u"10625"_s << u""_s;
    QTest::newRow("from empty") << u""_s << u"31.01.24"_s;
    // Lengths of 255 characters and more are kept apart from the short ones.
    QTest::newRow("short to 255") << u"абв"_s << QString(255, u'ж');
    QTest::newRow("254 to 255") << QString(254, u'ж') << QString(255, u'ю');
    QTest::newRow("300 to short") << QString(300, u'ж') << u"кор"_s;
    QTest::newRow("300 to empty") << QString(300, u'ж') << u""_s;
    QTest::newRow("300 to 70000") << QString(300, u'ж') << QString(70000, u'щ');
}

void tst_SubscriberTable::overwriteKeepsNeighbours() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    SubscriberTable t;
    const int c = MonthColumn(3, 6, T1Current);
    t.setCell(7, c - 1, u"левый"_s);
    t.setCell(7, c, first);
    t.setCell(7, c + 1, u"правый"_s);
    t.setCell(7, c, second);
    QCOMPARE(t.cell(7, c), second);
    QCOMPARE(t.cell(7, c - 1), u"левый"_s);
    QCOMPARE(t.cell(7, c + 1), u"правый"_s);
    // Writing the neighbours afterwards must not disturb the cell either.
    t.setCell(7, c - 1, u"л"_s);
    t.setCell(7, c + 1, u"правый, но длиннее"_s);
    QCOMPARE(t.cell(7, c), second);
    QCOMPARE(t.cell(7, c - 1), u"л"_s);
    QCOMPARE(t.cell(7, c + 1), u"правый, но длиннее"_s);
}

// The editors write a cell on every focus change; a long session must neither
// lose texts nor grow the row without bound.
void tst_SubscriberTable::manyRewritesOfOneCellStayBounded() {
    SubscriberTable t;
    for (int c = 1; c <= 40; ++c)
        t.setCell(1, c, u"ячейка %1"_s.arg(c));
    const std::size_t start = t.memoryBytes();
    const int col = 20;
    QString last;
    for (int i = 0; i < 100000; ++i) {
        // Alternating lengths force appends as well as in-place writes.
        last = (i % 2) ? u"%1"_s.arg(i) : u"текст номер %1 подлиннее"_s.arg(i);
        t.setCell(1, col, last);
    }
    QCOMPARE(t.cell(1, col), last);
    for (int c = 1; c <= 40; ++c)
        if (c != col)
            QCOMPARE(t.cell(1, c), u"ячейка %1"_s.arg(c));
    QVERIFY2(
        t.memoryBytes() < start + 64 * 1024,
        qPrintable(u"%1 bytes after the rewrites, %2 before"_s.arg(t.memoryBytes()).arg(start)));
}

void tst_SubscriberTable::copyIsIndependent() {
    SubscriberTable a;
    a.setSubscriberCount(2);
    a.setCell(1, ColName, u"Иванов И. И."_s);
    a.setCell(2, ColName, u"Петров П. П."_s);

    SubscriberTable b(a);
    b.setCell(1, ColName, u"Сидоров"_s);              // shorter: written in place
    b.setCell(2, ColName, u"Петров Пётр Петрович"_s); // longer: appended
    b.setCell(3, ColName, u"Новый"_s);
    b.setSubscriberCount(3);
    QCOMPARE(a.cell(1, ColName), u"Иванов И. И."_s);
    QCOMPARE(a.cell(2, ColName), u"Петров П. П."_s);
    QVERIFY(a.cell(3, ColName).isEmpty());
    QCOMPARE(a.subscriberCount(), 2);

    SubscriberTable c;
    c.setCell(5, 5, u"старое"_s);
    c = a;
    a.setCell(1, ColName, u"Изменён"_s);
    QCOMPARE(c.cell(1, ColName), u"Иванов И. И."_s);
    QVERIFY(c.cell(5, 5).isEmpty());
    QCOMPARE(c.subscriberCount(), 2);

    // A cell text handed out earlier is a value, not a view into the table.
    const QString held = c.cell(1, ColName);
    c.setCell(1, ColName, u"Х"_s);
    QCOMPARE(held, u"Иванов И. И."_s);
}

void tst_SubscriberTable::rowsBeyondCountKeepTheirTexts() {
    SubscriberTable t;
    t.setSubscriberCount(3);
    t.setCell(3, ColName, u"Третий"_s);
    t.setSubscriberCount(2); // deleted: not a subscriber, texts still in memory
    QCOMPARE(t.cell(3, ColName), u"Третий"_s);
    t.setCell(SubscriberTable::MaxRow, SubscriberTable::MaxCol, u"угол"_s);
    QCOMPARE(t.cell(SubscriberTable::MaxRow, SubscriberTable::MaxCol), u"угол"_s);
    t.setSubscriberCount(SubscriberTable::MaxRow);
    QCOMPARE(t.subscriberCount(), 501);
}

void tst_SubscriberTable::indexOutsideTheTableIsRefused() {
    SubscriberTable t;
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, t.cell(-1, 1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, t.cell(502, 1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, t.cell(1, SubscriberTable::MaxCol + 1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, t.setCell(1, SubscriberTable::MaxCol + 1, u"x"_s));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, t.setCell(1, -1, u"x"_s));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, t.setSubscriberCount(502));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, t.setSubscriberCount(-1));
}

void tst_SubscriberTable::fullTableStaysNearItsTextSize() {
    SubscriberTable t;
    t.setSubscriberCount(SubscriberTable::MaxRow);
    std::size_t textBytes = 0;
    for (int r = 1; r <= SubscriberTable::MaxRow; ++r)
        for (int c = 1; c <= SubscriberTable::StoredCols; ++c) {
            const QString s = QString::number(r * 10000 + c);
            textBytes += std::size_t(s.size()) + 1; // one byte a character plus "|" on disk
            t.setCell(r, c, s);
        }
    QCOMPARE(t.cell(501, 2513), u"5012513"_s);
    QCOMPARE(t.cell(1, 1), u"10001"_s);
    QVERIFY2(t.memoryBytes() <= 4 * textBytes,
             qPrintable(u"%1 bytes for %2 bytes on disk"_s.arg(t.memoryBytes()).arg(textBytes)));
}

QTEST_GUILESS_MAIN(tst_SubscriberTable)
#include "tst_SubscriberTable.moc"
