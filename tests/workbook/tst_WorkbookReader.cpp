#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "workbook/WorkbookReader.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"

using namespace Qt::StringLiterals;

namespace {

bool runPython(const QStringList& args) {
    QProcess p;
    p.start(u"/usr/bin/python3"_s, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning() << p.readAllStandardError();
        return false;
    }
    return true;
}

// Runs a fixture script of tests/data that writes a workbook to path.
bool makeWorkbook(const char* script, const QString& path) {
    return runPython({QStringLiteral(OST_TEST_DATA_DIR "/") + QString::fromLatin1(script), path});
}

// A legacy workbook written record by record: "biff8", "biff5", or the
// BIFF8 one broken in the named way.
bool makeLegacyWorkbook(const QString& kind, const QString& path) {
    return runPython({QStringLiteral(OST_TEST_DATA_DIR "/make_biff_xls.py"), kind, path});
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Expect {
    const char16_t* cell;
    const char16_t* text;
};

// Root reads any file; to see a refusal the test gives up that power for a
// moment (the effective set only, so it can take it back).
class WithoutFileOverride {
public:
    WithoutFileOverride() {
        if (geteuid() != 0)
            return;
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_active = syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~WithoutFileOverride() {
        if (m_active)
            syscall(SYS_capset, &m_header, m_saved);
    }
    WithoutFileOverride(const WithoutFileOverride&) = delete;
    WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;
    bool usable() const { return geteuid() != 0 || m_active; }

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_active = false;
};

} // namespace

class tst_WorkbookReader : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void openpyxlActiveSheet();
    void handWrittenPackage();
    void legacyXls();
    void legacyXlsFeatures();
    void legacyRecords();
    void legacyExcel95_data();
    void legacyExcel95();
    void legacyDamaged_data();
    void legacyDamaged();
    void legacyCutShort();
    void readsBackWhatWasWritten();
    void failures();
    void accessDenied();

private:
    void compare(const WorkbookReadResult& r, std::initializer_list<Expect> expected);
    QTemporaryDir m_dir;
};

void tst_WorkbookReader::initTestCase() {
    QVERIFY(m_dir.isValid());
}

void tst_WorkbookReader::compare(const WorkbookReadResult& r,
                                 std::initializer_list<Expect> expected) {
    for (const Expect& e : expected) {
        const QString cell = QString::fromUtf16(e.cell);
        if (r.cell(cell) != QString::fromUtf16(e.text))
            QFAIL(qPrintable(cell + u": «"_s + r.cell(cell) + u"» instead of «"_s +
                             QString::fromUtf16(e.text) + u"»"_s));
    }
}

void tst_WorkbookReader::openpyxlActiveSheet() {
    const QString path = m_dir.filePath(u"openpyxl.xlsx"_s);
    QVERIFY(makeWorkbook("xlsx_openpyxl.py", path));
    const WorkbookReadResult r = ReadWorkbook(path);
    QCOMPARE(r.status, WorkbookReadResult::Status::Ok);
    compare(r, {{u"A1", u"01"},
                {u"B1", u"1500"},
                {u"C1", u"12,5"},
                {u"A2", u"Иванов И. И."},
                {u"B2", u"0,3"},
                {u"C2", u"-3"},
                {u"A3", u"ИСТИНА"},
                {u"B3", u"100000000000000000000"},
                {u"C3", u"1"}, // a number, whatever its display format
                {u"D5", u"угол"},
                {u"A7", u"0,000125"},
                {u"A4", u""},
                {u"Z99", u""}});
    QCOMPARE(r.cell(4, 3), u"угол"_s);
    QCOMPARE(r.rowCount(), 7);
    for (const auto& [pos, text] : r.cells)
        QVERIFY(text != u"не этот лист"_s);
}

void tst_WorkbookReader::handWrittenPackage() {
    const QString path = m_dir.filePath(u"hand.xlsx"_s);
    QVERIFY(makeWorkbook("xlsx_by_hand.py", path));
    const WorkbookReadResult r = ReadWorkbook(path);
    QCOMPARE(r.status, WorkbookReadResult::Status::Ok);
    compare(r, {{u"A1", u"простой"},
                {u"B1", u"Жирный и обычный"},
                {u"C1", u"строка\rвторая"},
                {u"A2", u"встроенный"},
                {u"B2", u"2"},
                {u"C2", u"ab"},
                {u"A3", u"ЛОЖЬ"},
                {u"B3", u"#DIV/0!"},
                {u"C3", u""},
                {u"A4", u"0,045"},
                {u"B4", u"7"},
                {u"C5", u"0"}});
    QCOMPARE(r.cells.size(), std::size_t(11));
}

void tst_WorkbookReader::legacyXls() {
    // Made with python3-xlwt; its second sheet is the active one (README).
    const WorkbookReadResult r = ReadWorkbook(QStringLiteral(OST_TEST_DATA_DIR "/legacy.xls"));
    QCOMPARE(r.status, WorkbookReadResult::Status::Ok);
    compare(r, {{u"A1", u"№"},
                {u"B1", u"Фамилия И. О."},
                {u"A2", u"1"},
                {u"B2", u"Иванов И. И."},
                {u"C2", u"01"},
                {u"D2", u"8-916-000-00-01"},
                {u"F2", u""},
                {u"C3", u"12,5"},
                {u"D3", u"1500"},
                {u"E3", u""},
                {u"F3", u"долг"},
                {u"C4", u"-7,25"},
                {u"D4", u"123456789012345"},
                {u"F4", u"примечание с \"кавычками\""},
                {u"A5", u""},
                {u"A6", u"45303"}, // 12.01.2024 shown as a date
                {u"B6", u"1"}});
    QCOMPARE(r.rowCount(), 6);
}

void tst_WorkbookReader::legacyXlsFeatures() {
    // Made with python3-xlwt (README): its shared strings run on into
    // continuation records.
    const WorkbookReadResult r = ReadWorkbook(QStringLiteral(OST_TEST_DATA_DIR "/features.xls"));
    QCOMPARE(r.status, WorkbookReadResult::Status::Ok);
    compare(r, {{u"A1", u"ИСТИНА"},
                {u"B1", u"ЛОЖЬ"},
                {u"C1", u""}, // an error value
                {u"D1", u""}, // a formula stored without a result
                {u"E1", u"после"},
                {u"C2", u"конец"},
                {u"A3", u"1"},
                {u"B3", u"-7"},
                {u"C3", u"12,34"},
                {u"D3", u"2,5"},
                {u"E3", u"0,1"},
                {u"F3", u"10000000000"},
                {u"G3", u"123456789"},
                {u"H3", u"1073741824"},
                {u"A4", u"Жирный и обычный"}});
    QCOMPARE(r.cell(u"A2"), u"0123456789"_s.repeated(900));
    QCOMPARE(r.cell(u"B2"), u"съешь же ещё этих мягких булок, да выпей чаю. "_s.repeated(110));
    QCOMPARE(r.cells.size(), std::size_t(15));
}

void tst_WorkbookReader::legacyRecords() {
    const QString path = m_dir.filePath(u"records.xls"_s);
    QVERIFY(makeLegacyWorkbook(u"biff8"_s, path));
    const WorkbookReadResult r = ReadWorkbook(path);
    QCOMPARE(r.status, WorkbookReadResult::Status::Ok);
    // Row 1: stored formula results; row 2: booleans and an error value.
    compare(r, {{u"A1", u"3,5"},
                {u"B1", u"итог"},
                {u"C1", u"ИСТИНА"},
                {u"D1", u""},
                {u"E1", u""},
                {u"A2", u"ЛОЖЬ"},
                {u"B2", u""},
                {u"C2", u"ИСТИНА"}});
    QCOMPARE(r.cell(u"F1"), u"x"_s.repeated(100) + u"ы"_s.repeated(50));
    // Row 3: shared strings, each split across records in another way.
    compare(r, {{u"A3", u"простой"},
                {u"C3", u"Жирный и обычный"},
                {u"D3", u"дальний"},
                {u"E3", u"заголовок в конце"},
                {u"F3", u"ровно"},
                {u"G3", u"с начала записи"},
                {u"H3", u"ЩЩЩЩЩЩЩЩЩЩzzzzzzzzzz"},
                {u"I3", u"последняя"}});
    QCOMPARE(r.cell(u"B3"), u"A"_s.repeated(400) + u"Ж"_s.repeated(200));
    // Rows 4 and 5: texts of their own and the compact number forms.
    compare(r, {{u"A4", u"метка"},
                {u"B4", u"форматированный"},
                {u"C4", u"-0,001"},
                {u"D4", u"-7"},
                {u"E4", u"12,34"},
                {u"F4", u"2,5"},
                {u"B5", u"1"},
                {u"C5", u"0,5"},
                {u"D5", u"-2,5"},
                {u"A6", u""}, // a number inside the chart on the sheet
                {u"B6", u"с начала записи"},
                {u"IV100", u"1"}});
    QCOMPARE(r.cells.size(), std::size_t(26)); // nothing from the other sheets
}

void tst_WorkbookReader::legacyExcel95_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("code page 1251") << u"biff5"_s;
    QTest::newRow("code page 866") << u"biff5-cp866"_s;
}

void tst_WorkbookReader::legacyExcel95() {
    QFETCH(QString, kind);
    const QString path = m_dir.filePath(kind + u".xls"_s);
    QVERIFY(makeLegacyWorkbook(kind, path));
    const WorkbookReadResult r = ReadWorkbook(path);
    QCOMPARE(r.status, WorkbookReadResult::Status::Ok);
    compare(r, {{u"A1", u"Иванов И. И."},
                {u"B1", u"жирный"},
                {u"A2", u"12,5"},
                {u"B2", u"1500"},
                {u"C2", u"сумма"}, // a formula's text result
                {u"D2", u"ЛОЖЬ"},
                {u"E2", u"ИСТИНА"}});
    QCOMPARE(r.cells.size(), std::size_t(7));
}

void tst_WorkbookReader::legacyDamaged_data() {
    QTest::addColumn<QString>("damage");
    for (const char* damage :
         {// shared strings: counts and lengths the records cannot hold
          "sst-count-too-big", "sst-count-huge", "sst-string-past-record", "sst-odd-wide-split",
          // cells and records
          "labelsst-index", "label-past-record", "string-past-record", "record-past-stream",
          "sheet-without-eof", "globals-without-eof", "mulrk-mismatch", "mulrk-short",
          "column-past-last", "number-nan", "number-short", "formula-short",
          // the sheets and the workbook as a whole
          "boundsheet-offset-outside", "boundsheet-offset-inside-record", "no-worksheet",
          "sheet-bof-chart", "encrypted", "biff4", "no-bof",
          // the container: loops and sectors outside the file
          "fat-loop", "dir-loop", "difat-loop", "minifat-loop", "fat-sector-outside",
          "dir-start-outside", "stream-size-past-chain", "sector-shift", "no-workbook-stream"})
        QTest::newRow(damage) << QString::fromLatin1(damage);
}

void tst_WorkbookReader::legacyDamaged() {
    QFETCH(QString, damage);
    const QString path = m_dir.filePath(damage + u".xls"_s);
    QVERIFY(makeLegacyWorkbook(damage, path));
    const WorkbookReadResult r = ReadWorkbook(path);
    QCOMPARE(r.status, WorkbookReadResult::Status::Error);
    QVERIFY(r.cells.empty());
}

void tst_WorkbookReader::legacyCutShort() {
    // Wherever a legacy workbook is cut, the loss is seen.
    const QString records = m_dir.filePath(u"whole.xls"_s);
    QVERIFY(makeLegacyWorkbook(u"biff8"_s, records));
    for (const QString& path : {QStringLiteral(OST_TEST_DATA_DIR "/legacy.xls"),
                                QStringLiteral(OST_TEST_DATA_DIR "/features.xls"), records}) {
        const QByteArray bytes = fileBytes(path);
        QVERIFY(bytes.size() > 1024);
        const QString cut = m_dir.filePath(u"cut-short.xls"_s);
        for (qsizetype n = 8; n < bytes.size(); n += 61) {
            QFile f(cut);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes.left(n));
            f.close();
            if (ReadWorkbook(cut).status != WorkbookReadResult::Status::Error)
                QFAIL(qPrintable(path + u" cut to "_s + QString::number(n) + u" bytes"_s));
        }
    }
}

void tst_WorkbookReader::readsBackWhatWasWritten() {
    WorkbookSheet sheet;
    sheet.setBlock(u"A1", {{u"1"_s, u"Иванов И. И."_s, u"01"_s, u"402,50"_s},
                           {u"2"_s, u"  пробелы  "_s, u"12.5"_s, u"-0,001"_s}});
    sheet.merge(u"E1:F2");
    sheet.set(u"E1", u"объединено"_s);
    const QString path = m_dir.filePath(u"round.xls"_s);
    QVERIFY(WriteWorkbook(sheet, path));
    const WorkbookReadResult r = ReadWorkbook(path);
    QCOMPARE(r.status, WorkbookReadResult::Status::Ok);
    compare(r, {{u"A1", u"1"},
                {u"B1", u"Иванов И. И."},
                {u"C1", u"01"},
                {u"D1", u"402,5"},
                {u"B2", u"  пробелы  "},
                {u"C2", u"12.5"},
                {u"D2", u"-0,001"},
                {u"E1", u"объединено"},
                {u"F2", u""}});
}

void tst_WorkbookReader::failures() {
    using S = WorkbookReadResult::Status;
    QCOMPARE(ReadWorkbook(m_dir.filePath(u"нет такого.xlsx"_s)).status, S::Error);
    QCOMPARE(ReadWorkbook(QString()).status, S::Error);
    QCOMPARE(ReadWorkbook(m_dir.path()).status, S::Error);

    auto write = [this](const QString& name, const QByteArray& bytes) {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        f.write(bytes);
        return f.fileName();
    };
    QCOMPARE(ReadWorkbook(write(u"text.xls"_s, "1;2;3\r\n")).status, S::Error);
    QCOMPARE(ReadWorkbook(write(u"empty.xlsx"_s, {})).status, S::Error);

    // A good workbook cut short, and one whose sheet part is missing.
    const QString good = m_dir.filePath(u"good.xlsx"_s);
    WorkbookSheet sheet;
    sheet.set(u"A1", u"x"_s);
    QVERIFY(WriteWorkbook(sheet, good));
    QFile f(good);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(ReadWorkbook(write(u"cut.xlsx"_s, bytes.left(bytes.size() / 2))).status, S::Error);
    const QString noSheet = m_dir.filePath(u"nosheet.xlsx"_s);
    QVERIFY(runPython({u"-c"_s,
                       u"import sys, zipfile\n"
                       "src = zipfile.ZipFile(sys.argv[1])\n"
                       "with zipfile.ZipFile(sys.argv[2], 'w') as out:\n"
                       "    for i in src.infolist():\n"
                       "        if 'worksheets/' not in i.filename:\n"
                       "            out.writestr(i, src.read(i))\n"_s,
                       good, noSheet}));
    QCOMPARE(ReadWorkbook(noSheet).status, S::Error);

    // A damaged legacy file: the header is there, the rest is not.
    QFile xls(QStringLiteral(OST_TEST_DATA_DIR "/legacy.xls"));
    QVERIFY(xls.open(QIODevice::ReadOnly));
    QCOMPARE(ReadWorkbook(write(u"cut.xls"_s, xls.read(600))).status, S::Error);
    // Found by fuzzing: a record two bytes short, every later offset off.
    QCOMPARE(ReadWorkbook(QStringLiteral(OST_TEST_DATA_DIR "/damaged-freexl-overrun.xls")).status,
             S::Error);
}

void tst_WorkbookReader::accessDenied() {
    const QString path = m_dir.filePath(u"locked.xlsx"_s);
    WorkbookSheet sheet;
    sheet.set(u"A1", u"x"_s);
    QVERIFY(WriteWorkbook(sheet, path));
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    {
        WithoutFileOverride guard;
        if (!guard.usable())
            QSKIP("cannot give up reading any file");
        const WorkbookReadResult r = ReadWorkbook(path);
        QCOMPARE(r.status, WorkbookReadResult::Status::AccessDenied);
        QVERIFY(r.cells.empty());
    }
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(ReadWorkbook(path).status, WorkbookReadResult::Status::Ok);
}

QTEST_GUILESS_MAIN(tst_WorkbookReader)
#include "tst_WorkbookReader.moc"
