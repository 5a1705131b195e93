#include <algorithm>
#include <map>
#include <optional>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "core/Cp1251.h"
#include "storage/DatabaseFile.h"
#include "core/LineBreaks.h"
#include "support/MappingSupport.h"
#include "support/TestFiles.h"

using namespace Qt::StringLiterals;
using Status = DatabaseFile::Status;

Q_DECLARE_METATYPE(DatabaseFile::Status)

namespace {

constexpr int Seps = DatabaseFile::Separators;

// One line with the given fields (1-based, Windows-1251 bytes) and `seps`
// separators, ended by CR LF unless told otherwise.
QByteArray line(const std::map<int, QByteArray>& fields = {}, int seps = Seps,
                const QByteArray& ending = "\r\n") {
    QByteArray out;
    for (int i = 1; i <= seps; ++i) {
        if (auto it = fields.find(i); it != fields.end())
            out += it->second;
        out += '|';
    }
    return out + ending;
}

QByteArray repeatLine(int count) {
    QByteArray out;
    const QByteArray one = line({{2, "x"}});
    for (int i = 0; i < count; ++i)
        out += one;
    return out;
}

} // namespace

class tst_DatabaseFile : public QObject {
    Q_OBJECT
private slots:
    void init();

    void loadFailures_data();
    void loadFailures();
    void fullFileOf501Lines();
    void parserFields();
    void lineEndings_data();
    void lineEndings();
    void loneLineFeedStaysInItsCell();
    void loadReplacesTheWholeTable();
    void mappedLoadKeepsItsBytesWhateverBecomesOfTheFile();

    void roundTripOfEveryStoredCell();
    void nothingAfter2024KeepsTheLine_data();
    void nothingAfter2024KeepsTheLine();
    void laterYearsRoundTrip();
    void everyFieldOfTheLastYearLoads();
    void laterYearOfZeroChargesHoldsNoData_data();
    void laterYearOfZeroChargesHoldsNoData();
    void loadedZeroBlocksAreLeftOut_data();
    void loadedZeroBlocksAreLeftOut();
    void lineBreaksAreRemovedBeforeWriting_data();
    void lineBreaksAreRemovedBeforeWriting();
    void charactersThatWouldBreakTheLine();
    void charactersWithoutWindows1251Form_data();
    void charactersWithoutWindows1251Form();
    void createNew();

    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void saveIntoMissingFolderFails();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();

private:
    QString dbPath() const { return m_dir->filePath(DatabaseFile::FileName); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_DatabaseFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_DatabaseFile::loadFailures_data() {
    QTest::addColumn<QByteArray>("content"); // "<none>": no file
    QTest::addColumn<Status>("status");
    QTest::addColumn<int>("badLine");

    const QByteArray good = line({{2, "Иванов"}});
    QTest::newRow("not found") << QByteArray("<none>") << Status::NotFound << 0;
    QTest::newRow("empty") << QByteArray() << Status::Empty << 0;
    QTest::newRow("third line 2512")
        << good + good + line({}, Seps - 1) + good << Status::FormatError << 3;
    QTest::newRow("first line 6") << line({}, 6) + good << Status::FormatError << 1;
    QTest::newRow("second line 0")
        << good + QByteArray("Иванов И. И.\r\n") + good << Status::FormatError << 2;
    QTest::newRow("last line without ending, 2512")
        << good + line({}, Seps - 1, "") << Status::FormatError << 2;
    QTest::newRow("empty line at the end") << good + QByteArray("\r\n") << Status::FormatError << 2;
    QTest::newRow("502 lines") << repeatLine(502) << Status::TooManyLines << 0;
    // Converted to LF but for one CR LF: split at LF, the short line is found.
    QTest::newRow("LF file with a CR LF, third line 2512")
        << line({{2, "a"}}, Seps, "\n") + line({{2, "b"}}) + line({}, Seps - 1, "\n") +
               line({{2, "d"}}, Seps, "\n")
        << Status::FormatError << 3;
    // A field the table has no column for: neither dropped nor cut.
    const int max = SubscriberTable::MaxCol;
    QTest::newRow("a field past 2099, line kept as bytes")
        << good + line({{1, "2"}, {2, "Петров"}, {max + 1, "x"}}, max + 1) << Status::FormatError
        << 2;
    QTest::newRow("a field past 2099, line decoded")
        << good + line({{1, "2"}, {3, " уч. 7 "}, {max + 1, "x"}}, max + 1) << Status::FormatError
        << 2;
    QTest::newRow("an empty field past 2099")
        << good + line({}, max + 1) << Status::FormatError << 2;
}

void tst_DatabaseFile::loadFailures() {
    QFETCH(QByteArray, content);
    QFETCH(Status, status);
    QFETCH(int, badLine);
    if (content != "<none>")
        QVERIFY(writeFile(dbPath(), Cp1251::encode(QString::fromUtf8(content))));

    for (const auto read : {DatabaseFile::Read::IntoMemory, DatabaseFile::Read::Mapped}) {
        SubscriberTable t;
        t.setSubscriberCount(1);
        t.setCell(1, ColName, u"до загрузки"_s);
        const auto r = DatabaseFile::load(dbPath(), t, read);
        QCOMPARE(r.status, status);
        QCOMPARE(r.badLine, badLine);
        // A refused file leaves the table as it was.
        QCOMPARE(t.subscriberCount(), 1);
        QCOMPARE(t.cell(1, ColName), u"до загрузки"_s);
        QVERIFY(!t.fileMapping());
    }
}

void tst_DatabaseFile::fullFileOf501Lines() {
    QVERIFY(writeFile(dbPath(), repeatLine(501)));
    SubscriberTable t;
    const auto r = DatabaseFile::load(dbPath(), t);
    QCOMPARE(r.status, Status::Ok);
    QCOMPARE(r.lineCount, 501);
    QCOMPARE(t.subscriberCount(), 501);
    QCOMPARE(t.cell(501, 1), u"501"_s);
    QCOMPARE(t.cell(501, ColName), u"x"_s);
}

void tst_DatabaseFile::parserFields() {
    // Later years' fields, but not a whole year block; text after the last
    // separator is no field.
    const QByteArray tail = "хвост| ещё |обрывок";
    QByteArray bytes;
    bytes += line();                                      // only separators
    bytes += line({{1, "99"}, {2, "Петров"}});            // row number ignored
    bytes += line({{1, "7"}, {2, "  Сидоров  С. С.  "}}); // "7|" in line 3
    bytes += line({{3, "\tтаб\t"}, {4, " "}, {Seps, " последняя "}}, Seps, tail + "\r\n");
    QVERIFY(writeFile(dbPath(), Cp1251::encode(QString::fromUtf8(bytes))));

    SubscriberTable t;
    QCOMPARE(DatabaseFile::load(dbPath(), t).status, Status::Ok);
    QCOMPARE(t.subscriberCount(), 4);

    for (int c = 2; c <= Seps; ++c)
        QVERIFY2(t.cellView(1, c).isEmpty(), qPrintable(QString::number(c)));
    for (int r = 1; r <= 4; ++r)
        QCOMPARE(t.cell(r, 1), QString::number(r));
    QCOMPARE(t.cell(2, ColName), u"Петров"_s);
    // Only spaces at the ends go; inner spaces and tabs stay.
    QCOMPARE(t.cell(3, ColName), u"Сидоров  С. С."_s);
    QCOMPARE(t.cell(4, 3), u"\tтаб\t"_s);
    QCOMPARE(t.cell(4, 4), u""_s);
    QCOMPARE(t.cell(4, Seps), u"последняя"_s);
    QCOMPARE(t.cell(4, Seps + 1), u"хвост"_s);
    QCOMPARE(t.cell(4, Seps + 2), u"ещё"_s);
    QVERIFY(t.cell(4, Seps + 3).isEmpty());
    QVERIFY(t.cell(3, Seps + 1).isEmpty());
    QVERIFY(t.cell(4, 0).isEmpty());
}

void tst_DatabaseFile::lineEndings_data() {
    QTest::addColumn<QByteArrayList>("endings"); // one a line
    QTest::newRow("CR LF") << QByteArrayList{"\r\n", "\r\n"};
    QTest::newRow("last line unterminated") << QByteArrayList{"\r\n", ""};
    QTest::newRow("last line ends with a lone CR") << QByteArrayList{"\r\n", "\r"};
    // Converted by a tool: LF ends the lines, a CR LF it missed too.
    QTest::newRow("LF only") << QByteArrayList{"\n", "\n"};
    QTest::newRow("LF only, last unterminated") << QByteArrayList{"\n", ""};
    QTest::newRow("LF but for one CR LF") << QByteArrayList{"\n", "\r\n", "\n", "\n"};
    QTest::newRow("LF but for the first line") << QByteArrayList{"\r\n", "\n", "\n", ""};
    QTest::newRow("CR only") << QByteArrayList{"\r", "\r", "\r"};
    QTest::newRow("CR only, last unterminated") << QByteArrayList{"\r", ""};
}

void tst_DatabaseFile::lineEndings() {
    QFETCH(QByteArrayList, endings);
    const int n = int(endings.size());
    QByteArray bytes;
    for (int r = 1; r <= n; ++r)
        bytes +=
            line({{2, "абонент " + QByteArray::number(r)}, {Seps, "end"}}, Seps, endings[r - 1]);
    QVERIFY(writeFile(dbPath(), Cp1251::encode(QString::fromUtf8(bytes))));
    SubscriberTable t;
    QCOMPARE(DatabaseFile::load(dbPath(), t).status, Status::Ok);
    QCOMPARE(t.subscriberCount(), n);
    for (int r = 1; r <= n; ++r) {
        QCOMPARE(t.cell(r, ColName), u"абонент %1"_s.arg(r));
        QCOMPARE(t.cell(r, Seps), u"end"_s);
        QVERIFY(t.cell(r, Seps + 1).isEmpty());
    }
    // Saved, every line ends with CR LF.
    QVERIFY(DatabaseFile::save(dbPath(), t));
    const QByteArray saved = readFile(dbPath());
    QCOMPARE(saved.count('\n'), n);
    QCOMPARE(saved.count("\r\n"), n);
    QCOMPARE(saved.count('\r'), n);
}

void tst_DatabaseFile::loneLineFeedStaysInItsCell() {
    // A multi-line cell of an older file: lines end at CR LF only.
    const QByteArray note = "ключ у соседа\nучасток 12";
    QByteArray bytes;
    bytes += line({{2, "Иванов"}, {ColNote, "калитка"}, {100, "10625"}, {Seps, "1"}});
    bytes += line({{2, "Петров"}, {ColNote, note}, {100, "8000"}, {Seps, "2"}});
    bytes += line({{2, "Сидоров"}, {3, "уч. 7"}, {Seps, "3"}});
    QVERIFY(writeFile(dbPath(), Cp1251::encode(QString::fromUtf8(bytes))));

    SubscriberTable t;
    QCOMPARE(DatabaseFile::load(dbPath(), t).status, Status::Ok);
    QCOMPARE(t.subscriberCount(), 3);
    QCOMPARE(t.cell(2, ColNote), QString::fromUtf8(note));
    const std::map<std::pair<int, int>, QString> kept = {
        {{1, ColName}, u"Иванов"_s}, {{1, ColNote}, u"калитка"_s}, {{1, 100}, u"10625"_s},
        {{1, Seps}, u"1"_s},         {{2, ColName}, u"Петров"_s},  {{2, 100}, u"8000"_s},
        {{2, Seps}, u"2"_s},         {{3, ColName}, u"Сидоров"_s}, {{3, 3}, u"уч. 7"_s},
        {{3, Seps}, u"3"_s}};
    for (int r = 1; r <= 3; ++r)
        for (int c = 2; c <= Seps; ++c) {
            if (r == 2 && c == ColNote)
                continue;
            const auto it = kept.find({r, c});
            const QString want = it == kept.end() ? QString() : it->second;
            if (t.cell(r, c) != want)
                QFAIL(qPrintable(u"row %1 column %2: \"%3\""_s.arg(r).arg(c).arg(t.cell(r, c))));
        }

    // Saved, the note is on its line.
    QVERIFY(DatabaseFile::save(dbPath(), t));
    const QByteArray saved = readFile(dbPath());
    QCOMPARE(saved.count('\n'), 3);
    QCOMPARE(saved.count("\r\n"), 3);
    QVERIFY(saved.contains(Cp1251::encode(u"|ключ у соседа участок 12|"_s)));
    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(dbPath(), back).status, Status::Ok);
    QCOMPARE(back.subscriberCount(), 3);
    QCOMPARE(back.cell(2, ColNote), u"ключ у соседа участок 12"_s);
    QCOMPARE(back.cell(3, 3), u"уч. 7"_s);
}

void tst_DatabaseFile::loadReplacesTheWholeTable() {
    SubscriberTable t;
    t.setSubscriberCount(3);
    for (int r = 0; r <= 3; ++r)
        for (int c : {0, 2, 100, Seps, Seps + 1, SubscriberTable::MaxCol})
            t.setCell(r, c, u"старое"_s);
    QVERIFY(writeFile(dbPath(), Cp1251::encode(QString::fromUtf8(line({{2, "новое"}})))));
    QCOMPARE(DatabaseFile::load(dbPath(), t).status, Status::Ok);
    QCOMPARE(t.subscriberCount(), 1);
    QCOMPARE(t.cell(1, ColName), u"новое"_s);
    for (int c : {0, 100, Seps, Seps + 1, SubscriberTable::MaxCol})
        QVERIFY2(t.cell(1, c).isEmpty(), qPrintable(QString::number(c)));
    for (int r = 2; r <= 3; ++r)
        QVERIFY(t.cell(r, ColName).isEmpty());
}

void tst_DatabaseFile::mappedLoadKeepsItsBytesWhateverBecomesOfTheFile() {
    // Rows the writer would write back as they are and one it would not
    // (spaces around a field), Cyrillic text, a year after 2024.
    SubscriberTable t;
    t.setSubscriberCount(2);
    t.setCell(1, ColName, u"Иванов И. И."_s);
    t.setCell(1, MonthColumn(1, 3, T1Current), u"1234,5"_s);
    t.setCell(2, MonthColumn(9, 12, T2Current), u"77"_s);
    QByteArray bytes = DatabaseFile::serialize(t);
    bytes += Cp1251::encode(QString::fromUtf8(line({{2, " Петров "}, {5, "Ёлка"}}, Seps + 313)));
    QVERIFY(writeFile(dbPath(), bytes));

    SubscriberTable read;
    QCOMPARE(DatabaseFile::load(dbPath(), read).status, Status::Ok);
    QVERIFY(!read.fileMapping());
    std::optional<SubscriberTable> mapped(std::in_place);
    QCOMPARE(DatabaseFile::load(dbPath(), *mapped, DatabaseFile::Read::Mapped).status, Status::Ok);
    QCOMPARE(bool(mapped->fileMapping()), FilesAreMapped());
    QCOMPARE(mapped->subscriberCount(), 3);
    QCOMPARE(mapped->cell(3, ColName), u"Петров"_s);
    QCOMPARE(mapped->cell(1, MonthColumn(1, 3, T1Current)), u"1234,5"_s);
    QCOMPARE(DatabaseFile::serialize(*mapped), DatabaseFile::serialize(read));

    // A copy keeps the bytes when the loaded table is gone and the file
    // replaced by a save, then removed.
    SubscriberTable copy = *mapped;
    mapped.reset();
    SubscriberTable other;
    other.setSubscriberCount(1);
    other.setCell(1, ColName, u"другой"_s);
    QVERIFY(DatabaseFile::save(dbPath(), other));
    QVERIFY(QFile::remove(dbPath()));
    QCOMPARE(copy.cell(1, ColName), u"Иванов И. И."_s);
    QCOMPARE(DatabaseFile::serialize(copy), DatabaseFile::serialize(read));
    if (copy.fileMapping())
        QVERIFY(copy.fileMapping()->makePrivate());
    QCOMPARE(DatabaseFile::serialize(copy), DatabaseFile::serialize(read));
}

void tst_DatabaseFile::roundTripOfEveryStoredCell() {
    const QStringList samples = {
        u"Ёлкина Алёна Фёдоровна"_s,
        u"ул. Лесная, д. №5"_s,
        u"10625"_s,
        u"5,47"_s,
        u"1,052632"_s,
        u"31.01.24"_s,
        u"  пробелы вокруг  "_s,
        u"внутри   пробелы"_s,
        u"«кавычки» — тире € ‰"_s,
        u""_s,
        u"длинное примечание "_s.repeated(20),
    };
    SubscriberTable t;
    t.setSubscriberCount(3);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= Seps; ++c)
            t.setCell(r, c, samples.at((r * 7 + c) % samples.size()));
    t.setCell(2, 0, u"не хранится"_s);
    t.setCell(0, Seps + 1, u"строка 0 не хранится"_s);
    QVERIFY(DatabaseFile::save(dbPath(), t));

    const QByteArray bytes = readFile(dbPath());
    QCOMPARE(bytes.count("\r\n"), 3);
    for (const QByteArray& l : bytes.split('\n').mid(0, 3)) {
        QCOMPARE(l.count('|'), Seps);
        QVERIFY(l.endsWith("|\r"));
    }
    QVERIFY(bytes.contains("\xA8\xEB\xEA\xE8\xED\xE0 \xC0\xEB\xB8\xED\xE0")); // "Ёлкина Алёна"
    QVERIFY(bytes.contains("\xB9"));                                          // "№"

    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(dbPath(), back).status, Status::Ok);
    QCOMPARE(back.subscriberCount(), 3);
    for (int r = 1; r <= 3; ++r) {
        QCOMPARE(back.cell(r, 1), QString::number(r));
        for (int c = 2; c <= Seps; ++c) {
            const QString want = QString(samples.at((r * 7 + c) % samples.size()))
                                     .remove(QRegularExpression(u"^ +| +$"_s));
            if (back.cell(r, c) != want)
                QFAIL(qPrintable(u"row %1 column %2: \"%3\" instead of \"%4\""_s.arg(r).arg(c).arg(
                    back.cell(r, c), want)));
        }
    }
    QVERIFY(back.cell(2, 0).isEmpty());
    QVERIFY(back.cell(0, Seps + 1).isEmpty());
}

// The writer's rule: a table with no non-empty cell after 2024 in a stored row
// is written with 2513 fields a line, byte for byte as the older layout.
void tst_DatabaseFile::nothingAfter2024KeepsTheLine_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing written") << 1 << 0 << QString();
    QTest::newRow("later cell emptied again") << 2 << MonthColumn(9, 3, 1) << u""_s;
    QTest::newRow("only row 0") << 0 << MonthColumn(8, 1, 1) << u"1"_s;
    QTest::newRow("only a row past the count") << 3 << MonthColumn(8, 1, 1) << u"1"_s;
}

void tst_DatabaseFile::nothingAfter2024KeepsTheLine() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    SubscriberTable t;
    t.setSubscriberCount(2);
    t.setCell(1, ColName, u"Иванов"_s);
    t.setCell(2, MonthColumn(7, 12, 1), u"10625"_s);
    t.setCell(HeadMeterRow, HeadMeterColumn(7, 12, 3), u"99"_s);
    if (column) {
        t.setCell(row, column, u"временно"_s);
        t.setCell(row, column, text);
    }
    const QByteArray want = Cp1251::encode(QString::fromUtf8(
        line({{2, "Иванов"}, {2509, "99"}}) + line({{MonthColumn(7, 12, 1), "10625"}})));
    QCOMPARE(DatabaseFile::serialize(t), want);
}

// Data in 2025 and 2027 make every line carry the blocks of 2025, 2026 and
// 2027; loading gives back every cell and saving again the same bytes.
void tst_DatabaseFile::laterYearsRoundTrip() {
    SubscriberTable t;
    t.setSubscriberCount(3);
    for (int r = 1; r <= 3; ++r)
        t.setCell(r, ColRowNumber, QString::number(r));
    t.setCell(1, ColName, u"Иванов"_s);
    t.setCell(1, MonthColumn(7, 12, 1), u"10500"_s);
    t.setCell(1, MonthColumn(8, 1, 2), u"10500"_s);
    t.setCell(2, MonthColumn(8, 1, ReadingDate), u"31.01.25"_s);
    t.setCell(2, MonthColumn(8, 12, 21), u"12,5"_s);
    t.setCell(3, MonthColumn(10, 6, 1), u"Ёлка|"_s);
    t.setCell(HeadMeterRow, HeadMeterColumn(10, 12, 3), u"777"_s);
    QVERIFY(DatabaseFile::save(dbPath(), t));

    const int fields = Seps + 3 * 313;
    const QList<QByteArray> lines = readFile(dbPath()).split('\n');
    QCOMPARE(lines.size(), 4);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(lines[i].count('|'), fields);
        QVERIFY(lines[i].endsWith("|\r"));
    }
    // Field j is column j: the old part of a line is where it always was.
    QCOMPARE(lines[1].split('|').at(MonthColumn(8, 1, 0) - 1), QByteArray("31.01.25"));
    QCOMPARE(lines[0].split('|').at(HeadMeterColumn(10, 12, 3) - 1), QByteArray("777"));
    QCOMPARE(lines[0].split('|').at(MonthColumn(7, 12, 1) - 1), QByteArray("10500"));

    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(dbPath(), back).status, Status::Ok);
    QCOMPARE(back.subscriberCount(), 3);
    QCOMPARE(back.cell(1, MonthColumn(7, 12, 1)), u"10500"_s);
    QCOMPARE(back.cell(1, MonthColumn(8, 1, 2)), u"10500"_s);
    QCOMPARE(back.cell(2, MonthColumn(8, 1, ReadingDate)), u"31.01.25"_s);
    QCOMPARE(back.cell(2, MonthColumn(8, 12, 21)), u"12,5"_s);
    QCOMPARE(back.cell(3, MonthColumn(10, 6, 1)), u"Ёлка¦"_s);
    QCOMPARE(back.cell(HeadMeterRow, HeadMeterColumn(10, 12, 3)), u"777"_s);
    QCOMPARE(YearLayout::LastLaterYearWithData(back), 10);
    const QByteArray first = readFile(dbPath());
    QVERIFY(DatabaseFile::save(dbPath(), back));
    QCOMPARE(readFile(dbPath()), first);
}

// Showing a later year computes a charge for every subscriber, "0" where
// nothing was entered. A later year holding nothing but such zeros is not
// data: the writer leaves it out and the year list does not count it.
void tst_DatabaseFile::laterYearOfZeroChargesHoldsNoData_data() {
    QTest::addColumn<QList<int>>("columns"); // in every row
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("reading");  // a column of row 2 holding "7"; 0: none
    QTest::addColumn<int>("lastYear"); // the last year written and counted; 0: none
    QList<int> charges2026, charges2027;
    for (int m = 1; m <= 12; ++m) {
        charges2026 << MonthColumn(9, m, ChargeWithComp);
        charges2027 << MonthColumn(10, m, ChargeWithComp);
    }
    QTest::newRow("zero charges of 2026") << charges2026 << u"0"_s << 0 << 0;
    QTest::newRow("zero written as money") << charges2026 << u"0,00"_s << 0 << 0;
    QTest::newRow("zeros in 2027 after a reading in 2025")
        << charges2027 << u"0"_s << MonthColumn(8, 3, T1Current) << 2025;
    QTest::newRow("zeros in 2026 before a reading in 2027")
        << charges2026 << u"0"_s << MonthColumn(10, 3, T1Current) << 2027;
    QTest::newRow("a charge of a kopeck") << charges2026 << u"0,01"_s << 0 << 2026;
    QTest::newRow("text in the charge slot") << charges2026 << u"н/д"_s << 0 << 2026;
    QTest::newRow("a reading of 0")
        << QList<int>{MonthColumn(9, 5, T1Current)} << u"0"_s << 0 << 2026;
    QTest::newRow("a head meter reading of 0")
        << QList<int>{HeadMeterColumn(9, 1, 0)} << u"0"_s << 0 << 2026;
}

void tst_DatabaseFile::laterYearOfZeroChargesHoldsNoData() {
    QFETCH(QList<int>, columns);
    QFETCH(QString, text);
    QFETCH(int, reading);
    QFETCH(int, lastYear);
    SubscriberTable t;
    t.setSubscriberCount(3);
    for (int r = 1; r <= 3; ++r) {
        t.setCell(r, ColName, u"Абонент %1"_s.arg(r));
        t.setCell(r, MonthColumn(7, 12, T1Current), u"10625"_s);
        for (int c : columns)
            t.setCell(r, c, text);
    }
    if (reading)
        t.setCell(2, reading, u"7"_s);
    const int fields = lastYear ? YearLayout::LastColumnUpTo(lastYear - 2017) : Seps;
    if (lastYear)
        QCOMPARE(YearLayout::LastLaterYearWithData(t), lastYear - 2017);
    else
        QVERIFY(!YearLayout::LastLaterYearWithData(t));
    QCOMPARE(YearLayout::LastYearToOffer(2025, t), std::max(2026, lastYear));

    QVERIFY(DatabaseFile::save(dbPath(), t));
    const QByteArray saved = readFile(dbPath());
    QCOMPARE(saved, DatabaseFile::serialize(t));
    const QList<QByteArray> lines = saved.split('\n');
    QCOMPARE(lines.size(), 4);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(lines[i].count('|'), fields);
    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(dbPath(), back).status, Status::Ok);
    for (int c : columns)
        QCOMPARE(back.cell(3, c), c <= fields ? text : QString());
}

// A file written before this rule carries the zero blocks on every line. Its
// rows, kept as the file's bytes while unchanged, are written without them.
void tst_DatabaseFile::loadedZeroBlocksAreLeftOut_data() {
    QTest::addColumn<int>("reading"); // a column of row 3 holding "7"; 0: none
    QTest::addColumn<int>("fields");
    QTest::newRow("nothing but zeros after 2024") << 0 << Seps;
    QTest::newRow("a reading in 2025")
        << MonthColumn(8, 1, T1Current) << YearLayout::LastColumnUpTo(8);
}

void tst_DatabaseFile::loadedZeroBlocksAreLeftOut() {
    QFETCH(int, reading);
    QFETCH(int, fields);
    const int written = YearLayout::LastColumnUpTo(9); // 2025 and 2026
    QByteArray bytes;
    for (int r = 1; r <= 3; ++r) {
        std::map<int, QByteArray> cells = {{1, QByteArray::number(r)},
                                           {2, "Абонент " + QByteArray::number(r)}};
        // Row 2 is decoded on load: a space beside a separator.
        if (r == 2)
            cells[3] = " уч. 7 ";
        if (r == 3 && reading)
            cells[reading] = "7";
        for (int m = 1; m <= 12; ++m)
            cells[MonthColumn(9, m, ChargeWithComp)] = "0";
        bytes += line(cells, written);
    }
    bytes = Cp1251::encode(QString::fromUtf8(bytes));
    QVERIFY(writeFile(dbPath(), bytes));
    SubscriberTable t;
    QCOMPARE(DatabaseFile::load(dbPath(), t).status, Status::Ok);
    QVERIFY(t.heldAsLoaded(1));
    QVERIFY(!t.heldAsLoaded(2));

    QVERIFY(DatabaseFile::save(dbPath(), t));
    const QList<QByteArray> before = bytes.split('\n');
    const QList<QByteArray> after = readFile(dbPath()).split('\n');
    QCOMPARE(after.size(), 4);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(after[i].count('|'), fields);
        QVERIFY(after[i].endsWith("|\r"));
    }
    // The row kept as bytes is its line cut after the last field written.
    QCOMPARE(after[0].chopped(1), before[0].first(after[0].size() - 1));
    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(dbPath(), back).status, Status::Ok);
    QCOMPARE(back.cell(2, 3), u"уч. 7"_s);
    QCOMPARE(back.cell(3, ColName), u"Абонент 3"_s);
    if (reading)
        QCOMPARE(back.cell(3, reading), u"7"_s);
}

// A line with a field for every column up to the end of 2099 loads whole
// and is written back so.
void tst_DatabaseFile::everyFieldOfTheLastYearLoads() {
    const int max = SubscriberTable::MaxCol;
    QVERIFY(writeFile(
        dbPath(), Cp1251::encode(QString::fromUtf8(line({{2, "Иванов"}, {max, "last"}}, max)))));
    SubscriberTable t;
    QCOMPARE(DatabaseFile::load(dbPath(), t).status, Status::Ok);
    QCOMPARE(t.cell(1, ColName), u"Иванов"_s);
    QCOMPARE(t.cell(1, max), u"last"_s);
    QCOMPARE(YearLayout::LastLaterYearWithData(t), YearLayout::YearCount - 1);
    QCOMPARE(DatabaseFile::serialize(t).count('|'), max);
}

void tst_DatabaseFile::lineBreaksAreRemovedBeforeWriting_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cleaned");
    QTest::newRow("CR LF in the middle") << u"Иванов\r\nИ. И."_s << u"ИвановИ. И."_s;
    QTest::newRow("CR takes the next character") << u"12\rX34"_s << u"1234"_s;
    QTest::newRow("CR at the end") << u"конец\r"_s << u"конец"_s;
    QTest::newRow("two pairs") << u"a\r\nb\r\nc"_s << u"abc"_s;
    QTest::newRow("CR CR LF") << u"a\r\r\nb"_s << u"a b"_s;
    QTest::newRow("lone LF") << u"ключ\nучасток"_s << u"ключ участок"_s;
    QTest::newRow("lone LF and a CR LF") << u"ключ\nуч.\r\n7"_s << u"ключ уч.7"_s;
}

// The file gives back what leaving the cell gives: one rule for both.
void tst_DatabaseFile::lineBreaksAreRemovedBeforeWriting() {
    QFETCH(QString, text);
    QFETCH(QString, cleaned);
    QCOMPARE(RemoveLineBreaks(text), cleaned);
    SubscriberTable t;
    t.setSubscriberCount(2);
    t.setCell(1, 40, text);
    t.setCell(2, ColName, u"второй"_s);
    const int later = MonthColumn(9, 2, 0);
    t.setCell(2, later, text);
    QVERIFY(DatabaseFile::save(dbPath(), t));
    // A text with a CR is stored back cleaned, in a later year too; a lone LF
    // alone is only written as a space.
    if (text.contains(u'\r')) {
        QCOMPARE(t.cell(1, 40), cleaned);
        QCOMPARE(t.cell(2, later), cleaned);
    }

    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(dbPath(), back).status, Status::Ok);
    QCOMPARE(back.subscriberCount(), 2);
    QCOMPARE(back.cell(1, 40), cleaned);
    QCOMPARE(back.cell(2, ColName), u"второй"_s);
    QCOMPARE(back.cell(2, later), cleaned);
}

void tst_DatabaseFile::charactersThatWouldBreakTheLine() {
    SubscriberTable t;
    t.setSubscriberCount(1);
    t.setCell(1, ColName, u"Иванов|Петров"_s);
    t.setCell(1, 3, u"||"_s);
    t.setCell(1, 4, u"после"_s);
    QVERIFY(DatabaseFile::save(dbPath(), t));
    const QByteArray bytes = readFile(dbPath());
    QCOMPARE(bytes.count('|'), Seps);
    QVERIFY(bytes.contains("\xA6\xA6|"));

    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(dbPath(), back).status, Status::Ok);
    QCOMPARE(back.cell(1, ColName), u"Иванов¦Петров"_s);
    QCOMPARE(back.cell(1, 3), u"¦¦"_s);
    QCOMPARE(back.cell(1, 4), u"после"_s);
}

void tst_DatabaseFile::charactersWithoutWindows1251Form_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::newRow("CJK") << u"дом 日本"_s << u"дом ??"_s;
    QTest::newRow("Latin with accent outside the code page") << u"Đoković"_s << u"?okovi?"_s;
    QTest::newRow("one character beyond 16 bits")
        << (u"а"_s + QString::fromUcs4(U"\U0001F600") + u"б"_s) << u"а?б"_s;
    QTest::newRow("code page extras") << u"€‰№ё¤"_s << u"€‰№ё¤"_s;
}

void tst_DatabaseFile::charactersWithoutWindows1251Form() {
    QFETCH(QString, text);
    QFETCH(QString, stored);
    SubscriberTable t;
    t.setSubscriberCount(1);
    t.setCell(1, ColName, text);
    t.setCell(1, 3, u"соседка"_s);
    QVERIFY(DatabaseFile::save(dbPath(), t));
    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(dbPath(), back).status, Status::Ok);
    QCOMPARE(back.cell(1, ColName), stored);
    QCOMPARE(back.cell(1, 3), u"соседка"_s);
}

void tst_DatabaseFile::createNew() {
    SubscriberTable t;
    t.setSubscriberCount(5);
    t.setCell(3, ColName, u"прежний"_s);
    QVERIFY(DatabaseFile::createNew(dbPath(), t));
    QCOMPARE(readFile(dbPath()), QByteArray(Seps, '|') + "\r\n");

    SubscriberTable loaded;
    QCOMPARE(DatabaseFile::load(dbPath(), loaded).status, Status::Ok);
    QCOMPARE(loaded.subscriberCount(), 1);
    QCOMPARE(loaded.cell(1, 1), u"1"_s);
    QVERIFY(loaded.cell(1, ColName).isEmpty());
}

void tst_DatabaseFile::failedSaveKeepsTheOldFile_data() {
    QTest::addColumn<qint64>("budget"); // bytes written before the device fails; -1: size - 1
    QTest::newRow("nothing written") << qint64(0);
    QTest::newRow("one byte") << qint64(1);
    QTest::newRow("part-way") << qint64(8000);
    QTest::newRow("all but the last byte") << qint64(-1);
}

void tst_DatabaseFile::failedSaveKeepsTheOldFile() {
    QFETCH(qint64, budget);
    const QByteArray old = line({{2, "Старый И. И."}}) + line({{2, "Старый П. П."}});
    QVERIFY(writeFile(dbPath(), old));

    SubscriberTable t;
    t.setSubscriberCount(3);
    for (int r = 1; r <= 3; ++r)
        for (int c = 2; c <= 200; ++c)
            t.setCell(r, c, u"новое значение %1"_s.arg(c));
    t.setCell(2, 5, u"с\r\nпереносом"_s);
    SubscriberTable cleaned(t);
    DatabaseFile::cleanLineBreaks(cleaned);
    const qint64 size = DatabaseFile::serialize(cleaned).size();
    if (budget < 0)
        budget = size - 1;
    QVERIFY(budget < size);

    const auto factory = [budget](const QString& path) -> std::unique_ptr<QSaveFile> {
        return std::make_unique<FailingSaveFile>(path, budget);
    };
    QVERIFY(!DatabaseFile::save(dbPath(), t, factory));
    QCOMPARE(readFile(dbPath()), old);
    // No half-written temporary file is left beside the database.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{DatabaseFile::FileName});
    // The table keeps its cleaned texts, so the next save can try again.
    QCOMPARE(t.cell(2, 5), u"спереносом"_s);
    QVERIFY(DatabaseFile::save(dbPath(), t));
    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(dbPath(), back).status, Status::Ok);
    QCOMPARE(back.cell(3, 200), u"новое значение 200"_s);
}

void tst_DatabaseFile::saveIntoMissingFolderFails() {
    SubscriberTable t;
    t.setSubscriberCount(1);
    QVERIFY(!DatabaseFile::save(m_dir->filePath(u"нет/такой/папки.spb"_s), t));
    QVERIFY(!DatabaseFile::createNew(m_dir->filePath(u"нет/папки.spb"_s), t));
}

void tst_DatabaseFile::fullDiskKeepsTheOldFile_data() {
    QTest::addColumn<int>("size");
    // 12 KiB are free. Qt keeps up to 16 KiB in its write buffer: the first
    // file fails only when the buffer is flushed, the others part-way.
    QTest::newRow("within the write buffer") << 13000;
    QTest::newRow("past the write buffer") << 20000;
    QTest::newRow("much larger") << 100000;
}

// A disk that really fills up: the write is cut short without an error, and
// the rename must not put the cut file in place of the old one.
void tst_DatabaseFile::fullDiskKeepsTheOldFile() {
    QFETCH(int, size);
    const QString folder = m_dir->filePath(u"disk"_s);
    QVERIFY(QDir().mkpath(folder));
    if (QProcess::execute(u"mount"_s,
                          {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=16k"_s, u"tmpfs"_s, folder}) != 0)
        QSKIP("a tmpfs could not be mounted (the test needs root and a kernel that lets it)");
    const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {folder}); });
    const QString path = QDir(folder).filePath(u"file.pay"_s);
    const QByteArray old = "the old file\n";
    QVERIFY(writeFile(path, old));
    QString error;
    QVERIFY(!DatabaseFile::writeAtomically(path, QByteArray(size, 'x'), {}, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"file.pay"_s});
}

QTEST_GUILESS_MAIN(tst_DatabaseFile)
#include "tst_DatabaseFile.moc"
