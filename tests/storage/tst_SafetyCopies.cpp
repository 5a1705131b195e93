#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/Cp1251.h"
#include "storage/SafetyCopies.h"
#include "core/YearLayout.h"
#include "support/TestFiles.h"

using namespace Qt::StringLiterals;
using Error = SafetyCopies::Error;

Q_DECLARE_METATYPE(SafetyCopies::Error)

class tst_SafetyCopies : public QObject {
    Q_OBJECT
private slots:
    void init();

    void copyNames_data();
    void copyNames();
    void folderBesideTheDatabase();

    void firstWriteOfTheDayMakesOneCopy();
    void thirtyFirstDayDeletesTheOldest();
    void failedCopyKeepsEarlierCopies_data();
    void failedCopyKeepsEarlierCopies();
    void nothingToCopyOrNowhereToPutIt();
    void copiedInChunks_data();
    void copiedInChunks();
    void damageFoundInAnyChunk_data();
    void damageFoundInAnyChunk();

    void copiesOrderByDateThenTime();
    void beforeRestoreCopyHoldsTheTableInMemory();
    void beforeRestoreCopyCountsAmongTheThirty();
    void failedBeforeRestoreCopyLeavesNothing_data();
    void failedBeforeRestoreCopyLeavesNothing();

private:
    QString dbPath() const { return m_dir->filePath(DatabaseFile::FileName); }
    QString backups() const { return m_dir->filePath(u"backups"_s); }
    QStringList backupNames() const {
        return QDir(backups()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_SafetyCopies::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_SafetyCopies::copyNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDate>("date"); // invalid: not a copy
    QTest::addColumn<QTime>("time"); // invalid: the day's copy
    QTest::newRow("a copy") << u"Ostrevanka21-2026-12-10.spb"_s << QDate(2026, 12, 10) << QTime();
    QTest::newRow("leap day") << u"Ostrevanka21-2024-02-29.spb"_s << QDate(2024, 2, 29) << QTime();
    QTest::newRow("no such day") << u"Ostrevanka21-2026-02-30.spb"_s << QDate() << QTime();
    QTest::newRow("short month") << u"Ostrevanka21-2026-1-05.spb"_s << QDate() << QTime();
    QTest::newRow("the database") << u"Ostrevanka21.spb"_s << QDate() << QTime();
    QTest::newRow("a temporary file")
        << u"Ostrevanka21-2026-12-10.spb.Xy12ab"_s << QDate() << QTime();
    QTest::newRow("another program's") << u"Other-2026-12-10.spb"_s << QDate() << QTime();
    QTest::newRow("a user's backup")
        << u"08.12.2026 20ч56мин Ostrevanka21.spb"_s << QDate() << QTime();
    QTest::newRow("before a restore") << u"Ostrevanka21-2026-12-10-140507-before-restore.spb"_s
                                      << QDate(2026, 12, 10) << QTime(14, 5, 7);
    QTest::newRow("before a restore at midnight")
        << u"Ostrevanka21-2026-12-10-000000-before-restore.spb"_s << QDate(2026, 12, 10)
        << QTime(0, 0);
    QTest::newRow("no such hour") << u"Ostrevanka21-2026-12-10-250507-before-restore.spb"_s
                                  << QDate() << QTime();
    QTest::newRow("a time without its word")
        << u"Ostrevanka21-2026-12-10-140507.spb"_s << QDate() << QTime();
    QTest::newRow("short time") << u"Ostrevanka21-2026-12-10-1405-before-restore.spb"_s << QDate()
                                << QTime();
}

void tst_SafetyCopies::copyNames() {
    QFETCH(QString, name);
    QFETCH(QDate, date);
    QFETCH(QTime, time);
    const auto parsed = SafetyCopies::parseName(name);
    QCOMPARE(parsed.has_value(), date.isValid());
    if (!parsed)
        return;
    QCOMPARE(parsed->date, date);
    QCOMPARE(parsed->beforeRestore, time.isValid());
    // A day's copy stands for the start of its day.
    QCOMPARE(parsed->time, time.isValid() ? time : QTime(0, 0));
    QCOMPARE(time.isValid() ? SafetyCopies::beforeRestoreName(QDateTime(date, time))
                            : SafetyCopies::fileName(date),
             name);
}

void tst_SafetyCopies::folderBesideTheDatabase() {
    // Wherever the database lives (the program's folder or the user's data
    // folder), its copies are beside it.
    QCOMPARE(SafetyCopies::folderFor(dbPath()), QDir(m_dir->path()).filePath(u"backups"_s));
    const QString elsewhere = m_dir->filePath(u"data/ostrevanka/Ostrevanka21.spb"_s);
    QCOMPARE(SafetyCopies::folderFor(elsewhere), m_dir->filePath(u"data/ostrevanka/backups"_s));
}

void tst_SafetyCopies::firstWriteOfTheDayMakesOneCopy() {
    const QByteArray morning = TaggedDatabase(u"Утро"_s);
    QVERIFY(writeFile(dbPath(), morning));
    const QDate day(2026, 12, 10);

    auto r = SafetyCopies::takeDaily(dbPath(), day);
    QVERIFY(r.ok());
    QVERIFY(r.made);
    QCOMPARE(backupNames(), QStringList{u"Ostrevanka21-2026-12-10.spb"_s});
    QCOMPARE(readFile(r.path), morning);

    // Later the same day (another run, too): the morning's copy stays.
    QVERIFY(writeFile(dbPath(), TaggedDatabase(u"Вечер"_s)));
    r = SafetyCopies::takeDaily(dbPath(), day);
    QVERIFY(r.ok());
    QVERIFY(!r.made);
    QCOMPARE(backupNames(), QStringList{u"Ostrevanka21-2026-12-10.spb"_s});
    QCOMPARE(readFile(r.path), morning);

    // The next day gets its own.
    QVERIFY(SafetyCopies::takeDaily(dbPath(), day.addDays(1)).made);
    QCOMPARE(backupNames().size(), 2);
    QCOMPARE(readFile(SafetyCopies::list(dbPath()).front().path), TaggedDatabase(u"Вечер"_s));
}

void tst_SafetyCopies::thirtyFirstDayDeletesTheOldest() {
    QVERIFY(QDir().mkpath(backups()));
    // Files in the folder that are no copies are never touched.
    const QStringList strangers = {u"notes.txt"_s, u"Ostrevanka21-2026-1-1.spb"_s,
                                   u"Ostrevanka21.spb"_s,
                                   u"08.12.2026 20ч56мин Ostrevanka21.spb"_s};
    for (const QString& name : strangers)
        QVERIFY(writeFile(QDir(backups()).filePath(name), "x"));

    // Each copy takes the journal of its day along.
    const QString journal = m_dir->filePath(u"Ostrevanka21.pay"_s);
    const auto journalOf = [](const QString& copy) {
        return readFile(copy.chopped(4) + u".pay"_s);
    };
    const QDate first(2026, 11, 1);
    for (int d = 0; d < 30; ++d) {
        QVERIFY(writeFile(dbPath(), TaggedDatabase(u"День %1"_s.arg(d))));
        QVERIFY(writeFile(journal, "day " + QByteArray::number(d)));
        QVERIFY(SafetyCopies::takeDaily(dbPath(), first.addDays(d)).made);
    }
    QCOMPARE(SafetyCopies::list(dbPath()).size(), size_t(30));
    QVERIFY(QFile::exists(QDir(backups()).filePath(SafetyCopies::fileName(first))));

    QVERIFY(writeFile(dbPath(), TaggedDatabase(u"День 30"_s)));
    QVERIFY(writeFile(journal, "day 30"));
    QVERIFY(SafetyCopies::takeDaily(dbPath(), first.addDays(30)).made);
    const auto copies = SafetyCopies::list(dbPath());
    QCOMPARE(copies.size(), size_t(30));
    QCOMPARE(copies.front().date, first.addDays(30));
    QCOMPARE(copies.back().date, first.addDays(1));
    QVERIFY(!QFile::exists(QDir(backups()).filePath(SafetyCopies::fileName(first))));
    // The copy of day 1 still holds what the files held on day 1.
    QCOMPARE(readFile(copies.back().path), TaggedDatabase(u"День 1"_s));
    QCOMPARE(journalOf(copies.back().path), QByteArray("day 1"));
    QCOMPARE(journalOf(copies.front().path), QByteArray("day 30"));
    // The day's copy and its journal went together, and nothing else.
    QCOMPARE(backupNames().size(), 60 + strangers.size());
    for (const QString& name : strangers)
        QVERIFY2(QFile::exists(QDir(backups()).filePath(name)), qPrintable(name));
}

void tst_SafetyCopies::failedCopyKeepsEarlierCopies_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<Error>("error");
    QTest::newRow("full disk") << u"full"_s << Error::WriteFailed;
    QTest::newRow("damaged file on disk") << u"damaged"_s << Error::DatabaseDamaged;
    QTest::newRow("empty file on disk") << u"empty"_s << Error::DatabaseDamaged;
    QTest::newRow("unreadable file") << u"unreadable"_s << Error::ReadFailed;
}

void tst_SafetyCopies::failedCopyKeepsEarlierCopies() {
    QFETCH(QString, fault);
    QFETCH(Error, error);
    const QDate yesterday(2026, 12, 9);
    QVERIFY(writeFile(dbPath(), TaggedDatabase(u"Вчера"_s)));
    // The journal's copy is written first: a failure after it takes it back.
    const QString journal = m_dir->filePath(u"Ostrevanka21.pay"_s);
    QVERIFY(writeFile(journal, "yesterday"));
    QVERIFY(SafetyCopies::takeDaily(dbPath(), yesterday).made);
    const QString yesterdays = SafetyCopies::list(dbPath()).front().path;
    QVERIFY(writeFile(journal, "today"));

    DatabaseFile::SaveFileFactory factory;
    if (fault == u"full"_s)
        factory = [](const QString& path) { return std::make_unique<FullDiskFile>(path); };
    else if (fault == u"damaged"_s)
        QVERIFY(writeFile(dbPath(), TaggedDatabase(u"Сегодня"_s) + "7|обрывок строки\r\n"));
    else if (fault == u"empty"_s)
        QVERIFY(writeFile(dbPath(), QByteArray()));
    else if (fault == u"unreadable"_s) {
        QVERIFY(QFile::setPermissions(dbPath(), QFileDevice::WriteOwner));
        if (QFile(dbPath()).open(QIODevice::ReadOnly))
            QSKIP("the file is readable anyway (run as root)");
    }

    const auto r = SafetyCopies::takeDaily(dbPath(), yesterday.addDays(1), factory);
    QFile::setPermissions(dbPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(r.error, error);
    QVERIFY(!r.made);
    QVERIFY(!r.path.isEmpty());
    // Only yesterday's copy, as it was; no half-written file beside it.
    QCOMPARE(backupNames(),
             (QStringList{u"Ostrevanka21-2026-12-09.pay"_s, QFileInfo(yesterdays).fileName()}));
    QCOMPARE(readFile(yesterdays), TaggedDatabase(u"Вчера"_s));
    QCOMPARE(readFile(QDir(backups()).filePath(u"Ostrevanka21-2026-12-09.pay"_s)),
             QByteArray("yesterday"));
}

void tst_SafetyCopies::nothingToCopyOrNowhereToPutIt() {
    const auto r = SafetyCopies::takeDaily(dbPath(), QDate(2026, 12, 10));
    QVERIFY(r.ok());
    QVERIFY(!r.made);
    QVERIFY(!QFileInfo::exists(backups()));

    // "backups" taken by a file: the folder cannot be made.
    QVERIFY(writeFile(dbPath(), TaggedDatabase(u"База"_s)));
    QVERIFY(writeFile(backups(), "not a folder"));
    const auto blocked = SafetyCopies::takeDaily(dbPath(), QDate(2026, 12, 10));
    QCOMPARE(blocked.error, Error::FolderNotMade);
    QCOMPARE(readFile(backups()), QByteArray("not a folder"));
}

// The copy reads, checks and writes the file a chunk at a time; a file of
// several chunks comes out byte for byte, whatever the chunks cut.
void tst_SafetyCopies::copiedInChunks_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("chunkSize");
    const QByteArray crLf = TaggedDatabase(u"Куски"_s, 20);
    const qint64 line = crLf.indexOf('\n') + 1;
    QByteArray lf = crLf;
    lf.replace("\r\n", "\n");
    // Converted to LF, with one CR LF the tool missed: split at every LF.
    QByteArray mostlyLf = lf;
    mostlyLf.replace(mostlyLf.indexOf('\n'), 1, "\r\n");
    QTest::newRow("a byte at a time") << crLf << qint64(1);
    QTest::newRow("odd chunks") << crLf << qint64(7);
    QTest::newRow("CR LF across chunks") << crLf << line - 1;
    QTest::newRow("chunk ends with a line") << crLf << line;
    QTest::newRow("chunk a byte past a line") << crLf << line + 1;
    QTest::newRow("default chunk, larger than the file") << crLf << SafetyCopies::ReadChunk;
    QTest::newRow("LF only") << lf << line / 3;
    QTest::newRow("lone LF in a cell") << TaggedDatabase(u"ключ\nу соседа"_s, 3) << line / 2;
    QTest::newRow("last line ends in a CR") << crLf.chopped(1) << line / 2;
    QTest::newRow("LF but for one CR LF") << mostlyLf << line / 3;
}

void tst_SafetyCopies::copiedInChunks() {
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, chunkSize);
    QCOMPARE(DatabaseFile::check(bytes, DatabaseFile::Separators).status, DatabaseFile::Status::Ok);
    QVERIFY(writeFile(dbPath(), bytes));
    qint64 largest = 0;
    const auto recording = [&largest](const QString& path) -> std::unique_ptr<QSaveFile> {
        return std::make_unique<RecordingSaveFile>(path, &largest);
    };
    const auto r = SafetyCopies::takeDaily(dbPath(), QDate(2026, 12, 10), recording, chunkSize);
    QVERIFY(r.ok());
    QVERIFY(r.made);
    QVERIFY(readFile(r.path) == bytes);
    // Never more than a chunk in hand.
    QVERIFY(largest <= chunkSize);
}

// Wherever the damage lies against the chunks, no copy is left and the
// file is told damaged, before anything else that failed.
void tst_SafetyCopies::damageFoundInAnyChunk_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("chunkSize");
    QTest::addColumn<bool>("fullDisk");
    const QByteArray good = TaggedDatabase(u"Целая"_s, 20);
    const qint64 line = good.indexOf('\n') + 1;
    const QByteArray stub = "21|обрывок строки\r\n";
    const QByteArray damaged = good + stub;
    QTest::newRow("short line in the last chunk") << damaged << qint64(good.size() - 3) << false;
    QTest::newRow("short line across chunks") << damaged << qint64(good.size() + 4) << false;
    QTest::newRow("short line in the middle")
        << good.left(5 * line) + stub + good.mid(5 * line) << line / 2 << false;
    QTest::newRow("short line at LF") << QByteArray(damaged).replace("\r\n", "\n") << line << false;
    QTest::newRow("502 lines") << TaggedDatabase(u"Много"_s, 502) << 3 * line + 5 << false;
    QTest::newRow("damaged, and the disk full") << damaged << line << true;
}

void tst_SafetyCopies::damageFoundInAnyChunk() {
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, chunkSize);
    QFETCH(bool, fullDisk);
    QVERIFY(DatabaseFile::check(bytes, DatabaseFile::Separators).status !=
            DatabaseFile::Status::Ok);
    QVERIFY(writeFile(dbPath(), bytes));
    DatabaseFile::SaveFileFactory factory;
    if (fullDisk)
        factory = [](const QString& path) { return std::make_unique<FullDiskFile>(path); };
    const auto r = SafetyCopies::takeDaily(dbPath(), QDate(2026, 12, 10), factory, chunkSize);
    QCOMPARE(r.error, Error::DatabaseDamaged);
    QVERIFY(!r.made);
    QCOMPARE(r.path, dbPath());
    QVERIFY(r.detail.isEmpty());
    QCOMPARE(backupNames(), QStringList());
    QCOMPARE(readFile(dbPath()), bytes);
}

void tst_SafetyCopies::copiesOrderByDateThenTime() {
    QVERIFY(QDir().mkpath(backups()));
    const QStringList newestFirst = {
        u"Ostrevanka21-2026-12-11.spb"_s,
        u"Ostrevanka21-2026-12-10-140507-before-restore.spb"_s,
        u"Ostrevanka21-2026-12-10-090000-before-restore.spb"_s,
        u"Ostrevanka21-2026-12-10.spb"_s,
        u"Ostrevanka21-2026-12-09-235959-before-restore.spb"_s,
        u"Ostrevanka21-2026-12-09.spb"_s,
        u"Ostrevanka21-2025-12-31-120000-before-restore.spb"_s,
    };
    // Written in neither order, so the folder's order proves nothing.
    for (const QString& name : {newestFirst[3], newestFirst[0], newestFirst[6], newestFirst[1],
                                newestFirst[5], newestFirst[2], newestFirst[4]})
        QVERIFY(writeFile(QDir(backups()).filePath(name), "x"));
    QStringList listed;
    for (const SafetyCopies::Copy& c : SafetyCopies::list(dbPath()))
        listed << QFileInfo(c.path).fileName();
    QCOMPARE(listed, newestFirst);
}

void tst_SafetyCopies::beforeRestoreCopyHoldsTheTableInMemory() {
    QVERIFY(writeFile(dbPath(), TaggedDatabase(u"На диске"_s)));
    SubscriberTable table;
    QCOMPARE(DatabaseFile::load(dbPath(), table).status, DatabaseFile::Status::Ok);
    // Changed since the last save, a line break and a "|" among them.
    table.setCell(1, 2, u"Не записано"_s);
    table.setCell(2, 5, u"ключ\r\nу соседа | в сарае"_s);
    table.setCell(2, MonthColumn(8, 3, 1), u"12345"_s); // a year after 2024
    const SubscriberTable before(table);
    const QDateTime when(QDate(2026, 12, 10), QTime(14, 5, 7));

    const auto r = SafetyCopies::takeBeforeRestore(dbPath(), table, std::nullopt, when);
    QVERIFY(r.ok());
    QVERIFY(r.made);
    QCOMPARE(r.path,
             QDir(backups()).filePath(u"Ostrevanka21-2026-12-10-140507-before-restore.spb"_s));
    SubscriberTable copy;
    QCOMPARE(DatabaseFile::load(r.path, copy).status, DatabaseFile::Status::Ok);
    QCOMPARE(copy.subscriberCount(), 2);
    QCOMPARE(copy.cell(1, 2), u"Не записано"_s);
    QCOMPARE(copy.cell(2, 5), u"ключу соседа ¦ в сарае"_s);
    QCOMPARE(copy.cell(2, MonthColumn(8, 3, 1)), u"12345"_s);
    // The table is left as it was; the database file too.
    QCOMPARE(table.cell(2, 5), before.cell(2, 5));
    QCOMPARE(readFile(dbPath()), TaggedDatabase(u"На диске"_s));
    const auto copies = SafetyCopies::list(dbPath());
    QCOMPARE(copies.size(), size_t(1));
    QVERIFY(copies.front().beforeRestore);
    QCOMPARE(copies.front().time, QTime(14, 5, 7));
}

void tst_SafetyCopies::beforeRestoreCopyCountsAmongTheThirty() {
    QVERIFY(writeFile(dbPath(), TaggedDatabase(u"База"_s)));
    const QDate first(2026, 11, 11);
    for (int d = 0; d < 30; ++d)
        QVERIFY(SafetyCopies::takeDaily(dbPath(), first.addDays(d)).made);
    SubscriberTable table;
    QCOMPARE(DatabaseFile::load(dbPath(), table).status, DatabaseFile::Status::Ok);
    const QDate last = first.addDays(29);

    // The newest: the oldest day's copy gives way to it.
    const auto r = SafetyCopies::takeBeforeRestore(dbPath(), table, std::nullopt,
                                                   QDateTime(last, QTime(16, 0)));
    QVERIFY(r.made);
    auto copies = SafetyCopies::list(dbPath());
    QCOMPARE(copies.size(), size_t(30));
    QCOMPARE(copies.front().path, r.path);
    QCOMPARE(copies.back().date, first.addDays(1));

    // The next day's copy is newer still; the before-restore copy stays
    // while it is among the newest 30.
    QVERIFY(SafetyCopies::takeDaily(dbPath(), last.addDays(1)).made);
    copies = SafetyCopies::list(dbPath());
    QCOMPARE(copies.size(), size_t(30));
    QCOMPARE(copies[1].path, r.path);
    QCOMPARE(copies.back().date, first.addDays(2));

    // Even when it falls out of them, the copy being written stays: one
    // kept before a restore with a clock set back.
    const auto old = SafetyCopies::takeBeforeRestore(dbPath(), table, std::nullopt,
                                                     QDateTime(first, QTime(8, 0)));
    QVERIFY(old.made);
    QVERIFY(QFile::exists(old.path));
    QCOMPARE(SafetyCopies::list(dbPath()).size(), size_t(31));
}

void tst_SafetyCopies::failedBeforeRestoreCopyLeavesNothing_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<Error>("error");
    QTest::newRow("full disk") << u"full"_s << Error::WriteFailed;
    QTest::newRow("disk full part-way") << u"part-way"_s << Error::WriteFailed;
    QTest::newRow("no folder for the copies") << u"folder"_s << Error::FolderNotMade;
}

void tst_SafetyCopies::failedBeforeRestoreCopyLeavesNothing() {
    QFETCH(QString, fault);
    QFETCH(Error, error);
    QVERIFY(writeFile(dbPath(), TaggedDatabase(u"База"_s, 20)));
    SubscriberTable table;
    QCOMPARE(DatabaseFile::load(dbPath(), table).status, DatabaseFile::Status::Ok);
    DatabaseFile::SaveFileFactory factory;
    if (fault == u"full"_s)
        factory = [](const QString& path) { return std::make_unique<FullDiskFile>(path); };
    else if (fault == u"part-way"_s)
        factory = [](const QString& path) { return std::make_unique<FailingSaveFile>(path, 9000); };
    else
        QVERIFY(writeFile(backups(), "not a folder"));

    // The journal is written first and fits; the copy after it does not.
    const auto r =
        SafetyCopies::takeBeforeRestore(dbPath(), table, QByteArray("journal\n"),
                                        QDateTime(QDate(2026, 12, 10), QTime(14, 5)), factory);
    QCOMPARE(r.error, error);
    QVERIFY(!r.made);
    QVERIFY(!r.path.isEmpty());
    QCOMPARE(backupNames(), QStringList());
    QCOMPARE(readFile(dbPath()), TaggedDatabase(u"База"_s, 20));
}

QTEST_GUILESS_MAIN(tst_SafetyCopies)
#include "tst_SafetyCopies.moc"
