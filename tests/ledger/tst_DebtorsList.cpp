#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "DebtorsFixture.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"
#include "ledger/DebtorsExport.h"
#include "ledger/DebtorsList.h"
#include "ledger/DebtorsModel.h"
#include "support/WorkbookDump.h"

using namespace Qt::StringLiterals;

class tst_DebtorsList : public QObject {
    Q_OBJECT
private slots:
    void listAndTotals();
    void readsOnly();
    void sortsByDebt();
    void sortsPlotsAsCounted_data();
    void sortsPlotsAsCounted();
    void pages_data();
    void pages();
    void workbookReadBack();
};

namespace {

DebtorsList FixtureList(SubscriberTable& t) {
    DebtorsFixture::fill(t);
    return MakeDebtorsList(t, *YearIndex(DebtorsFixture::Year), DebtorsFixture::Month);
}

QStringList Column(const DebtorsModel& m, int column) {
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.data(m.index(r, column), Qt::DisplayRole).toString();
    return out;
}

} // namespace

void tst_DebtorsList::listAndTotals() {
    SubscriberTable t;
    const DebtorsList list = FixtureList(t);
    QCOMPARE(list.title, u"Сверка расчётов за электроэнергию на конец марта 2019 г."_s);
    DebtorsModel model(list);
    QCOMPARE(Column(model, DebtorsModel::ColLabel),
             (QStringList{u"1. Андреев А. А."_s, u"3. Васильева В. В."_s, u"4. Григорьев Г. Г."_s,
                          u"6. Егоров Е. Е."_s}));
    QCOMPARE(Column(model, DebtorsModel::ColPlot),
             (QStringList{u"12"_s, QString(), u"3"_s, u"8"_s}));
    QCOMPARE(Column(model, DebtorsModel::ColDebt),
             (QStringList{u"150,00"_s, QString(), u"1234,56"_s, u"см. акт"_s}));
    QCOMPARE(Column(model, DebtorsModel::ColCredit),
             (QStringList{QString(), u"50,00"_s, QString(), QString()}));
    QCOMPARE(list.totalDebt, 1384.56);
    QCOMPARE(list.totalCredit, 50.0);
    QCOMPARE(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), u"Недоплата"_s);

    // A stored zero is no balance.
    t.setCell(5, DebtorsFixture::column(SlotCloseDebt), u"0,00"_s);
    QCOMPARE(MakeDebtorsList(t, *YearIndex(u"2019"_s), 3).entries.size(), size_t(4));
    // Another month has its own balances: nothing was computed in April.
    QVERIFY(MakeDebtorsList(t, *YearIndex(u"2019"_s), 5).entries.empty());
}

void tst_DebtorsList::readsOnly() {
    SubscriberTable t;
    DebtorsFixture::fill(t);
    const SubscriberTable before = t;
    const DebtorsList list = MakeDebtorsList(t, *YearIndex(u"2019"_s), 3);
    DebtorsModel model(list);
    model.sort(DebtorsModel::ColDebt, Qt::DescendingOrder);
    QTemporaryDir dir;
    QVERIFY(WriteWorkbook(DebtorsSheet(model.list()), dir.filePath(u"s.xlsx"_s)));
    for (int r = 0; r <= SubscriberTable::MaxRow; ++r)
        for (int c = 0; c <= SubscriberTable::StoredCols; ++c)
            if (t.cellView(r, c) != before.cellView(r, c))
                QFAIL(qPrintable(u"cell %1,%2 changed"_s.arg(r).arg(c)));
}

void tst_DebtorsList::sortsByDebt() {
    SubscriberTable t;
    DebtorsModel model(FixtureList(t));
    model.sort(DebtorsModel::ColDebt, Qt::DescendingOrder);
    // A text counts as 0; equal amounts stay in row order.
    QCOMPARE(Column(model, DebtorsModel::ColLabel),
             (QStringList{u"4. Григорьев Г. Г."_s, u"1. Андреев А. А."_s, u"3. Васильева В. В."_s,
                          u"6. Егоров Е. Е."_s}));
    QCOMPARE(model.list().entries.front().row, 4);
    model.sort(DebtorsModel::ColDebt, Qt::AscendingOrder);
    QCOMPARE(Column(model, DebtorsModel::ColDebt).last(), u"1234,56"_s);
    model.sort(DebtorsModel::ColLabel, Qt::AscendingOrder);
    QCOMPARE(Column(model, DebtorsModel::ColLabel).first(), u"1. Андреев А. А."_s);
    // Sorting keeps the totals.
    QCOMPARE(model.list().totalDebt, 1384.56);
}

void tst_DebtorsList::sortsPlotsAsCounted_data() {
    QTest::addColumn<QStringList>("plots");
    QTest::addColumn<QStringList>("ascending");
    QTest::newRow("numbers") << QStringList{u"10"_s, u"2"_s, u"1"_s, u"100"_s}
                             << QStringList{u"1"_s, u"2"_s, u"10"_s, u"100"_s};
    QTest::newRow("letters after the number") << QStringList{u"7Б"_s, u"12"_s, u"7"_s, u"7А"_s}
                                              << QStringList{u"7"_s, u"7А"_s, u"7Б"_s, u"12"_s};
    QTest::newRow("words before the number") << QStringList{u"уч. 10"_s, u"уч. 9"_s, u"Лесная 3"_s}
                                             << QStringList{u"Лесная 3"_s, u"уч. 9"_s, u"уч. 10"_s};
    QTest::newRow("two numbers") << QStringList{u"10/10"_s, u"10/2"_s, u"9/15"_s}
                                 << QStringList{u"9/15"_s, u"10/2"_s, u"10/10"_s};
    QTest::newRow("same plot: row order")
        << QStringList{u"5"_s, u"15"_s, u"5"_s} << QStringList{u"5"_s, u"5"_s, u"15"_s};
}

void tst_DebtorsList::sortsPlotsAsCounted() {
    QFETCH(QStringList, plots);
    QFETCH(QStringList, ascending);
    DebtorsList list;
    for (qsizetype i = 0; i < plots.size(); ++i) {
        DebtorEntry e;
        e.row = int(i) + 1;
        e.label = QString::number(e.row);
        e.plot = plots[i];
        list.entries.push_back(e);
    }
    DebtorsModel model(list);
    model.sort(DebtorsModel::ColPlot, Qt::AscendingOrder);
    QCOMPARE(Column(model, DebtorsModel::ColPlot), ascending);
    // Equal plots keep their rows in order whichever way the list is turned.
    const QStringList rows = Column(model, DebtorsModel::ColLabel);
    for (qsizetype i = 1; i < rows.size(); ++i)
        if (ascending[i] == ascending[i - 1])
            QVERIFY(rows[i].toInt() > rows[i - 1].toInt());
    model.sort(DebtorsModel::ColPlot, Qt::DescendingOrder);
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(Column(model, DebtorsModel::ColPlot), descending);
}

void tst_DebtorsList::pages_data() {
    QTest::addColumn<int>("entries");
    QTest::addColumn<QList<int>>("counts");
    // First page 3 lines, the others 4; the totals line counts.
    QTest::newRow("empty list: totals only") << 0 << QList<int>{1};
    QTest::newRow("fits the first page") << 2 << QList<int>{3};
    QTest::newRow("totals pushed over") << 3 << QList<int>{3, 1};
    QTest::newRow("three pages") << 10 << QList<int>{3, 4, 4};
}

void tst_DebtorsList::pages() {
    QFETCH(int, entries);
    QFETCH(QList<int>, counts);
    const auto slices = DebtorsPageSlices(entries, 3, 4);
    QCOMPARE(int(slices.size()), int(counts.size()));
    int next = 0;
    for (size_t i = 0; i < slices.size(); ++i) {
        QCOMPARE(slices[i].first, next);
        QCOMPARE(slices[i].second, counts[qsizetype(i)]);
        next += slices[i].second;
    }
    QCOMPARE(next, entries + 1);
}

void tst_DebtorsList::workbookReadBack() {
    SubscriberTable t;
    DebtorsModel model(FixtureList(t));
    model.sort(DebtorsModel::ColDebt, Qt::DescendingOrder);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Сверка.xlsx"_s);
    QVERIFY(WriteWorkbook(DebtorsSheet(model.list()), path));
    const QJsonObject dump = DumpWorkbook(path);
    QVERIFY(!dump.isEmpty());
    auto value = [&](const QString& a) -> QJsonValue { return DumpedCell(dump, a)[u"value"_s]; };

    QCOMPARE(value(u"A1"_s).toString(), model.list().title);
    QVERIFY(dump[u"merges"_s].toArray().contains(u"A1:D1"_s));
    QCOMPARE(value(u"A2"_s).toString(), u"Абонент"_s);
    QCOMPARE(value(u"B2"_s).toString(), u"Участок"_s);
    QCOMPARE(value(u"C2"_s).toString(), u"Недоплата"_s);
    QCOMPARE(value(u"D2"_s).toString(), u"Переплата"_s);
    // In the shown order: the largest debt first.
    QCOMPARE(value(u"A3"_s).toString(), u"4. Григорьев Г. Г."_s);
    QCOMPARE(value(u"B3"_s).toDouble(), 3.0);
    QCOMPARE(value(u"C3"_s).toDouble(), 1234.56);
    QCOMPARE(DumpedCell(dump, u"C3"_s)[u"type"_s].toString(), u"n"_s);
    QCOMPARE(value(u"D4"_s).isNull(), true);
    QCOMPARE(value(u"A5"_s).toString(), u"3. Васильева В. В."_s);
    QCOMPARE(value(u"D5"_s).toDouble(), 50.0);
    QCOMPARE(value(u"C6"_s).toString(), u"см. акт"_s);
    QCOMPARE(value(u"A7"_s).toString(), u"Итого"_s);
    QCOMPARE(value(u"C7"_s).toDouble(), 1384.56);
    QCOMPARE(value(u"D7"_s).toDouble(), 50.0);
    QVERIFY(DumpedCell(dump, u"A7"_s)[u"bold"_s].toBool());
    for (const QString& a : {u"C3"_s, u"D5"_s, u"C7"_s, u"D7"_s})
        QCOMPARE(DumpedCell(dump, a)[u"format"_s].toString(), u"#,##0.00 \"₽\""_s);
    const QJsonArray thin = {u"thin"_s, u"thin"_s, u"thin"_s, u"thin"_s};
    for (const QString& a : {u"A2"_s, u"B4"_s, u"D7"_s})
        QCOMPARE(DumpedCell(dump, a)[u"borders"_s].toArray(), thin);
    QVERIFY(ShownColumnWidth(dump, u"C"_s) >= 14);
    QVERIFY(ShownColumnWidth(dump, u"A"_s) >= QString(u"4. Григорьев Г. Г."_s).size());
}

QTEST_GUILESS_MAIN(tst_DebtorsList)
#include "tst_DebtorsList.moc"
