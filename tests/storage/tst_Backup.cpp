#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include "storage/Backup.h"
#include "core/Cp1251.h"
#include "support/TestFiles.h"

using namespace Qt::StringLiterals;
using Error = Backup::Error;

Q_DECLARE_METATYPE(Backup::Error)
Q_DECLARE_METATYPE(std::optional<QByteArray>)

namespace {

constexpr int Seps = DatabaseFile::Separators;
constexpr int OldSeps = Backup::Version10Separators;

// A line of `seps` separators whose field i (1-based) is fields[i - 1].
QByteArray line(int seps, const QStringList& fields = {}) {
    QString out;
    for (int i = 1; i <= seps; ++i) {
        if (i <= fields.size())
            out += fields.at(i - 1);
        out += u'|';
    }
    return Cp1251::encode(out) + "\r\n";
}

std::unique_ptr<QSaveFile> failingFile(const QString& path) {
    return std::make_unique<FullDiskFile>(path);
}

} // namespace

class tst_Backup : public QObject {
    Q_OBJECT
private slots:
    void init();

    void proposedFileName_data();
    void proposedFileName();
    void backupHoldsEverySubscriber();
    void backupFailureIsReported();

    void refusedSources_data();
    void refusedSources();
    void restoreReplacesTheDatabaseBytes();
    void failedRestoreKeepsTheDatabase();
    void journalBesideTheChosenFile_data();
    void journalBesideTheChosenFile();

    void backupCarriesLaterYears();
    void version10Conversion();
    void version10RestoreWritesTheCurrentFormat();
    void defaultExtension_data();
    void defaultExtension();
    void loneLineFeedInACell_data();
    void loneLineFeedInACell();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString dbPath() const { return path(DatabaseFile::FileName); }
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_oldDatabase;
};

void tst_Backup::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_oldDatabase = line(Seps, {u"1"_s, u"Прежний П. П."_s});
    QVERIFY(writeFile(dbPath(), m_oldDatabase));
}

void tst_Backup::proposedFileName_data() {
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("name");
    QTest::newRow("evening") << QDateTime(QDate(2026, 12, 8), QTime(20, 56, 41))
                             << u"08.12.2026 20ч56мин Ostrevanka21.spb"_s;
    QTest::newRow("single digits")
        << QDateTime(QDate(2024, 1, 5), QTime(7, 3)) << u"05.01.2024 07ч03мин Ostrevanka21.spb"_s;
    QTest::newRow("midnight") << QDateTime(QDate(2025, 10, 31), QTime(0, 0))
                              << u"31.10.2025 00ч00мин Ostrevanka21.spb"_s;
}

void tst_Backup::proposedFileName() {
    QFETCH(QDateTime, when);
    QFETCH(QString, name);
    QCOMPARE(Backup::proposedFileName(when), name);
}

void tst_Backup::backupHoldsEverySubscriber() {
    SubscriberTable t;
    t.setSubscriberCount(3);
    for (int r = 1; r <= 3; ++r) {
        t.setCell(r, ColRowNumber, QString::number(r));
        t.setCell(r, ColName, u"Абонент №%1 Ёлкин"_s.arg(r));
        t.setCell(r, MonthColumn(7, 12, 21), u"402,50"_s);
    }
    t.setCell(2, ColNote, u"с\r\nпереносом"_s);
    t.setCell(4, ColName, u"удалённый"_s); // above the count: not a subscriber
    const QString backup =
        path(Backup::proposedFileName(QDateTime(QDate(2026, 12, 8), QTime(20, 56))));

    QVERIFY(Backup::write(backup, t).ok());
    // The table in memory is not changed by a backup.
    QCOMPARE(t.cell(2, ColNote), u"с\r\nпереносом"_s);

    const QList<QByteArray> lines = readFile(backup).split('\n');
    QCOMPARE(lines.size(), 4); // three lines and the empty rest after the last LF
    QVERIFY(lines.last().isEmpty());
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(lines.at(i).count('|'), Seps);
        QVERIFY(lines.at(i).endsWith("|\r"));
    }
    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(backup, back).status, DatabaseFile::Status::Ok);
    QCOMPARE(back.subscriberCount(), 3);
    QCOMPARE(back.cell(3, ColName), u"Абонент №3 Ёлкин"_s);
    QCOMPARE(back.cell(2, ColNote), u"спереносом"_s);
    QCOMPARE(back.cell(1, MonthColumn(7, 12, 21)), u"402,50"_s);
    // The database file is not touched by a backup.
    QCOMPARE(readFile(dbPath()), m_oldDatabase);
}

void tst_Backup::backupFailureIsReported() {
    SubscriberTable t;
    t.setSubscriberCount(1);
    const QString backup = path(u"копия.spb"_s);
    QVERIFY(writeFile(backup, "earlier backup"));
    QCOMPARE(Backup::write(backup, t, std::nullopt, failingFile).error, Error::WriteFailed);
    QCOMPARE(readFile(backup), QByteArray("earlier backup"));
    QCOMPARE(Backup::write(path(u"нет/папки.spb"_s), t).error, Error::WriteFailed);
}

void tst_Backup::refusedSources_data() {
    QTest::addColumn<bool>("version10");
    QTest::addColumn<QByteArray>("content"); // "<none>": no file, "<dir>": a folder
    QTest::addColumn<Error>("error");
    QTest::addColumn<int>("badLine");

    const QByteArray good = line(Seps, {u"1"_s, u"Иванов"_s});
    const QByteArray old = line(OldSeps, {u"1"_s, u"Иванов"_s});
    QByteArray many;
    for (int i = 0; i < 502; ++i)
        many += good;
    QByteArray manyOld;
    for (int i = 0; i < 502; ++i)
        manyOld += old;

    QTest::newRow("backup: not found") << false << QByteArray("<none>") << Error::NotFound << 0;
    QTest::newRow("backup: a folder") << false << QByteArray("<dir>") << Error::Other << 0;
    QTest::newRow("backup: empty") << false << QByteArray() << Error::Empty << 0;
    QTest::newRow("backup: third line 2512")
        << false << good + good + line(Seps - 1) + good << Error::FormatError << 3;
    QTest::newRow("backup: a version-1.0 file") << false << old + old << Error::FormatError << 1;
    QTest::newRow("backup: 502 lines") << false << many << Error::TooManyLines << 0;
    QTest::newRow("1.0: not found") << true << QByteArray("<none>") << Error::NotFound << 0;
    QTest::newRow("1.0: empty") << true << QByteArray() << Error::Empty << 0;
    QTest::newRow("1.0: second line 2127")
        << true << old + line(OldSeps - 1) << Error::FormatError << 2;
    QTest::newRow("1.0: 502 lines") << true << manyOld << Error::TooManyLines << 0;
}

// Nothing is replaced when the chosen file is refused, and the refusal says
// why (and which line).
void tst_Backup::refusedSources() {
    QFETCH(bool, version10);
    QFETCH(QByteArray, content);
    QFETCH(Error, error);
    QFETCH(int, badLine);
    const QString chosen = path(u"выбранный.spb"_s);
    if (content == "<dir>")
        QVERIFY(QDir(m_dir->path()).mkdir(u"выбранный.spb"_s));
    else if (content != "<none>")
        QVERIFY(writeFile(chosen, content));

    const Backup::Source source =
        version10 ? Backup::readVersion10(chosen) : Backup::readBackup(chosen);
    QCOMPARE(source.check.error, error);
    QCOMPARE(source.check.badLine, badLine);
    const Backup::Result r = version10 ? Backup::restoreVersion10(source, dbPath())
                                       : Backup::restoreBackup(source, dbPath());
    QCOMPARE(r.error, error);
    QCOMPARE(readFile(dbPath()), m_oldDatabase);
}

void tst_Backup::restoreReplacesTheDatabaseBytes() {
    // Odd but loadable bytes are copied as they are: a tail after the last
    // separator, spaces around a field.
    const QByteArray backup = line(Seps, {u"9"_s, u"  Новый Н. Н. "_s}) +
                              line(Seps + 1, {u"8"_s, u"Второй"_s}).replace("\r\n", "хвост\r\n");
    const QString chosen = path(u"08.12.2026 20ч56мин Ostrevanka21.spb"_s);
    QVERIFY(writeFile(chosen, backup));

    const Backup::Source source = Backup::readBackup(chosen);
    QVERIFY(source.check.ok());
    QCOMPARE(source.lineCount, 2);
    // Reading and checking alone (the user may still answer No) changes nothing.
    QCOMPARE(readFile(dbPath()), m_oldDatabase);

    QVERIFY(Backup::restoreBackup(source, dbPath()).ok());
    QCOMPARE(readFile(dbPath()), backup);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    SubscriberTable t;
    QCOMPARE(DatabaseFile::load(dbPath(), t).status, DatabaseFile::Status::Ok);
    QCOMPARE(t.cell(1, ColName), u"Новый Н. Н."_s);
    QCOMPARE(t.cell(2, 1), u"2"_s);
}

void tst_Backup::failedRestoreKeepsTheDatabase() {
    const QString chosen = path(u"копия.spb"_s);
    QVERIFY(writeFile(chosen, line(Seps, {u"1"_s, u"Новый"_s})));
    const Backup::Source source = Backup::readBackup(chosen);
    QVERIFY(source.check.ok());
    QCOMPARE(Backup::restoreBackup(source, dbPath(), std::nullopt, failingFile).error,
             Error::WriteFailed);
    QCOMPARE(readFile(dbPath()), m_oldDatabase);

    const QString old = path(u"old.spb"_s);
    QVERIFY(writeFile(old, line(OldSeps, {u"1"_s, u"Старый"_s})));
    const Backup::Source oldSource = Backup::readVersion10(old);
    QVERIFY(oldSource.check.ok());
    QCOMPARE(Backup::restoreVersion10(oldSource, dbPath(), std::nullopt, failingFile).error,
             Error::WriteFailed);
    QCOMPARE(readFile(dbPath()), m_oldDatabase);
}

// A database with 2026 data goes into the backup and comes back whole.
void tst_Backup::journalBesideTheChosenFile_data() {
    QTest::addColumn<std::optional<QByteArray>>("journal"); // none: no file beside
    QTest::addColumn<bool>("readable");
    QTest::newRow("none") << std::optional<QByteArray>() << true;
    QTest::newRow("one") << std::optional<QByteArray>("платежи\n") << true;
    QTest::newRow("an empty one") << std::optional<QByteArray>(QByteArray()) << true;
    // Restored without it, the backup would pass for one that has none.
    QTest::newRow("unreadable") << std::optional<QByteArray>() << false;
}

void tst_Backup::journalBesideTheChosenFile() {
    QFETCH(std::optional<QByteArray>, journal);
    QFETCH(bool, readable);
    const QString chosen = path(u"копия.spb"_s);
    QVERIFY(writeFile(chosen, line(Seps, {u"1"_s, u"Новый"_s})));
    const QString beside = path(u"копия.pay"_s);
    if (!readable)
        QVERIFY(QDir().mkpath(beside)); // there, but no file to read
    else if (journal)
        QVERIFY(writeFile(beside, *journal));

    const Backup::Source source = Backup::readBackup(chosen);
    QCOMPARE(source.check.error, readable ? Error::None : Error::Other);
    QCOMPARE(source.journal, journal);
    QCOMPARE(Backup::readVersion10(chosen).journal, journal);
}

void tst_Backup::backupCarriesLaterYears() {
    SubscriberTable t;
    t.setSubscriberCount(2);
    t.setCell(1, ColName, u"Иванов"_s);
    t.setCell(2, MonthColumn(9, 7, T1Current), u"4321"_s);
    t.setCell(2, MonthColumn(9, 7, 15), u"пере\r\nнос"_s);
    const QString copy = path(Backup::proposedFileName(QDateTime(QDate(2026, 12, 8), QTime(9, 0))));
    QVERIFY(Backup::write(copy, t).ok());
    const QByteArray bytes = readFile(copy);
    for (const QByteArray& l : bytes.split('\n').mid(0, 2))
        QCOMPARE(l.count('|'), Seps + 2 * 313);

    const Backup::Source source = Backup::readBackup(copy);
    QVERIFY(source.check.ok());
    QVERIFY(Backup::restoreBackup(source, dbPath()).ok());
    QCOMPARE(readFile(dbPath()), bytes);
    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(dbPath(), back).status, DatabaseFile::Status::Ok);
    QCOMPARE(back.cell(2, MonthColumn(9, 7, T1Current)), u"4321"_s);
    QCOMPARE(back.cell(2, MonthColumn(9, 7, 15)), u"перенос"_s);
    QCOMPARE(back.cell(1, ColName), u"Иванов"_s);
}

void tst_Backup::version10Conversion() {
    // Every field holds its own column number, so a shifted field shows.
    QStringList fields;
    for (int c = 1; c <= OldSeps; ++c)
        fields << u"п%1"_s.arg(c);
    QStringList second = fields;
    second[0] = u"что угодно"_s;
    second[1] = u"  Ёлкина А. Ф.  "_s;
    second[5] = u"пере\rXнос"_s; // a lone CR takes the next character with it
    QByteArray bytes = line(OldSeps, fields) + line(OldSeps, second) +
                       line(OldSeps + 3, {u"77"_s}).replace("\r\n", "хвост\r\n");
    const QString old = path(u"Ostrevanka.spb"_s);
    QVERIFY(writeFile(old, bytes));

    const Backup::Source source = Backup::readVersion10(old);
    QVERIFY(source.check.ok());
    QCOMPARE(source.lineCount, 3);
    const SubscriberTable t = Backup::convertVersion10(source);
    QCOMPARE(t.subscriberCount(), 3);
    QCOMPARE(t.cell(1, 1), u"1"_s);
    QCOMPARE(t.cell(2, 1), u"2"_s);
    QCOMPARE(t.cell(3, 1), u"3"_s);
    for (int c = 2; c <= OldSeps; ++c)
        if (t.cell(1, c) != u"п%1"_s.arg(c))
            QFAIL(qPrintable(u"column %1 holds \"%2\""_s.arg(c).arg(t.cell(1, c))));
    QCOMPARE(t.cell(2, ColName), u"Ёлкина А. Ф."_s);
    QCOMPARE(t.cell(2, ColNote), u"перенос"_s);
    QCOMPARE(t.cell(2, OldSeps), u"п2128"_s);
    for (int r = 1; r <= 3; ++r)
        for (int c = OldSeps + 1; c <= SubscriberTable::MaxCol; ++c)
            if (!t.cellView(r, c).isEmpty())
                QFAIL(qPrintable(u"row %1 column %2 is not empty"_s.arg(r).arg(c)));
}

void tst_Backup::version10RestoreWritesTheCurrentFormat() {
    const QString old = path(u"Ostrevanka.spb"_s);
    QVERIFY(writeFile(old, line(OldSeps, {u"5"_s, u"Первый"_s}) +
                               line(OldSeps, {u"5"_s, u"Второй"_s, u"уч. 12"_s})));
    QVERIFY(Backup::restoreVersion10(Backup::readVersion10(old), dbPath()).ok());

    const QByteArray bytes = readFile(dbPath());
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0).count('|'), Seps);
    QCOMPARE(lines.at(1).count('|'), Seps);
    QVERIFY(lines.at(0).startsWith(Cp1251::encode(u"1|Первый|"_s)));
    QVERIFY(lines.at(1).startsWith(Cp1251::encode(u"2|Второй|уч. 12|"_s)));
    SubscriberTable t;
    QCOMPARE(DatabaseFile::load(dbPath(), t).status, DatabaseFile::Status::Ok);
    QCOMPARE(t.subscriberCount(), 2);
    QCOMPARE(t.cell(2, ColAddress), u"уч. 12"_s);
}

void tst_Backup::defaultExtension_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << u"/копии/копия"_s << u"/копии/копия.spb"_s;
    QTest::newRow("the proposal edited")
        << u"/копии/10.12.2026 перед импортом"_s << u"/копии/10.12.2026 перед импортом.spb"_s;
    QTest::newRow("a dot at the end") << u"/копии/копия."_s << u"/копии/копия.spb"_s;
    QTest::newRow("a dot in the folder") << u"/диск.2/копия"_s << u"/диск.2/копия.spb"_s;
    QTest::newRow(".spb") << u"/копии/копия.spb"_s << u"/копии/копия.spb"_s;
    QTest::newRow("another extension") << u"/копии/копия.bak"_s << u"/копии/копия.bak"_s;
    QTest::newRow("cancelled") << QString() << QString();
}

void tst_Backup::defaultExtension() {
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QCOMPARE(Backup::withDefaultExtension(chosen), written);
}

void tst_Backup::loneLineFeedInACell_data() {
    QTest::addColumn<bool>("version10");
    QTest::newRow("backup") << false;
    QTest::newRow("version 1.0") << true;
}

// A multi-line cell of an older file is restored; the database file written
// keeps it on its line.
void tst_Backup::loneLineFeedInACell() {
    QFETCH(bool, version10);
    const int seps = version10 ? OldSeps : Seps;
    const QString note = u"ключ у соседа\nучасток 12"_s;
    const QString chosen = path(u"выбранный.spb"_s);
    QVERIFY(
        writeFile(chosen, line(seps, {u"1"_s, u"Первый"_s}) +
                              line(seps, {u"2"_s, u"Второй"_s, u"уч. 12"_s, u""_s, u""_s, note}) +
                              line(seps, {u"3"_s, u"Третий"_s})));
    const Backup::Source source =
        version10 ? Backup::readVersion10(chosen) : Backup::readBackup(chosen);
    QVERIFY(source.check.ok());
    QCOMPARE(source.lineCount, 3);
    QVERIFY((version10 ? Backup::restoreVersion10(source, dbPath())
                       : Backup::restoreBackup(source, dbPath()))
                .ok());
    SubscriberTable t;
    QCOMPARE(DatabaseFile::load(dbPath(), t).status, DatabaseFile::Status::Ok);
    QCOMPARE(t.subscriberCount(), 3);
    QCOMPARE(t.cell(2, ColAddress), u"уч. 12"_s);
    QCOMPARE(t.cell(3, ColName), u"Третий"_s);
    // The backup is copied as it is; the takeover writes the note on one line.
    QCOMPARE(t.cell(2, ColNote), version10 ? u"ключ у соседа участок 12"_s : note);
    if (version10)
        QCOMPARE(readFile(dbPath()).count('\n'), 3);
}

QTEST_GUILESS_MAIN(tst_Backup)
#include "tst_Backup.moc"
