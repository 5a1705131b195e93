// Rows kept as the file's bytes after a load: what goes out unchanged, what
// the loader must still clean, and rows written after the load.

#include <map>
#include <memory>

#include <QTemporaryDir>
#include <QTest>

#include "core/Cp1251.h"
#include "storage/DatabaseFile.h"

using namespace Qt::StringLiterals;
using Status = DatabaseFile::Status;

namespace {

constexpr int Seps = DatabaseFile::Separators;

// A line of `seps` fields (1-based, Windows-1251 bytes) without its ending;
// field 1 is the row number unless given.
QByteArray line(int row, const std::map<int, QByteArray>& fields = {}, int seps = Seps) {
    QByteArray out;
    for (int i = 1; i <= seps; ++i) {
        if (auto it = fields.find(i); it != fields.end())
            out += it->second;
        else if (i == 1)
            out += QByteArray::number(row);
        else if (i % 5 == 0)
            out += "12,5";
        out += '|';
    }
    return out;
}

QByteArray cp1251(const QString& text) {
    return Cp1251::encode(text);
}

} // namespace

class tst_LoadedRows : public QObject {
    Q_OBJECT
private slots:
    void savedAsTheWriterWouldWriteIt_data();
    void savedAsTheWriterWouldWriteIt();
    void spacesBesideSeparatorsAtEveryOffset_data();
    void spacesBesideSeparatorsAtEveryOffset();
    void rowWrittenAfterLoad();
    void cellViewsOfLoadedRows();
    void cellRangeGivesWhatCellGives();
    void copyOfALoadedTable();
};

// Line 2 of a three-line file as read and the line the save writes for it;
// lines 1 and 3 are as the writer writes them and must come out unchanged.
void tst_LoadedRows::savedAsTheWriterWouldWriteIt_data() {
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QByteArray>("written");
    const QByteArray name = cp1251(u"Иванов И. И."_s);
    for (const int col : {int(ColName), 700, Seps}) {
        const QString at = u" at column %1"_s.arg(col);
        const auto row = [&](const QByteArray& field) { return line(2, {{col, field}}); };
        QTest::newRow(qPrintable(u"as written"_s + at)) << row(name) << row(name);
        QTest::newRow(qPrintable(u"spaces around"_s + at)) << row("  " + name + " ") << row(name);
        QTest::newRow(qPrintable(u"lone LF"_s + at)) << row("a\nb") << row("a b");
        QTest::newRow(qPrintable(u"CR takes the next byte"_s + at)) << row("a\rXb") << row("ab");
        QTest::newRow(qPrintable(u"byte 0x98"_s + at)) << row("a\x98z") << row("a\x98z");
        QTest::newRow(qPrintable(u"tab stays"_s + at)) << row("a\tb") << row("a\tb");
        QTest::newRow(qPrintable(u"broken bar stays"_s + at)) << row("a\xA6z") << row("a\xA6z");
    }
    QTest::newRow("wrong row number") << line(2, {{1, "77"}}) << line(2);
    QTest::newRow("row number with a space") << line(2, {{1, "2 "}}) << line(2);
    QTest::newRow("text after the last separator") << line(2) + "хвост" << line(2);
    const QByteArray later = line(2, {{Seps + 1, "5"}}, Seps + 2);
    QTest::newRow("fields after the 2513th") << later << later + QByteArray(311, '|');
}

void tst_LoadedRows::savedAsTheWriterWouldWriteIt() {
    QFETCH(QByteArray, read);
    QFETCH(QByteArray, written);
    const bool later = written.count('|') > Seps;
    const int width = later ? Seps + 313 : Seps;
    QTemporaryDir dir;
    const QString path = dir.filePath(DatabaseFile::FileName);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(line(1) + "\r\n" + read + "\r\n" + line(3) + "\r\n");
    }
    SubscriberTable t;
    QCOMPARE(DatabaseFile::load(path, t).status, Status::Ok);
    QCOMPARE(t.subscriberCount(), 3);
    QVERIFY(DatabaseFile::save(path, t));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray pad(width - Seps, '|');
    const QByteArray want = line(1) + pad + "\r\n" + written + "\r\n" + line(3) + pad + "\r\n";
    const QByteArray got = f.readAll();
    if (got != want) {
        qsizetype i = 0;
        while (i < got.size() && i < want.size() && got[i] == want[i])
            ++i;
        QFAIL(qPrintable(u"differs at byte %1: \"%2\" instead of \"%3\""_s.arg(i).arg(
            QString::fromLatin1(got.mid(i, 20)), QString::fromLatin1(want.mid(i, 20)))));
    }
}

// A space next to a separator is trimmed by the loader wherever it falls,
// the scanner's 64-byte chunk boundaries included.
void tst_LoadedRows::spacesBesideSeparatorsAtEveryOffset_data() {
    QTest::addColumn<bool>("before");
    QTest::newRow("space before a separator") << true;
    QTest::newRow("space after a separator") << false;
}

void tst_LoadedRows::spacesBesideSeparatorsAtEveryOffset() {
    QFETCH(bool, before);
    QByteArray bytes;
    for (int r = 1; r <= 70; ++r) {
        const QByteArray word(r, 'a');
        bytes +=
            line(r, {{ColName, before ? QByteArray(word + ' ') : QByteArray(' ' + word)}}) + "\r\n";
    }
    SubscriberTable t;
    QCOMPARE(DatabaseFile::parse(bytes, t).status, Status::Ok);
    for (int r = 1; r <= 70; ++r) {
        QCOMPARE(t.cell(r, ColName), QString(r, u'a'));
        QCOMPARE(t.cell(r, 5), u"12,5"_s);
    }
    QVERIFY(!DatabaseFile::serialize(t).contains(" |"));
    QVERIFY(!DatabaseFile::serialize(t).contains("| "));
}

// The first write turns a row into text; its other cells and the other
// rows stay as they were, and the save writes the new text.
void tst_LoadedRows::cellViewsOfLoadedRows() {
    // Lengths about the size held inside the view, in Cyrillic.
    const int inlined = CellText::InlineChars;
    std::map<int, QString> texts;
    for (int n : {1, inlined - 1, inlined, inlined + 1, 3 * inlined})
        texts[10 + n] = QString(n, u'Ж');
    texts[700] = u"Ёлкин Ю. Я."_s;
    std::map<int, QByteArray> fields;
    for (const auto& [col, text] : texts)
        fields[col] = cp1251(text);
    SubscriberTable t;
    QCOMPARE(DatabaseFile::parse(line(1, fields) + "\r\n", t).status, Status::Ok);
    QVERIFY(t.heldAsLoaded(1));
    std::vector<CellText> kept;
    for (const auto& [col, text] : texts) {
        const CellText v = t.cellView(1, col);
        QCOMPARE(v.view(), QStringView(text));
        QCOMPARE(v.toString(), text);
        QCOMPARE(v.size(), text.size());
        kept.push_back(v); // a copy outlives the one it was made from
    }
    QVERIFY(t.cellView(1, 9).isEmpty());
    QVERIFY(t.cellView(1, Seps + 1).isEmpty());
    int i = 0;
    for (const auto& [col, text] : texts)
        QCOMPARE(kept[size_t(i++)], text);
}

void tst_LoadedRows::cellRangeGivesWhatCellGives() {
    QByteArray bytes;
    for (int r = 1; r <= 3; ++r)
        bytes += line(r, {{ColName, cp1251(u"Ёж %1"_s.arg(r))},
                          {30, cp1251(u"юг"_s)},
                          {Seps - 1, "x"},
                          {Seps, cp1251(u"край"_s)}}) +
                 "\r\n";
    SubscriberTable t;
    QCOMPARE(DatabaseFile::parse(bytes, t).status, Status::Ok);
    t.setCell(2, 31, u"запись"_s); // row 2 held as text, rows 1 and 3 as loaded
    QVERIFY(t.heldAsLoaded(1) && !t.heldAsLoaded(2));
    const std::pair<int, int> ranges[] = {
        {0, 40}, {1, 1}, {28, 33}, {Seps - 3, Seps + 4}, {Seps + 1, Seps + 9}, {Seps, Seps}};
    QString scratch;
    for (const int row : {1, 2, 3, 4}) // 4 has no row at all
        for (const auto& [first, last] : ranges) {
            std::vector<QStringView> out(size_t(last - first + 1));
            t.cellRange(row, first, last, out, scratch);
            for (int c = first; c <= last; ++c)
                QVERIFY2(out[size_t(c - first)] == t.cell(row, c),
                         qPrintable(u"row %1, column %2"_s.arg(row).arg(c)));
        }
    std::vector<QStringView> wrong(3);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, t.cellRange(1, 10, 13, wrong, scratch));
}

void tst_LoadedRows::rowWrittenAfterLoad() {
    const QByteArray end = cp1251(u"конец"_s);
    QByteArray bytes;
    for (int r = 1; r <= 3; ++r)
        bytes += line(r, {{ColName, cp1251(u"Абонент %1"_s.arg(r))}, {Seps, end}}) + "\r\n";
    SubscriberTable t;
    QCOMPARE(DatabaseFile::parse(bytes, t).status, Status::Ok);
    QVERIFY(t.heldAsLoaded(2));
    QCOMPARE(t.heldColumns(2), Seps);
    QCOMPARE(t.cell(2, ColName), u"Абонент 2"_s);
    QCOMPARE(t.cell(2, Seps), u"конец"_s);
    QVERIFY(t.cell(2, Seps + 1).isEmpty());

    // Writing back the text a cell has changes nothing.
    t.setCell(2, ColName, u"Абонент 2"_s);
    t.setCell(2, 9, QString());
    QVERIFY(t.heldAsLoaded(2));

    t.setCell(2, 10, u"Новое | значение"_s);
    QVERIFY(!t.heldAsLoaded(2));
    QVERIFY(t.heldAsLoaded(1));
    QCOMPARE(t.cell(2, 10), u"Новое | значение"_s);
    QCOMPARE(t.cell(2, ColName), u"Абонент 2"_s);
    QCOMPARE(t.cell(2, 9), QString());
    QCOMPARE(t.cell(2, 15), u"12,5"_s);
    QCOMPARE(t.cell(2, Seps), u"конец"_s);
    t.setCell(2, ColName, u"Б"_s);
    QCOMPARE(t.cell(2, 10), u"Новое | значение"_s);

    const QList<QByteArray> lines = DatabaseFile::serialize(t).split('\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], line(1, {{ColName, cp1251(u"Абонент 1"_s)}, {Seps, end}}) + '\r');
    QCOMPARE(
        lines[1],
        line(2, {{ColName, cp1251(u"Б"_s)}, {10, cp1251(u"Новое ¦ значение"_s)}, {Seps, end}}) +
            '\r');
    QCOMPARE(lines[2], line(3, {{ColName, cp1251(u"Абонент 3"_s)}, {Seps, end}}) + '\r');

    // A later year written in one row widens every line, the loaded ones too.
    t.setCell(3, MonthColumn(8, 1, T1Current), u"100"_s);
    const QList<QByteArray> wide = DatabaseFile::serialize(t).split('\n');
    for (int i = 0; i < 3; ++i)
        QCOMPARE(wide[i].count('|'), Seps + 313);
    QVERIFY(wide[0].startsWith(lines[0].chopped(1)));
}

// A copy shares the file's bytes but neither sees the other's writes, and a
// copy outlives the table it was made from.
void tst_LoadedRows::copyOfALoadedTable() {
    QByteArray bytes;
    for (int r = 1; r <= 2; ++r)
        bytes += line(r, {{ColName, cp1251(u"Имя %1"_s.arg(r))}}) + "\r\n";
    auto original = std::make_unique<SubscriberTable>();
    QCOMPARE(DatabaseFile::parse(bytes, *original).status, Status::Ok);
    bytes.fill('x'); // the caller's buffer changes after the load
    // Bytes the caller only lent are copied.
    QByteArray lent = line(1, {{ColName, "lent"}}) + "\r\n";
    SubscriberTable fromLent;
    QCOMPARE(DatabaseFile::parse(QByteArray::fromRawData(lent.constData(), lent.size()), fromLent)
                 .status,
             Status::Ok);
    lent.fill('x');
    QCOMPARE(fromLent.cell(1, ColName), u"lent"_s);
    SubscriberTable copy(*original);
    original->setCell(1, ColName, u"Другое"_s);
    QCOMPARE(copy.cell(1, ColName), u"Имя 1"_s);
    original.reset();
    QCOMPARE(copy.cell(2, ColName), u"Имя 2"_s);
    copy.setCell(2, 5, u"7"_s);
    QCOMPARE(copy.cell(2, ColName), u"Имя 2"_s);
    QCOMPARE(copy.cell(2, 5), u"7"_s);
}

QTEST_GUILESS_MAIN(tst_LoadedRows)
#include "tst_LoadedRows.moc"
