#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"
#include "support/WorkbookDump.h"

using namespace Qt::StringLiterals;

namespace {

QString thin() {
    return u"thin"_s;
}

} // namespace

class tst_WorkbookWriter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void numberOf_data();
    void numberOf();
    void addresses();
    void valuesTypesAndLooks();
    void mergesColoursAndWidths();
    void autoFitFollowsTheLongestText();
    void replacesAndFails();
    void savePath_data();
    void savePath();

private:
    QTemporaryDir m_dir;
};

void tst_WorkbookWriter::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(u"/usr/bin/python3"_s), "openpyxl is read through /usr/bin/python3");
}

void tst_WorkbookWriter::numberOf_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << u"1500"_s << true << 1500.0;
    QTest::newRow("comma") << u"12,5"_s << true << 12.5;
    QTest::newRow("negative money") << u"-402,50"_s << true << -402.5;
    QTest::newRow("zero point five") << u"0,5"_s << true << 0.5;
    QTest::newRow("zero") << u"0"_s << true << 0.0;
    QTest::newRow("negative zero") << u"-0"_s << true << 0.0;
    QTest::newRow("fifteen digits") << u"123456789012345"_s << true << 123456789012345.0;
    QTest::newRow("sixteen digits stay text") << u"1234567890123456"_s << false << 0.0;
    QTest::newRow("leading zero stays text") << u"01"_s << false << 0.0;
    QTest::newRow("phone with zero") << u"0123456"_s << false << 0.0;
    QTest::newRow("point stays text") << u"12.5"_s << false << 0.0;
    QTest::newRow("exponent stays text") << u"1E3"_s << false << 0.0;
    QTest::newRow("spaces stay text") << u" 12"_s << false << 0.0;
    QTest::newRow("plus stays text") << u"+5"_s << false << 0.0;
    QTest::newRow("trailing comma") << u"12,"_s << false << 0.0;
    QTest::newRow("name") << u"Иванов И. И."_s << false << 0.0;
    QTest::newRow("empty") << u""_s << false << 0.0;
}

void tst_WorkbookWriter::numberOf() {
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const auto n = WorkbookSheet::numberOf(text);
    QCOMPARE(n.has_value(), isNumber);
    if (n) {
        QCOMPARE(*n, value);
        if (value == 0)
            QVERIFY(!std::signbit(*n));
    }
}

void tst_WorkbookWriter::addresses() {
    QCOMPARE(ParseCellRange(u"A1"), (CellRange{0, 0, 0, 0}));
    QCOMPARE(ParseCellRange(u"F4:a1"), (CellRange{0, 0, 3, 5}));
    QCOMPARE(ParseCellRange(u"AA10:AB12"), (CellRange{9, 26, 11, 27}));
    QVERIFY(!ParseCellRange(u"A0"));
    QVERIFY(!ParseCellRange(u"1A"));
    QVERIFY(!ParseCellRange(u"A1:"));
    QVERIFY(!ParseCellRange(u"Б1"));
    QCOMPARE(ParseColumnRange(u"K:L"), (std::pair{10, 11}));
    QCOMPARE(ParseColumnRange(u"C"), (std::pair{2, 2}));
    QVERIFY(!ParseColumnRange(u"A1"));
    QCOMPARE(CellAddress(0, 0), u"A1"_s);
    QCOMPARE(CellAddress(499, 27), u"AB500"_s);
    for (int c : {0, 25, 26, 701, 702, 16383})
        QCOMPARE(ParseColumnRange(ColumnLetters(c))->first, c);
    WorkbookSheet sheet;
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, sheet.bold(u"A1:"));
}

void tst_WorkbookWriter::valuesTypesAndLooks() {
    WorkbookSheet sheet;
    sheet.setBlock(u"A1", {{u"№"_s, u"Фамилия И. О."_s, u"Адрес"_s},
                           {u"1"_s, u"Иванов И. И."_s, u"01"_s},
                           {u"2"_s, u"Петров П. П."_s, u"12,5"_s}});
    sheet.setNumber(u"D2", 2.675);
    sheet.set(u"D3", u""_s);
    sheet.bold(u"A1:C1");
    sheet.hAlign(u"A1:C1", WorkbookSheet::Centre);
    sheet.hAlign(u"B2:B3", WorkbookSheet::Left);
    sheet.hAlign(u"C2:C3", WorkbookSheet::Right);
    sheet.borders(u"A1:D4");
    sheet.numberFormat(u"D2", WorkbookSheet::MoneyFormat);
    sheet.numberFormat(u"A2", WorkbookSheet::GeneralFormat);

    // The description alone already answers.
    QVERIFY(sheet.isNumber(u"A2"));
    QVERIFY(!sheet.isNumber(u"C2"));
    QVERIFY(sheet.format(u"B1").bold);
    QVERIFY(!sheet.format(u"B2").bold);
    QVERIFY(sheet.format(u"D4").borders);
    QCOMPARE(sheet.format(u"A2").numberFormat, QString());

    const QString path = m_dir.filePath(u"looks.xlsx"_s);
    QVERIFY(WriteWorkbook(sheet, path));
    const QJsonObject d = DumpWorkbook(path);
    QVERIFY(!d.isEmpty());
    QCOMPARE(d[u"sheets"_s].toArray().size(), 1);

    struct Expect {
        const char16_t* cell;
        QVariant value;
        const char16_t* type;
    };
    const Expect values[] = {
        {u"A1", u"№"_s, u"s"},  {u"B1", u"Фамилия И. О."_s, u"s"},
        {u"A2", 1.0, u"n"},     {u"B2", u"Иванов И. И."_s, u"s"},
        {u"C2", u"01"_s, u"s"}, {u"C3", 12.5, u"n"},
        {u"D2", 2.675, u"n"},   {u"A3", 2.0, u"n"},
    };
    for (const Expect& e : values) {
        const QJsonObject c = DumpedCell(d, QString::fromUtf16(e.cell));
        QCOMPARE(c[u"type"_s].toString(), QString::fromUtf16(e.type));
        QCOMPARE(c[u"value"_s].toVariant().toString(), e.value.toString());
    }
    QVERIFY(DumpedCell(d, u"D3"_s)[u"value"_s].isNull());

    for (const QString& a : {u"A1"_s, u"B1"_s, u"C1"_s}) {
        QVERIFY(DumpedCell(d, a)[u"bold"_s].toBool());
        QCOMPARE(DumpedCell(d, a)[u"h"_s].toString(), u"center"_s);
    }
    QVERIFY(!DumpedCell(d, u"B2"_s)[u"bold"_s].toBool());
    QCOMPARE(DumpedCell(d, u"B3"_s)[u"h"_s].toString(), u"left"_s);
    QCOMPARE(DumpedCell(d, u"C2"_s)[u"h"_s].toString(), u"right"_s);
    QVERIFY(DumpedCell(d, u"A2"_s)[u"h"_s].isNull());

    // Thin lines on every edge of every cell of A1:D4, empty cells included,
    // and none outside.
    for (int r = 1; r <= 4; ++r)
        for (const QString& col : {u"A"_s, u"B"_s, u"C"_s, u"D"_s}) {
            const QJsonArray b = DumpedCell(d, col + QString::number(r))[u"borders"_s].toArray();
            QCOMPARE(b, (QJsonArray{thin(), thin(), thin(), thin()}));
        }
    QVERIFY(!d[u"cells"_s].toObject().contains(u"A5"_s));
    QVERIFY(!d[u"cells"_s].toObject().contains(u"E1"_s));

    QCOMPARE(DumpedCell(d, u"D2"_s)[u"format"_s].toString(), u"#,##0.00 \"₽\""_s);
    QCOMPARE(DumpedCell(d, u"A2"_s)[u"format"_s].toString(), u"General"_s);
    QCOMPARE(DumpedCell(d, u"C3"_s)[u"format"_s].toString(), u"General"_s);
}

void tst_WorkbookWriter::mergesColoursAndWidths() {
    WorkbookSheet sheet;
    sheet.set(u"A1", u"Разбаланс за 2024 год"_s);
    sheet.merge(u"A1:F1");
    sheet.hAlign(u"A1:F1", WorkbookSheet::Centre);
    sheet.set(u"A2", u"Потери"_s);
    sheet.fontColor(u"A2", WorkbookSheet::Red);
    sheet.set(u"B2", u"-12,75"_s);
    sheet.fontColor(u"B2", WorkbookSheet::Blue);
    sheet.set(u"C2", u"длинный текст,\nвторая строка"_s);
    sheet.wrap(u"C2");
    sheet.vAlignTop(u"A2:C2");
    sheet.set(u"K3", u"1234,5"_s);
    sheet.numberFormat(u"K3:L3", WorkbookSheet::MoneyFormat);
    sheet.columnWidth(u"K:L", 16);
    sheet.merge(u"B5:C6");
    sheet.set(u"B5", u"77"_s);

    const QString path = m_dir.filePath(u"merges.xlsx"_s);
    QVERIFY(WriteWorkbook(sheet, path));
    const QJsonObject d = DumpWorkbook(path);
    QVERIFY(!d.isEmpty());
    QCOMPARE(d[u"merges"_s].toArray(), (QJsonArray{u"A1:F1"_s, u"B5:C6"_s}));
    QCOMPARE(DumpedCell(d, u"A1"_s)[u"value"_s].toString(), u"Разбаланс за 2024 год"_s);
    QCOMPARE(DumpedCell(d, u"A1"_s)[u"h"_s].toString(), u"center"_s);
    QCOMPARE(DumpedCell(d, u"B5"_s)[u"value"_s].toDouble(), 77.0);

    QCOMPARE(DumpedCell(d, u"A2"_s)[u"color"_s].toString(), u"FFFF0000"_s);
    QCOMPARE(DumpedCell(d, u"B2"_s)[u"color"_s].toString(), u"FF0000FF"_s);
    QCOMPARE(DumpedCell(d, u"B2"_s)[u"value"_s].toDouble(), -12.75);
    QCOMPARE(DumpedCell(d, u"C2"_s)[u"value"_s].toString(), u"длинный текст,\nвторая строка"_s);
    QVERIFY(DumpedCell(d, u"C2"_s)[u"wrap"_s].toBool());
    QVERIFY(!DumpedCell(d, u"B2"_s)[u"wrap"_s].toBool());
    for (const QString& a : {u"A2"_s, u"B2"_s, u"C2"_s})
        QCOMPARE(DumpedCell(d, a)[u"v"_s].toString(), u"top"_s);
    QCOMPARE(DumpedCell(d, u"K3"_s)[u"format"_s].toString(), u"#,##0.00 \"₽\""_s);
    QCOMPARE(DumpedCell(d, u"K3"_s)[u"value"_s].toDouble(), 1234.5);

    QVERIFY(qAbs(ShownColumnWidth(d, u"K"_s) - 16) < 0.05);
    QVERIFY(qAbs(ShownColumnWidth(d, u"L"_s) - 16) < 0.05);
    QVERIFY(!d[u"widths"_s].toObject().contains(u"A"_s));
}

void tst_WorkbookWriter::autoFitFollowsTheLongestText() {
    WorkbookSheet sheet;
    sheet.setBlock(u"A1", {{u"№"_s, u"Фамилия И. О."_s, u""_s},
                           {u"1"_s, u"Константинопольский К. К."_s, u""_s},
                           {u"2"_s, u"Ли А. А."_s, u""_s}});
    sheet.set(u"D1", u"Заголовок на две колонки, длинный"_s);
    sheet.merge(u"D1:E1");
    sheet.set(u"D2", u"12345678"_s);
    sheet.bold(u"A1:B1");
    sheet.set(u"F2", u"1501,83"_s);
    sheet.numberFormat(u"F2", WorkbookSheet::MoneyFormat);
    sheet.autoFit(u"A:F");

    const auto widths = sheet.columnWidths();
    // The longest name sizes B; the merged title does not size D; C and E
    // hold no text and keep the default width.
    QCOMPARE(widths.at(1), WorkbookSheet::fittedWidth(u"Константинопольский К. К."_s, false));
    QCOMPARE(widths.at(3), WorkbookSheet::fittedWidth(u"12345678"_s, false));
    QVERIFY(!widths.contains(2));
    QVERIFY(!widths.contains(4));
    // A money cell is as wide as the spreadsheet shows it.
    QCOMPARE(widths.at(5), WorkbookSheet::fittedWidth(u"1 501,83 ₽"_s, false));
    QVERIFY(widths.at(1) > widths.at(0));
    QVERIFY(WorkbookSheet::fittedWidth(u"Итого"_s, true) >
            WorkbookSheet::fittedWidth(u"Итого"_s, false));

    const QString path = m_dir.filePath(u"fit.xlsx"_s);
    QVERIFY(WriteWorkbook(sheet, path));
    const QJsonObject w = DumpWorkbook(path);
    QVERIFY(qAbs(ShownColumnWidth(w, u"B"_s) - widths.at(1)) < 0.08); // whole pixels
    QVERIFY(qAbs(ShownColumnWidth(w, u"A"_s) - widths.at(0)) < 0.08);
    QVERIFY(ShownColumnWidth(w, u"B"_s) > 25);
    QVERIFY(!w.contains(u"C"_s));
}

void tst_WorkbookWriter::replacesAndFails() {
    // A name ending in ".xls" still gets a workbook (xlsx content) under that name.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Справочник абонентов.xls"_s);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    WorkbookSheet sheet;
    sheet.set(u"A1", u"новое"_s);
    QVERIFY(WriteWorkbook(sheet, path));
    QCOMPARE(DumpedCell(DumpWorkbook(path), u"A1"_s)[u"value"_s].toString(), u"новое"_s);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no leftovers

    // A folder that does not exist: false, nothing made.
    QVERIFY(!WriteWorkbook(sheet, m_dir.filePath(u"нет/такой.xlsx"_s)));
    // A target that is a folder: false, the folder stays.
    QVERIFY(QDir(m_dir.path()).mkdir(u"папка.xlsx"_s));
    QVERIFY(!WriteWorkbook(sheet, m_dir.filePath(u"папка.xlsx"_s)));
    QVERIFY(QFileInfo(m_dir.filePath(u"папка.xlsx"_s)).isDir());
    QVERIFY(!WriteWorkbook(sheet, QString()));
}

void tst_WorkbookWriter::savePath_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("path");
    QTest::newRow("cancelled") << u""_s << u""_s;
    QTest::newRow("xlsx") << u"/t/Справочник.xlsx"_s << u"/t/Справочник.xlsx"_s;
    QTest::newRow("xls kept") << u"/t/Справочник.xls"_s << u"/t/Справочник.xls"_s;
    QTest::newRow("upper case") << u"/t/A.XLS"_s << u"/t/A.XLS"_s;
    QTest::newRow("no extension") << u"/t/Справочник"_s << u"/t/Справочник.xlsx"_s;
    QTest::newRow("other dot") << u"/t/итоги.2024"_s << u"/t/итоги.2024.xlsx"_s;
}

void tst_WorkbookWriter::savePath() {
    QFETCH(QString, chosen);
    QFETCH(QString, path);
    QCOMPARE(WorkbookSavePath(chosen), path);
    QCOMPARE(WorkbookProposedPath(u"/t"_s, u"Справочник абонентов"_s),
             u"/t/Справочник абонентов.xlsx"_s);
}

QTEST_GUILESS_MAIN(tst_WorkbookWriter)
#include "tst_WorkbookWriter.moc"
