#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "core/NumberText.h"
#include "core/SubscriberTable.h"
#include "workbook/WorkbookReader.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"
#include "readings/ReadingsImport.h"
#include "readings/TableExport.h"
#include "support/WorkbookDump.h"

using namespace Qt::StringLiterals;

namespace {

// Writes a sheet with openpyxl: rows of [A, B, C]; a value starting with "#"
// is written as a number, anything else as text.
bool makeSheet(const QString& path, const QList<QStringList>& rows) {
    QString script = u"import sys, openpyxl\nwb = openpyxl.Workbook()\nws = wb.active\n"_s;
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c) {
            const QString v = rows[r][c];
            if (v.isEmpty())
                continue;
            const QString literal = v.startsWith(u'#') ? v.mid(1) : u"'"_s + v + u"'"_s;
            script +=
                u"ws.cell(row=%1, column=%2, value=%3)\n"_s.arg(r + 1).arg(c + 1).arg(literal);
        }
    script += u"wb.save(sys.argv[1])\n"_s;
    QProcess p;
    p.start(u"/usr/bin/python3"_s, {u"-c"_s, script, path});
    return p.waitForFinished(60000) && p.exitCode() == 0;
}

} // namespace

class tst_ReadingsWorkbooks : public QObject {
    Q_OBJECT
private slots:
    void exportLayout();
    void importMatchesAndWrites_data();
    void importMatchesAndWrites();
    void importKeepsFilledAndCarries();
    void importCharge();
    void importFromLegacyXls();

private:
    QTemporaryDir m_dir;
};

void tst_ReadingsWorkbooks::exportLayout() {
    ShownYear shown;
    shown.name = u"Петров П. П."_s;
    shown.year = u"2019"_s;
    shown.entries[0] = {u"31.01.19"_s, u"10625"_s, u"10500"_s,    u"5100"_s, u"5000"_s,
                        u"3,22"_s,     u"2,83"_s,  u"1,052632"_s, u"текст"_s};
    shown.results[0] = {u"125"_s, u"100"_s, u"685,50"_s, QString(), u"721,08"_s};
    QCOMPARE(TableExportName(shown.name, shown.year), u"Учет эл. энергии  Петров П. П. 2019"_s);
    const QString path = m_dir.filePath(u"export.xls"_s); // an .xls name is still written
    QVERIFY(WriteWorkbook(TableExportSheet(shown), path));
    const QJsonObject d = DumpWorkbook(path);
    QVERIFY(!d.isEmpty());
    QCOMPARE(DumpedCell(d, u"F1"_s)[u"value"_s].toString(), u"Петров П. П. 2019 г."_s);
    QVERIFY(DumpedCell(d, u"F1"_s)[u"bold"_s].toBool());
    const QJsonArray merges = d[u"merges"_s].toArray();
    for (const QString& m :
         {u"F1:I1"_s, u"C2:E2"_s, u"F2:H2"_s, u"I2:J2"_s, u"K2:L2"_s, u"M2:N2"_s})
        QVERIFY2(merges.contains(m), qPrintable(m));
    QCOMPARE(DumpedCell(d, u"C3"_s)[u"value"_s].toString(), u"Текущее  "_s);
    QCOMPARE(DumpedCell(d, u"N3"_s)[u"value"_s].toString(), u"С компенс. разбаланса."_s);
    QCOMPARE(DumpedCell(d, u"A15"_s)[u"value"_s].toString(), u"Декабрь"_s);
    QCOMPARE(DumpedCell(d, u"B4"_s)[u"value"_s].toString(), u"31.01.19"_s);
    // Numbers, not texts; a box that holds no number gives 0.
    const QJsonObject c4 = DumpedCell(d, u"C4"_s);
    QCOMPARE(c4[u"type"_s].toString(), u"n"_s);
    QCOMPARE(c4[u"value"_s].toDouble(), 10625.0);
    QCOMPARE(DumpedCell(d, u"L4"_s)[u"value"_s].toDouble(), 0.0);
    QCOMPARE(DumpedCell(d, u"C5"_s)[u"value"_s].toDouble(), 0.0);
    QVERIFY(DumpedCell(d, u"B5"_s)[u"value"_s].isNull());
    const QJsonObject i4 = DumpedCell(d, u"I4"_s);
    QCOMPARE(i4[u"value"_s].toDouble(), 3.22);
    QCOMPARE(i4[u"format"_s].toString(), u"#,##0.00 \"₽\""_s);
    QCOMPARE(DumpedCell(d, u"K4"_s)[u"value"_s].toDouble(), 1.052632);
    QCOMPARE(DumpedCell(d, u"K4"_s)[u"format"_s].toString(), u"General"_s);
    QCOMPARE(DumpedCell(d, u"N4"_s)[u"value"_s].toDouble(), 721.08);
    QCOMPARE(DumpedCell(d, u"N4"_s)[u"format"_s].toString(), u"#,##0.00 \"₽\""_s);
    // Heading centred and bold; the numbers right-aligned, K3:L3 centred again.
    QCOMPARE(DumpedCell(d, u"A2"_s)[u"h"_s].toString(), u"center"_s);
    QVERIFY(DumpedCell(d, u"M3"_s)[u"bold"_s].toBool());
    QCOMPARE(DumpedCell(d, u"C3"_s)[u"h"_s].toString(), u"right"_s);
    QCOMPARE(DumpedCell(d, u"K3"_s)[u"h"_s].toString(), u"center"_s);
    QCOMPARE(DumpedCell(d, u"D9"_s)[u"h"_s].toString(), u"right"_s);
    // A full grid on A2:N15 and nothing outside it.
    for (const QString& a : {u"A2"_s, u"N15"_s, u"G10"_s})
        QCOMPARE(DumpedCell(d, a)[u"borders"_s].toArray(),
                 QJsonArray({u"thin"_s, u"thin"_s, u"thin"_s, u"thin"_s}));
    QVERIFY(DumpedCell(d, u"F1"_s)[u"borders"_s].toArray().at(0).isNull());
    QVERIFY(qAbs(ShownColumnWidth(d, u"K"_s) - 16) < 0.01);
    QVERIFY(qAbs(ShownColumnWidth(d, u"L"_s) - 16) < 0.01);
    QVERIFY(ShownColumnWidth(d, u"A"_s) >= 8);
}

void tst_ReadingsWorkbooks::importMatchesAndWrites_data() {
    QTest::addColumn<int>("y");
    QTest::newRow("2019") << 2;
    QTest::newRow("2026") << 9;
}

void tst_ReadingsWorkbooks::importMatchesAndWrites() {
    QFETCH(int, y);
    SubscriberTable t;
    t.setSubscriberCount(5);
    const QString addresses[5] = {u"01"_s, u"1"_s, u"7"_s, u""_s, u"7"_s};
    for (int r = 1; r <= 5; ++r) {
        t.setCell(r, ColAddress, addresses[r - 1]);
        t.setCell(r, MonthColumn(y, 4, T1Current), u"старое"_s);
        t.setCell(r, MonthColumn(y, 4, T2Current), u"старое"_s);
    }
    const QString path = m_dir.filePath(u"import.xlsx"_s);
    // Plot 7 twice (the upper row wins); "01" as text and 1 as a number.
    QVERIFY(makeSheet(path, {{u"01"_s, u"#1500"_s, u"#800"_s},
                             {u"#1"_s, u"#1600.5"_s, u"#900"_s},
                             {u"7"_s, u"#1700"_s, u""_s},
                             {u"7"_s, u"#9999"_s, u"#9999"_s}}));
    const WorkbookReadResult sheet = ReadWorkbook(path);
    QVERIFY(sheet.ok());
    ReadingsImportOptions o;
    o.yearIndex = y;
    o.month = 4;
    o.keepFilled = false;
    o.carry = false;
    ApplyReadingsImport(t, sheet, o);
    const auto t1 = [&](int r) { return t.cell(r, MonthColumn(y, 4, T1Current)); };
    const auto t2 = [&](int r) { return t.cell(r, MonthColumn(y, 4, T2Current)); };
    QCOMPARE(t1(1), u"1500"_s);
    QCOMPARE(t2(1), u"800"_s);
    QCOMPARE(t1(2), u"1600,5"_s);
    QCOMPARE(t1(3), u"1700"_s);
    QCOMPARE(t2(3), QString()); // an empty cell empties the reading
    QCOMPARE(t1(5), u"1700"_s); // the same address gets the same row
    // The empty address matches row 5, which lies past the data: emptied.
    QCOMPARE(t1(4), QString());
    // Nothing carried, no other month touched.
    QVERIFY(t.cell(1, MonthColumn(y, 5, T1Previous)).isEmpty());
    QVERIFY(t.cell(1, MonthColumn(y, 3, T1Current)).isEmpty());
}

void tst_ReadingsWorkbooks::importKeepsFilledAndCarries() {
    SubscriberTable t;
    t.setSubscriberCount(2);
    t.setCell(1, ColAddress, u"5"_s);
    t.setCell(2, ColAddress, u"6"_s);
    t.setCell(1, MonthColumn(0, 3, T1Current), u"1000"_s); // kept
    t.setCell(2, MonthColumn(0, 4, T1Previous), u"77"_s);  // kept by the carry
    t.setCell(2, MonthColumn(0, 12, T1Current), u"50"_s);
    const QString path = m_dir.filePath(u"keep.xlsx"_s);
    QVERIFY(makeSheet(path, {{u"5"_s, u"#1100"_s, u"#400"_s}, {u"6"_s, u"#2100"_s, u"#700"_s}}));
    const WorkbookReadResult sheet = ReadWorkbook(path);
    ReadingsImportOptions o;
    o.yearIndex = 0;
    o.month = 3;
    ApplyReadingsImport(t, sheet, o);
    QCOMPARE(t.cell(1, MonthColumn(0, 3, T1Current)), u"1000"_s);
    QCOMPARE(t.cell(1, MonthColumn(0, 3, T2Current)), u"400"_s);
    QCOMPARE(t.cell(1, MonthColumn(0, 4, T1Previous)), u"1000"_s);
    QCOMPARE(t.cell(1, MonthColumn(0, 4, T2Previous)), u"400"_s);
    QCOMPARE(t.cell(2, MonthColumn(0, 4, T1Previous)), u"77"_s);
    QCOMPARE(t.cell(2, MonthColumn(0, 4, T2Previous)), u"700"_s);
    // December carries nothing into the next year.
    o.month = 12;
    ApplyReadingsImport(t, sheet, o);
    QVERIFY(t.cell(1, MonthColumn(1, 1, T1Previous)).isEmpty());
    QCOMPARE(t.cell(1, MonthColumn(0, 12, T1Current)), u"1100"_s);
}

void tst_ReadingsWorkbooks::importCharge() {
    SubscriberTable t;
    t.setSubscriberCount(1);
    t.setCell(1, MonthColumn(0, 1, T1Current), u"1500"_s);
    t.setCell(1, MonthColumn(0, 1, T1Previous), u"1400"_s);
    t.setCell(1, MonthColumn(0, 1, Tariff1), u"3,22"_s);
    t.setCell(1, MonthColumn(0, 1, CompCoef1), u"1"_s);
    t.setCell(1, MonthColumn(0, 1, CompCoef2), u"5"_s); // ignored here
    WorkbookReadResult empty;
    empty.status = WorkbookReadResult::Status::Ok;
    ReadingsImportOptions o;
    o.yearIndex = 0;
    o.month = 1;
    o.carry = false;
    ApplyReadingsImport(t, empty, o);
    QCOMPARE(t.cell(1, MonthColumn(0, 1, ChargeWithComp)), u"325,22"_s);
}

void tst_ReadingsWorkbooks::importFromLegacyXls() {
    SubscriberTable t;
    t.setSubscriberCount(4);
    const QString addresses[4] = {u"01"_s, u"2"_s, u"03"_s, u"1"_s};
    for (int r = 1; r <= 4; ++r)
        t.setCell(r, ColAddress, addresses[r - 1]);
    t.setCell(4, MonthColumn(5, 7, T1Current), u"старое"_s);
    const WorkbookReadResult sheet =
        ReadWorkbook(QStringLiteral(OST_TEST_DATA_DIR "/readings.xls"));
    QVERIFY(sheet.ok());
    ReadingsImportOptions o;
    o.yearIndex = 5;
    o.month = 7;
    ApplyReadingsImport(t, sheet, o);
    QCOMPARE(t.cell(1, MonthColumn(5, 7, T1Current)), u"10625"_s);
    QCOMPARE(t.cell(1, MonthColumn(5, 7, T2Current)), u"5120"_s);
    QCOMPARE(t.cell(2, MonthColumn(5, 7, T1Current)), u"8410,5"_s);
    QCOMPARE(t.cell(3, MonthColumn(5, 7, T1Current)), u"12077"_s);
    QVERIFY(t.cell(3, MonthColumn(5, 7, T2Current)).isEmpty());
    QCOMPARE(t.cell(4, MonthColumn(5, 7, T1Current)), u"старое"_s); // "1" is not "01"
    QCOMPARE(t.cell(2, MonthColumn(5, 8, T1Previous)), u"8410,5"_s);
}

QTEST_GUILESS_MAIN(tst_ReadingsWorkbooks)
#include "tst_ReadingsWorkbooks.moc"
