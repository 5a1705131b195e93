// The save streams the file through a buffer of fixed size: the bytes must be
// those of DatabaseFile::serialize() on the cleaned table, whatever the
// buffer's size and wherever the rows fall against it.
#include <algorithm>

#include <QDir>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include "storage/DatabaseFile.h"
#include "support/TestFiles.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int Seps = DatabaseFile::Separators;

// The first difference of two files, for a message shorter than the files.
QByteArray firstDifference(const QByteArray& got, const QByteArray& want) {
    qsizetype i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i])
        ++i;
    return "sizes " + QByteArray::number(got.size()) + " and " + QByteArray::number(want.size()) +
           ", first difference at " + QByteArray::number(i);
}

qsizetype longestLine(const QByteArray& bytes) {
    qsizetype longest = 0;
    for (const QByteArray& l : bytes.split('\n'))
        longest = std::max(longest, l.size() + 1);
    return longest;
}

// Every cell "abc": every line of the table is as long as every other.
SubscriberTable uniformTable(int rows) {
    SubscriberTable t;
    t.setSubscriberCount(rows);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= Seps; ++c)
            t.setCell(r, c, u"abc"_s);
    return t;
}

// A line of uniformTable() with the 2025 block.
constexpr qsizetype UniformLine = Seps * 4 + 313 + 2;

} // namespace

class tst_StreamedSave : public QObject {
    Q_OBJECT
private slots:
    void init();

    void savedAsSerialized_data();
    void savedAsSerialized();
    void lineBreaksCleanedRowByRow_data();
    void lineBreaksCleanedRowByRow();
    void failureInTheMiddleKeepsTheOldFile_data();
    void failureInTheMiddleKeepsTheOldFile();

private:
    QString dbPath() const { return m_dir->filePath(DatabaseFile::FileName); }
    // 60 subscribers, about 1.2 MB: more than the default buffer. Loaded from
    // a file, then every third row written, so rows kept as the file's bytes
    // and rows held as text alternate; a later year in a written row pads
    // every loaded row.
    SubscriberTable mixedTable();
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_StreamedSave::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

SubscriberTable tst_StreamedSave::mixedTable() {
    constexpr int rows = 60;
    SubscriberTable made;
    made.setSubscriberCount(rows);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= Seps; ++c)
            made.setCell(r, c, c == 1 ? QString::number(r) : u"%1,%2"_s.arg(r).arg(c));
    const QString source = m_dir->filePath(u"source.spb"_s);
    SubscriberTable t;
    if (!DatabaseFile::save(source, made) ||
        DatabaseFile::load(source, t).status != DatabaseFile::Status::Ok)
        qFatal("cannot make the table");
    for (int r = 3; r <= rows; r += 3)
        t.setCell(r, 10 + r, u"изменено «%1»"_s.arg(r));
    t.setCell(9, MonthColumn(9, 6, 1), u"2026"_s);
    t.setCell(12, 40, u"перенос\r\nстроки"_s);
    t.setCell(30, 2, u"смайл "_s + QString::fromUcs4(U"\U0001F600") + u" и |"_s);
    t.setCell(59, 41, u"конец\r"_s);
    return t;
}

void tst_StreamedSave::savedAsSerialized_data() {
    QTest::addColumn<qsizetype>("bufferSize");
    QTest::newRow("one byte: every row on its own") << qsizetype(1);
    QTest::newRow("4 KB: shorter than a line") << qsizetype(4096);
    QTest::newRow("about a line") << qsizetype(30000);
    QTest::newRow("a few lines") << qsizetype(100000);
    QTest::newRow("the default") << DatabaseFile::WriteBuffer;
}

void tst_StreamedSave::savedAsSerialized() {
    QFETCH(qsizetype, bufferSize);
    SubscriberTable t = mixedTable();
    QVERIFY(t.heldAsLoaded(1));
    QVERIFY(!t.heldAsLoaded(3));
    SubscriberTable cleaned(t);
    DatabaseFile::cleanLineBreaks(cleaned);
    const QByteArray want = DatabaseFile::serialize(cleaned);
    QVERIFY(want.size() > DatabaseFile::WriteBuffer);

    qint64 largest = 0;
    const auto recording = [&largest](const QString& path) -> std::unique_ptr<QSaveFile> {
        return std::make_unique<RecordingSaveFile>(path, &largest);
    };
    QVERIFY(DatabaseFile::save(dbPath(), t, recording, bufferSize));
    const QByteArray got = readFile(dbPath());
    QVERIFY2(got == want, firstDifference(got, want).constData());
    // Never the whole file at once: the buffer, or two lines where a line is longer.
    QVERIFY2(largest <= std::max<qint64>({bufferSize, 2 * longestLine(want), 16 * 1024}),
             QByteArray::number(largest).constData());
    // The table is cleaned as the save goes.
    QCOMPARE(t.cell(12, 40), u"переносстроки"_s);
    QCOMPARE(t.cell(59, 41), u"конец"_s);
    QCOMPARE(t.cell(9, MonthColumn(9, 6, 1)), u"2026"_s);
}

// Rows 1..5 of a line each, "abc" in every cell. Row 2 holds line breaks at
// its start, middle and end; the buffer's size puts row 2 against its end in
// different ways. Row 4's only cell of 2026 is a line break, so the file
// carries 2025 alone, as it would with the table cleaned first.
void tst_StreamedSave::lineBreaksCleanedRowByRow_data() {
    QTest::addColumn<qsizetype>("bufferSize");
    QTest::newRow("row 2 across the end of the buffer") << UniformLine + UniformLine / 2;
    QTest::newRow("row 2 starts a fresh buffer") << UniformLine;
    QTest::newRow("row 2's line end across") << 2 * UniformLine - 1;
    QTest::newRow("buffer shorter than a row") << UniformLine / 3;
    QTest::newRow("whole table in one buffer") << 10 * UniformLine;
}

void tst_StreamedSave::lineBreaksCleanedRowByRow() {
    QFETCH(qsizetype, bufferSize);
    SubscriberTable t = uniformTable(5);
    t.setCell(2, 3, u"a\r\nb"_s);
    t.setCell(2, Seps - 100, u"x\r\r\ny"_s);
    t.setCell(2, Seps, u"end\r"_s);
    t.setCell(4, MonthColumn(9, 1, 1), u"\r\n"_s);
    t.setCell(5, MonthColumn(8, 1, 1), u"25"_s);
    SubscriberTable cleaned(t);
    DatabaseFile::cleanLineBreaks(cleaned);

    QVERIFY(DatabaseFile::save(dbPath(), t, {}, bufferSize));
    const QByteArray got = readFile(dbPath());
    const QByteArray want = DatabaseFile::serialize(cleaned);
    QVERIFY2(got == want, firstDifference(got, want).constData());
    const QList<QByteArray> lines = got.split('\n');
    QCOMPARE(lines.size(), 6);
    const int fields = Seps + 313;
    const QByteArray plain = QByteArray("abc|").repeated(Seps) + QByteArray(313, '|') + '\r';
    QCOMPARE(lines[0], plain);
    QCOMPARE(lines[2], plain);
    QCOMPARE(lines[3], plain);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(lines[i].count('|'), fields);
    QVERIFY(lines[1].startsWith("abc|abc|ab|abc|"));
    QVERIFY(lines[1].endsWith(QByteArray("|end|" + QByteArray(313, '|') + '\r')));
    QCOMPARE(lines[1].count('\r'), 1);

    // The cells are cleaned in the table as by cleanLineBreaks: a CR goes
    // with the character after it, a lone LF in a row being cleaned becomes
    // the space the file holds.
    QCOMPARE(t.cell(2, 3), u"ab"_s);
    QCOMPARE(t.cell(2, Seps - 100), u"x y"_s);
    QCOMPARE(t.cell(2, Seps), u"end"_s);
    QVERIFY(t.cell(4, MonthColumn(9, 1, 1)).isEmpty());
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= Seps + 313; ++c)
            if (t.cell(r, c) != cleaned.cell(r, c))
                QFAIL(qPrintable(u"row %1 column %2"_s.arg(r).arg(c)));
}

void tst_StreamedSave::failureInTheMiddleKeepsTheOldFile_data() {
    QTest::addColumn<qint64>("budget"); // bytes written before the device fails; -1: size - 1
    QTest::newRow("nothing written") << qint64(0);
    QTest::newRow("within the first buffer") << qint64(1000);
    QTest::newRow("after the first buffer") << qint64(3 * UniformLine / 2 + 1);
    QTest::newRow("half-way") << qint64(4 * UniformLine);
    QTest::newRow("all but the last byte") << qint64(-1);
}

void tst_StreamedSave::failureInTheMiddleKeepsTheOldFile() {
    QFETCH(qint64, budget);
    const QByteArray old = TaggedDatabase(u"Старый"_s, 3);
    QVERIFY(writeFile(dbPath(), old));
    SubscriberTable t = uniformTable(8);
    // In the last row: the rows never reached are cleaned all the same.
    t.setCell(8, 7, u"по\r\nследний"_s);
    SubscriberTable cleaned(t);
    DatabaseFile::cleanLineBreaks(cleaned);
    const QByteArray want = DatabaseFile::serialize(cleaned);
    if (budget < 0)
        budget = want.size() - 1;

    const qsizetype bufferSize = UniformLine + UniformLine / 2;
    const auto failing = [budget](const QString& path) -> std::unique_ptr<QSaveFile> {
        return std::make_unique<FailingSaveFile>(path, budget);
    };
    QVERIFY(!DatabaseFile::save(dbPath(), t, failing, bufferSize));
    QCOMPARE(readFile(dbPath()), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{DatabaseFile::FileName});
    QCOMPARE(t.cell(8, 7), u"последний"_s);

    QVERIFY(DatabaseFile::save(dbPath(), t, {}, bufferSize));
    QVERIFY(readFile(dbPath()) == want);
}

QTEST_GUILESS_MAIN(tst_StreamedSave)
#include "tst_StreamedSave.moc"
