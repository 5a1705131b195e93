#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "core/SubscriberTable.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"
#include "ledger/LedgerExport.h"

using namespace Qt::StringLiterals;

namespace {

// Reads the written file back with openpyxl and returns what the checks need.
const char* const ReadScript = R"PY(
import json, sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
out = {"cells": {}, "merges": sorted(str(m) for m in ws.merged_cells.ranges), "max_row": ws.max_row}
for row in ws.iter_rows(min_row=1, max_row=8, max_col=13):
    for c in row:
        b = c.border
        sides = [s.style for s in (b.left, b.right, b.top, b.bottom)]
        color = c.font.color.rgb if c.font and c.font.color is not None else None
        out["cells"][c.coordinate] = {
            "value": c.value, "type": type(c.value).__name__, "format": c.number_format,
            "bold": bool(c.font.b), "color": color if isinstance(color, str) else None,
            "borders": all(s == "thin" for s in sides), "anyBorder": any(sides),
            "topBottom": sides[2] == "thin" and sides[3] == "thin"}
print(json.dumps(out))
)PY";

QJsonObject ReadBack(const QString& path) {
    QProcess p;
    p.start(u"/usr/bin/python3"_s, {u"-c"_s, QString::fromUtf8(ReadScript), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning() << p.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

} // namespace

class tst_LedgerExport : public QObject {
    Q_OBJECT
private slots:
    void writtenWorkbook_data();
    void writtenWorkbook();
    void proposedName();
};

void tst_LedgerExport::writtenWorkbook_data() {
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("title");
    QTest::newRow("March 2018") << 1 << u"Март 2018"_s;
    QTest::newRow("March 2026") << 9 << u"Март 2026"_s;
}

void tst_LedgerExport::writtenWorkbook() {
    QFETCH(int, y);
    QFETCH(QString, title);
    SubscriberTable t;
    t.setSubscriberCount(3);
    const QStringList names = {u"Иванов И. И."_s, u"Петров П. П."_s, u"Сидоров С. С."_s};
    for (int r = 1; r <= 3; ++r) {
        t.setCell(r, ColRowNumber, QString::number(r));
        t.setCell(r, ColName, names[r - 1]);
    }
    const int m = 3;
    t.setCell(1, MonthColumn(y, m, 10), u"1234,5"_s);
    t.setCell(1, MonthColumn(y, m, 9), u"10,125"_s);
    t.setCell(2, MonthColumn(y, m, 20), u"-7,25"_s);
    t.setCell(2, MonthColumn(y, m, 13), u"abc,d"_s);
    t.setCell(3, MonthColumn(y, m, 12), u"99"_s); // prepayment is not exported
    t.setCell(3, MonthColumn(y, m, 16), u"500"_s);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"ledger.xlsx"_s);
    QVERIFY(WriteWorkbook(LedgerSheet(t, y, m), path));
    const QJsonObject d = ReadBack(path);
    QVERIFY(!d.isEmpty());
    const QJsonObject cells = d[u"cells"_s].toObject();
    auto cell = [&](const QString& a) { return cells[a].toObject(); };

    QCOMPARE(cell(u"D1"_s)[u"value"_s].toString(), title);
    QCOMPARE(cell(u"K2"_s)[u"value"_s].toString(), u"Остаток на конец мес., р."_s);
    QCOMPARE(cell(u"G3"_s)[u"value"_s].toString(), u"  Прочее "_s);
    QVERIFY(cell(u"A1"_s)[u"bold"_s].toBool());
    QStringList merges;
    for (const auto& v : d[u"merges"_s].toArray())
        merges << v.toString();
    QCOMPARE(merges, (QStringList{u"C2:D2"_s, u"D1:E1"_s, u"E2:G2"_s, u"I2:J2"_s, u"K2:L2"_s}));

    // Blue and red header texts.
    for (const QString& a : {u"C3"_s, u"K3"_s, u"E2"_s, u"F3"_s})
        QCOMPARE(cell(a)[u"color"_s].toString(), u"FF0000FF"_s);
    for (const QString& a : {u"D3"_s, u"L3"_s, u"I2"_s, u"J3"_s})
        QCOMPARE(cell(a)[u"color"_s].toString(), u"FFFF0000"_s);

    // The data: numbers, not texts; empty slots stay empty.
    QCOMPARE(cell(u"A4"_s)[u"type"_s].toString(), u"int"_s);
    QCOMPARE(cell(u"B5"_s)[u"value"_s].toString(), u"Петров П. П."_s);
    QCOMPARE(cell(u"C4"_s)[u"value"_s].toDouble(), 1234.5);
    QCOMPARE(cell(u"C4"_s)[u"type"_s].toString(), u"float"_s);
    QCOMPARE(cell(u"C4"_s)[u"format"_s].toString(), u"#,##0.00 \"₽\""_s);
    QCOMPARE(cell(u"E4"_s)[u"value"_s].toDouble(), 10.125);
    QCOMPARE(cell(u"L5"_s)[u"value"_s].toDouble(), -7.25);
    QCOMPARE(cell(u"F5"_s)[u"value"_s].toString(), u"abc.d"_s); // text keeps its point
    QCOMPARE(cell(u"I6"_s)[u"type"_s].toString(), u"int"_s);
    QCOMPARE(cell(u"D4"_s)[u"type"_s].toString(), u"NoneType"_s);
    for (const QString& a : {u"E6"_s, u"F6"_s, u"G6"_s, u"H6"_s})
        QCOMPARE(cell(a)[u"type"_s].toString(), u"NoneType"_s);
    QCOMPARE(cell(u"A7"_s)[u"type"_s].toString(), u"NoneType"_s); // no sums row

    // Borders exactly over A2:L6.
    for (int row = 1; row <= 8; ++row)
        for (char col = 'A'; col <= 'M'; ++col) {
            const QString a = QChar::fromLatin1(col) + QString::number(row);
            const bool inside = row >= 2 && row <= 6 && col <= 'L';
            // The reader gives the inner cells of a merge only the outer edges.
            const bool mergedInner =
                row == 2 && QStringList{u"D"_s, u"F"_s, u"G"_s, u"J"_s, u"L"_s}.contains(
                                QChar::fromLatin1(col));
            if (mergedInner)
                QVERIFY2(cell(a)[u"topBottom"_s].toBool(), qPrintable(a));
            else
                QVERIFY2(cell(a)[u"borders"_s].toBool() == inside, qPrintable(a));
            if (!inside)
                QVERIFY2(!cell(a)[u"anyBorder"_s].toBool(), qPrintable(a));
        }
}

void tst_LedgerExport::proposedName() {
    QCOMPARE(LedgerExportName(12, u"2019"_s), u"Лицевой счет  Декабрь 2019"_s);
}

QTEST_GUILESS_MAIN(tst_LedgerExport)
#include "tst_LedgerExport.moc"
