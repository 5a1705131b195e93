#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "core/SubscriberTable.h"
#include "workbook/WorkbookReader.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"
#include "directory/DirectoryExchange.h"

using namespace Qt::StringLiterals;

namespace {

// The active sheet as openpyxl, an independent reader, sees it.
const char* const DumpScript = R"PY(
import sys, json, openpyxl
with open(sys.argv[1], 'rb') as f:
    ws = openpyxl.load_workbook(f).active
cells = {}
for row in ws.iter_rows():
    for c in row:
        if c.value is None and not c.has_style:
            continue
        b = c.border
        cells[c.coordinate] = {'value': c.value, 'type': c.data_type, 'bold': bool(c.font.b),
            'h': c.alignment.horizontal,
            'borders': [b.left.style, b.right.style, b.top.style, b.bottom.style]}
widths = {k: d.width for k, d in ws.column_dimensions.items() if d.customWidth}
print(json.dumps({'cells': cells, 'widths': widths, 'maxRow': ws.max_row}, ensure_ascii=False))
)PY";

QJsonObject dump(const QString& path) {
    QProcess p;
    p.start(u"/usr/bin/python3"_s, {u"-c"_s, QString::fromUtf8(DumpScript), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

SubscriberTable threeSubscribers() {
    SubscriberTable t;
    const QStringList rows[] = {
        {u"Иванов И. И."_s, u"01"_s, u"89161234567"_s, u"Меркурий 200"_s, u""_s},
        {u"Петров П. П."_s, u"12"_s, u"8-916-000-00-02"_s, u""_s, u"долг 12,5"_s},
        {u"Сидоров С. С."_s, u"12а"_s, u""_s, u"СО-И446"_s, u"примечание"_s}};
    for (int i = 1; i <= 3; ++i) {
        t.setCell(i, ColRowNumber, QString::number(i));
        for (int k = 0; k < 5; ++k)
            t.setCell(i, ColName + k, rows[i - 1][k]);
        t.setCell(i, MonthColumn(0, 1, T1Current), QString::number(500 + i));
    }
    t.setSubscriberCount(3);
    return t;
}

} // namespace

class tst_DirectoryExchange : public QObject {
    Q_OBJECT
private slots:
    void exportThreeSubscribers();
    void importStopsAtFirstEmptyA();
    void importNothingWhenA2Empty();
    void importCapacity();
    void applyKeepsReadingsWithRows();

private:
    QTemporaryDir m_dir;
};

void tst_DirectoryExchange::exportThreeSubscribers() {
    const SubscriberTable t = threeSubscribers();
    const WorkbookSheet sheet = DirectoryExportSheet(t);
    const QString path = m_dir.filePath(u"Справочник абонентов.xls"_s);
    QVERIFY(WriteWorkbook(sheet, path));
    const QJsonObject d = dump(path);
    QVERIFY(!d.isEmpty());
    const QJsonObject cells = d[u"cells"_s].toObject();
    auto cell = [&cells](const QString& a) { return cells[a].toObject(); };

    const QStringList header = {u"№"_s,       u"Фамилия И. О."_s, u"Адрес"_s,
                                u"Телефон"_s, u"Тип счетчика"_s,  u"Примечание"_s};
    const QString cols = u"ABCDEF"_s;
    for (int c = 0; c < 6; ++c) {
        const QJsonObject h = cell(cols[c] + u"1"_s);
        QCOMPARE(h[u"value"_s].toString(), header[c]);
        QVERIFY(h[u"bold"_s].toBool());
        QCOMPARE(h[u"h"_s].toString(), u"center"_s);
    }
    // Numbers become numbers; "01", dashes and letters stay texts.
    QCOMPARE(cell(u"A2"_s)[u"value"_s].toDouble(), 1.0);
    QCOMPARE(cell(u"A4"_s)[u"type"_s].toString(), u"n"_s);
    QCOMPARE(cell(u"B2"_s)[u"value"_s].toString(), u"Иванов И. И."_s);
    QCOMPARE(cell(u"C2"_s)[u"value"_s].toString(), u"01"_s);
    QCOMPARE(cell(u"C2"_s)[u"type"_s].toString(), u"s"_s);
    QCOMPARE(cell(u"C3"_s)[u"value"_s].toDouble(), 12.0);
    QCOMPARE(cell(u"D2"_s)[u"value"_s].toDouble(), 89161234567.0);
    QCOMPARE(cell(u"D3"_s)[u"value"_s].toString(), u"8-916-000-00-02"_s);
    QCOMPARE(cell(u"F3"_s)[u"value"_s].toString(), u"долг 12,5"_s);
    QCOMPARE(cell(u"C4"_s)[u"value"_s].toString(), u"12а"_s);
    QVERIFY(cell(u"F2"_s)[u"value"_s].isNull());

    // Borders on every cell of A1:F4, none below; B2:F500 left-aligned.
    for (int r = 1; r <= 4; ++r)
        for (int c = 0; c < 6; ++c) {
            const QJsonArray b = cell(cols[c] + QString::number(r))[u"borders"_s].toArray();
            QCOMPARE(b, (QJsonArray{u"thin"_s, u"thin"_s, u"thin"_s, u"thin"_s}));
        }
    QCOMPARE(cell(u"B5"_s)[u"borders"_s].toArray().first(), QJsonValue());
    QCOMPARE(cell(u"B500"_s)[u"h"_s].toString(), u"left"_s);
    QCOMPARE(cell(u"F2"_s)[u"h"_s].toString(), u"left"_s);
    QVERIFY(cell(u"A2"_s)[u"h"_s].isNull());
    QVERIFY(!cells.contains(u"B501"_s));

    // Columns fitted: the name column is wider than the number column.
    const QJsonObject w = d[u"widths"_s].toObject();
    for (const QChar c : cols)
        QVERIFY2(w.contains(QString(c)), qPrintable(QString(c)));
    QVERIFY(w[u"B"_s].toDouble() > w[u"A"_s].toDouble());
    QVERIFY(w[u"B"_s].toDouble() >= QString(u"Фамилия И. О."_s).size());

    // And the directory reads back from it unchanged.
    const DirectoryImport back = ReadDirectoryImport(ReadWorkbook(path));
    QCOMPARE(back.status, DirectoryImport::Status::Ok);
    QCOMPARE(back.rows.size(), 3);
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(back.rows[i - 1], FieldsOf(t, i));
}

void tst_DirectoryExchange::importStopsAtFirstEmptyA() {
    WorkbookSheet sheet;
    sheet.setBlock(u"A1", {{u"№"_s, u"Фамилия И. О."_s},
                           {u"7"_s, u"Первый П. П."_s, u"1"_s, u"тел"_s, u"тип"_s, u"прим"_s},
                           {u"x"_s, u"Второй В. В."_s, u"2"_s},
                           {u""_s, u"Третий без номера"_s, u"3"_s},
                           {u"4"_s, u"Четвёртый Ч. Ч."_s, u"4"_s}});
    const QString path = m_dir.filePath(u"gap.xlsx"_s);
    QVERIFY(WriteWorkbook(sheet, path));
    const DirectoryImport r = ReadDirectoryImport(ReadWorkbook(path));
    QCOMPARE(r.status, DirectoryImport::Status::Ok);
    QCOMPARE(r.rows.size(), 2);
    QCOMPARE(r.rows[0],
             (DirectoryFields{u"Первый П. П."_s, u"1"_s, u"тел"_s, u"тип"_s, u"прим"_s}));
    QCOMPARE(r.rows[1], (DirectoryFields{u"Второй В. В."_s, u"2"_s, {}, {}, {}}));
}

void tst_DirectoryExchange::importNothingWhenA2Empty() {
    WorkbookSheet sheet;
    sheet.setBlock(u"A1", {{u"№"_s, u"Фамилия И. О."_s}, {u""_s, u"Есть имя"_s}, {u"3"_s, u"x"_s}});
    const QString path = m_dir.filePath(u"a2.xlsx"_s);
    QVERIFY(WriteWorkbook(sheet, path));
    const DirectoryImport r = ReadDirectoryImport(ReadWorkbook(path));
    QCOMPARE(r.status, DirectoryImport::Status::Empty);
    QVERIFY(r.rows.isEmpty());
}

void tst_DirectoryExchange::importCapacity() {
    // 501 rows fit, 502 do not.
    for (const int n : {501, 502}) {
        WorkbookReadResult sheet;
        sheet.status = WorkbookReadResult::Status::Ok;
        for (int r = 1; r <= n; ++r) {
            sheet.cells[{r, 0}] = QString::number(r);
            sheet.cells[{r, 1}] = u"Абонент "_s + QString::number(r);
        }
        const DirectoryImport result = ReadDirectoryImport(sheet);
        if (n == 501) {
            QCOMPARE(result.status, DirectoryImport::Status::Ok);
            QCOMPARE(result.rows.size(), 501);
            QCOMPARE(result.rows.last()[0], u"Абонент 501"_s);
        } else {
            QCOMPARE(result.status, DirectoryImport::Status::TooMany);
            QVERIFY(result.rows.isEmpty());
        }
    }
}

void tst_DirectoryExchange::applyKeepsReadingsWithRows() {
    SubscriberTable t = threeSubscribers();
    // Row 4 is past the count with a deleted subscriber's leftovers.
    t.setCell(4, ColName, u"Удалённый"_s);
    t.setCell(4, MonthColumn(0, 1, T1Current), u"999"_s);
    const QList<DirectoryFields> rows = {{u"Новый А"_s, u"a"_s, {}, {}, {}},
                                         {u"Новый Б"_s, u"b"_s, {}, {}, {}},
                                         {u"Новый В"_s, u"c"_s, {}, {}, {}},
                                         {u"Новый Г"_s, u"d"_s, {}, {}, u"прим"_s}};
    ApplyDirectoryImport(t, rows);
    QCOMPARE(t.subscriberCount(), 4);
    for (int i = 1; i <= 4; ++i) {
        QCOMPARE(t.cell(i, ColRowNumber), QString::number(i));
        QCOMPARE(FieldsOf(t, i), rows[i - 1]);
    }
    // Readings stay with their rows; the row past the old count starts clean.
    QCOMPARE(t.cell(2, MonthColumn(0, 1, T1Current)), u"502"_s);
    QCOMPARE(t.cell(4, MonthColumn(0, 1, T1Current)), QString());

    // Fewer rows: the count drops, later rows are not touched.
    ApplyDirectoryImport(t, {{u"Один"_s, {}, {}, {}, {}}});
    QCOMPARE(t.subscriberCount(), 1);
    QCOMPARE(t.cell(2, ColName), u"Новый Б"_s);
}

QTEST_GUILESS_MAIN(tst_DirectoryExchange)
#include "tst_DirectoryExchange.moc"
