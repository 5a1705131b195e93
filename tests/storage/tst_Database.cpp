// The database object alone: what a restore leaves behind, what a refused
// one does not, when the autosave runs, what a start-up load decides, and
// how the payments journal follows the table through all of them.

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/Settings.h"
#include "core/SubscriberTable.h"
#include "storage/Backup.h"
#include "storage/Database.h"
#include "storage/JournalFile.h"
#include "storage/SafetyCopies.h"
#include "support/JournalFixture.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"
#include "support/TmpfsFolder.h"

using namespace Qt::StringLiterals;

namespace {

// A version-1.0 file: 2128 separators a line.
QByteArray version10(const QByteArray& current) {
    const QByteArray tail =
        QByteArray(DatabaseFile::Separators - Backup::Version10Separators, '|') +
        QByteArray("\r\n");
    return QByteArray(current).replace(tail, "\r\n");
}

struct Fixture {
    QTemporaryDir dir;
    ScriptedPlatform platform;
    SubscriberTable table;
    Database database{table, platform, dir.filePath(DatabaseFile::FileName)};

    Fixture() {
        QFile::remove(platform.settings().fileName());
        writeFile(database.path(), TaggedDatabase(u"База"_s));
    }
    QTimer* wait() const { return database.findChild<QTimer*>(u"Timer2"_s); }
    QTimer* due() const { return database.findChild<QTimer*>(u"Timer1"_s); }
    QString source(const QByteArray& bytes) {
        const QString path = dir.filePath(u"chosen.spb"_s);
        writeFile(path, bytes);
        return path;
    }
    QString journal() const { return dir.filePath(u"Ostrevanka21.pay"_s); }
    QString copies() const { return SafetyCopies::folderFor(database.path()); }
};

// The journal a later start reads beside the database in `folder`, and those
// it counts as set aside.
struct NextStart {
    QStringList journal;
    std::vector<QStringList> setAside;
};
NextStart StartAgain(const QString& folder) {
    ScriptedPlatform platform;
    SubscriberTable table;
    Database database(table, platform, QDir(folder).filePath(DatabaseFile::FileName));
    NextStart next;
    if (database.open() != Database::Opened::Loaded)
        return next;
    next.journal = Numbers(database.journal());
    for (const PaymentJournal& j : database.setAsideJournals())
        next.setAside.push_back(Numbers(j));
    return next;
}

} // namespace

class tst_Database : public QObject {
    Q_OBJECT
private slots:
    void restoreEndsEveryLaterWrite_data();
    void restoreEndsEveryLaterWrite();
    void refusedRestoreChangesNothing_data();
    void refusedRestoreChangesNothing();
    void autosaveWritesOnlyAChangedTable();
    void openFollowsTheAutosaveSetting_data();
    void openFollowsTheAutosaveSetting();
    void missingFileIsMadeOnlyWhenAsked_data();
    void missingFileIsMadeOnlyWhenAsked();
    void lockAnswers_data();
    void lockAnswers();
    void failedSaveIsTold();

    void openReadsTheJournalAndThoseSetAside();
    void writeCutOffIsEndedAtOpen_data();
    void writeCutOffIsEndedAtOpen();
    void saveWritesTheJournalOnlyWhenItChanged();
    void failedSaveForLackOfRoomKeepsBothFiles_data();
    void failedSaveForLackOfRoomKeepsBothFiles();
    void backupCarriesTheJournal_data();
    void backupCarriesTheJournal();
    void restoreTakesTheJournalAlong_data();
    void restoreTakesTheJournalAlong();
    void failedRestoreKeepsTheJournal();
    void recoveryAtStartUpBringsTheCopysJournal();
    void unreadableJournalIsNeverWrittenOver_data();
    void unreadableJournalIsNeverWrittenOver();
};

void tst_Database::restoreEndsEveryLaterWrite_data() {
    QTest::addColumn<bool>("fromVersion10");
    QTest::newRow("from a backup") << false;
    QTest::newRow("from version 1.0") << true;
}

void tst_Database::restoreEndsEveryLaterWrite() {
    QFETCH(bool, fromVersion10);
    Fixture f;
    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    QVERIFY(f.wait()->isActive());
    f.table.setCell(1, ColNote, u"несохранённое"_s);
    f.database.markChanged();
    const QByteArray chosen = TaggedDatabase(u"Копия"_s);
    const QString path = f.source(fromVersion10 ? version10(chosen) : chosen);

    const Database::Restored r = fromVersion10
                                     ? f.database.restoreFromVersion10(path, [] { return true; })
                                     : f.database.restoreFrom(path, [] { return true; });
    QVERIFY(r.ok());
    QVERIFY(f.database.endedByRestore());
    QVERIFY(!f.wait()->isActive() && !f.due()->isActive());
    const QByteArray restored = readFile(f.database.path());
    SubscriberTable loaded;
    QCOMPARE(DatabaseFile::load(f.database.path(), loaded).status, DatabaseFile::Status::Ok);
    QCOMPARE(loaded.cell(2, ColName), u"Копия"_s);
    // The unsaved note went into the copy kept before the restore.
    const auto copies = SafetyCopies::list(f.database.path());
    QCOMPARE(copies.size(), size_t(2)); // that one and the day's
    QVERIFY(copies.front().beforeRestore);
    SubscriberTable kept;
    QCOMPARE(DatabaseFile::load(copies.front().path, kept).status, DatabaseFile::Status::Ok);
    QCOMPARE(kept.cell(1, ColNote), u"несохранённое"_s);

    // Nothing of this run writes the file again, whoever asks.
    f.table.setCell(1, ColNote, u"позже"_s);
    QVERIFY(f.database.save());
    QVERIFY(f.database.saveOrTell());
    f.database.setAutosave(true);
    QVERIFY(!f.wait()->isActive());
    f.database.onAutosaveWaitOver();
    f.database.onAutosaveDue();
    QVERIFY(!f.wait()->isActive());
    QCOMPARE(readFile(f.database.path()), restored);
    QVERIFY(f.platform.messages.empty());
}

void tst_Database::refusedRestoreChangesNothing_data() {
    QTest::addColumn<QByteArray>("chosen"); // empty: no such file
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("badLine");
    QTest::newRow("the user says No")
        << TaggedDatabase(u"Копия"_s) << false << true << int(Backup::Error::None) << 0;
    QTest::newRow("a damaged file") << TaggedDatabase(u"Копия"_s) + "3|обрывок\r\n"
                                    << true << false << int(Backup::Error::FormatError) << 3;
    QTest::newRow("no such file") << QByteArray() << true << false << int(Backup::Error::NotFound)
                                  << 0;
}

void tst_Database::refusedRestoreChangesNothing() {
    QFETCH(QByteArray, chosen);
    QFETCH(bool, confirmed);
    QFETCH(bool, asked);
    QFETCH(int, error);
    QFETCH(int, badLine);
    Fixture f;
    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    const QString path = chosen.isEmpty() ? f.dir.filePath(u"нет.spb"_s) : f.source(chosen);
    const auto before = snapshot(f.dir.path());
    bool wasAsked = false;

    const Database::Restored r = f.database.restoreFrom(path, [&] {
        wasAsked = true;
        return confirmed;
    });
    QVERIFY(!r.ok());
    QCOMPARE(wasAsked, asked);
    QCOMPARE(r.declined, asked);
    QCOMPARE(int(r.result.error), error);
    QCOMPARE(r.result.badLine, badLine);
    QVERIFY(snapshot(f.dir.path()) == before);
    QVERIFY(!f.database.endedByRestore());
    QVERIFY(f.wait()->isActive());
    QVERIFY(f.platform.messages.empty());
}

void tst_Database::autosaveWritesOnlyAChangedTable() {
    Fixture f;
    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    const QByteArray original = readFile(f.database.path());
    f.table.setCell(1, ColNote, u"правка"_s);
    f.database.onAutosaveWaitOver();
    QVERIFY(f.due()->isActive() && !f.wait()->isActive());
    f.database.onAutosaveDue();
    QVERIFY(!f.due()->isActive() && f.wait()->isActive());
    QCOMPARE(readFile(f.database.path()), original); // not marked changed: not written

    f.database.markChanged();
    f.database.onAutosaveWaitOver();
    f.database.onAutosaveDue();
    SubscriberTable loaded;
    QCOMPARE(DatabaseFile::load(f.database.path(), loaded).status, DatabaseFile::Status::Ok);
    QCOMPARE(loaded.cell(1, ColNote), u"правка"_s);

    f.database.stopAutosave();
    QVERIFY(!f.due()->isActive() && !f.wait()->isActive());
}

void tst_Database::openFollowsTheAutosaveSetting_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("on");
    QTest::newRow("on") << u"1"_s << true;
    QTest::newRow("off") << u"0"_s << false;
    QTest::newRow("unreadable: the default, on") << u"да"_s << true;
}

void tst_Database::openFollowsTheAutosaveSetting() {
    QFETCH(QString, stored);
    QFETCH(bool, on);
    Fixture f;
    f.platform.settings().setText(u"Nastr"_s, u"flSave"_s, stored);
    f.database.markChanged();
    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    QCOMPARE(f.database.autosave(), on);
    QCOMPARE(f.wait()->isActive(), on);
    QVERIFY(!f.due()->isActive());
    QVERIFY(!f.database.isChanged()); // what was loaded is what the file holds
    QCOMPARE(f.table.subscriberCount(), 2);
}

void tst_Database::missingFileIsMadeOnlyWhenAsked_data() {
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("yes") << MsgAnswer::Yes;
    QTest::newRow("no") << MsgAnswer::No;
}

void tst_Database::missingFileIsMadeOnlyWhenAsked() {
    QFETCH(MsgAnswer, answer);
    Fixture f;
    QVERIFY(QFile::remove(f.database.path()));
    f.platform.answers = {answer};
    const bool yes = answer == MsgAnswer::Yes;
    QCOMPARE(f.database.open(), yes ? Database::Opened::Created : Database::Opened::Failed);
    QCOMPARE(f.platform.messages.size(), size_t(1));
    QCOMPARE(f.platform.messages[0].text,
             u"Файл базы Ostrevanka21.spb не найден, хотите создать новый?"_s);
    QCOMPARE(QFile::exists(f.database.path()), yes);
    QCOMPARE(f.table.subscriberCount(), yes ? 1 : 0);
    QCOMPARE(f.wait()->isActive(), yes);
}

void tst_Database::lockAnswers_data() {
    QTest::addColumn<DatabaseLock::Result>("taken");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<QString>("told");
    QTest::newRow("taken") << DatabaseLock::Result::Taken << true << QString();
    // A folder that cannot be written keeps nobody from the data.
    QTest::newRow("no lock file") << DatabaseLock::Result::Failed << true << QString();
    QTest::newRow("another program here")
        << DatabaseLock::Result::HeldByOther << false
        << u"Программа уже работает с этой базой. Закройте её и запустите снова."_s;
}

void tst_Database::lockAnswers() {
    QFETCH(DatabaseLock::Result, taken);
    QFETCH(bool, goesOn);
    QFETCH(QString, told);
    Fixture f;
    QCOMPARE(f.database.mayGoOn(taken), goesOn);
    QCOMPARE(f.platform.messages.size(), size_t(told.isEmpty() ? 0 : 1));
    if (!told.isEmpty())
        QCOMPARE(f.platform.messages[0].text, told);
}

void tst_Database::failedSaveIsTold() {
    Fixture f;
    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    // A folder in the file's place: the file cannot be replaced.
    QVERIFY(QFile::remove(f.database.path()));
    QVERIFY(QDir().mkpath(f.database.path()));
    QVERIFY(!f.database.saveOrTell());
    QCOMPARE(f.platform.messages.size(), size_t(1));
    QCOMPARE(f.platform.messages[0].text, u"Ошибка сохранения"_s);
    QCOMPARE(f.platform.messages[0].icon, MsgIcon::None);
    QVERIFY(QFileInfo(f.database.path()).isDir());
}

void tst_Database::openReadsTheJournalAndThoseSetAside() {
    Fixture f;
    // Line ends as another editor might leave them.
    QVERIFY(writeFile(f.journal(), JournalBytes({u"1"_s, u"2"_s}).replace("\n", "\r\n")));
    QVERIFY(writeFile(f.dir.filePath(u"Ostrevanka21.pay.before-restore-20260101-090000"_s),
                      JournalBytes({u"3"_s})));
    QVERIFY(writeFile(f.dir.filePath(u"Ostrevanka21.pay.before-restore-20260301-090000"_s),
                      JournalBytes({u"4"_s, u"5"_s})));
    // Neither set aside by a restore nor this base's.
    QVERIFY(writeFile(f.dir.filePath(u"Ostrevanka21.pay.damaged-20260101-090000"_s),
                      JournalBytes({u"6"_s})));
    QVERIFY(writeFile(f.dir.filePath(u"Other.pay.before-restore-20260101-090000"_s),
                      JournalBytes({u"7"_s})));

    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    QCOMPARE(Numbers(f.database.journal()), (QStringList{u"1"_s, u"2"_s}));
    QCOMPARE(f.database.setAsideJournals().size(), size_t(2));
    QCOMPARE(Numbers(f.database.setAsideJournals()[0]), QStringList{u"3"_s});
    QCOMPARE(Numbers(f.database.setAsideJournals()[1]), (QStringList{u"4"_s, u"5"_s}));
    QVERIFY(f.platform.messages.empty());
}

void tst_Database::writeCutOffIsEndedAtOpen_data() {
    QTest::addColumn<QString>("table"); // what the database file holds
    QTest::addColumn<bool>("tablePending");
    QTest::addColumn<bool>("journalPending");
    QTest::addColumn<QStringList>("journal"); // what the start finds
    // The table never took its place: the journal stays as it was.
    QTest::newRow("while the table was written")
        << u"Прежняя"_s << true << false << QStringList{u"1"_s};
    QTest::newRow("while the journal was written")
        << u"Прежняя"_s << true << true << QStringList{u"1"_s};
    // The table is in place: its journal follows it.
    QTest::newRow("between the two renames")
        << u"Новая"_s << false << true << QStringList{u"1"_s, u"2"_s};
}

void tst_Database::writeCutOffIsEndedAtOpen() {
    QFETCH(QString, table);
    QFETCH(bool, tablePending);
    QFETCH(bool, journalPending);
    QFETCH(QStringList, journal);
    Fixture f;
    QVERIFY(writeFile(f.database.path(), TaggedDatabase(table)));
    QVERIFY(writeFile(f.journal(), JournalBytes({u"1"_s})));
    if (tablePending)
        QVERIFY(writeFile(f.database.path() + u".pending"_s, TaggedDatabase(u"Новая"_s)));
    if (journalPending)
        QVERIFY(writeFile(f.journal() + u".pending"_s, JournalBytes({u"1"_s, u"2"_s})));

    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    QCOMPARE(f.table.cell(1, ColName), table);
    QCOMPARE(Numbers(f.database.journal()), journal);
    QCOMPARE(readFile(f.journal()), JournalBytes(journal));
    QCOMPARE(readFile(f.database.path()), TaggedDatabase(table));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{u"Ostrevanka21.pay"_s, u"Ostrevanka21.spb"_s}));
}

void tst_Database::saveWritesTheJournalOnlyWhenItChanged() {
    Fixture f;
    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    // A base that never took a statement stays without a journal.
    f.table.setCell(1, ColNote, u"правка"_s);
    QVERIFY(f.database.save());
    QVERIFY(!QFileInfo::exists(f.journal()));

    f.database.journal().add(TestPayment(u"1"_s));
    f.table.setCell(2, ColNote, u"платёж"_s);
    QVERIFY(f.database.save());
    QCOMPARE(readFile(f.journal()), JournalBytes({u"1"_s}));
    SubscriberTable saved;
    QCOMPARE(DatabaseFile::load(f.database.path(), saved).status, DatabaseFile::Status::Ok);
    QCOMPARE(saved.cell(2, ColNote), u"платёж"_s);

    // Unchanged, the file is left as it is, in whatever form it was written.
    const QByteArray crLf = JournalBytes({u"1"_s}).replace("\n", "\r\n");
    QVERIFY(writeFile(f.journal(), crLf));
    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    f.table.setCell(1, ColNote, u"ещё правка"_s);
    QVERIFY(f.database.save());
    QCOMPARE(readFile(f.journal()), crLf);

    // A subscriber deleted: the journal's rows follow in the same save.
    f.database.journal().renumberAfterDelete(1);
    QVERIFY(f.database.save());
    const PaymentJournal written = PaymentJournal::fromBytes(readFile(f.journal()));
    QCOMPARE(written.entries().size(), size_t(1));
    QCOMPARE(written.entries()[0].row, 1);
}

void tst_Database::failedSaveForLackOfRoomKeepsBothFiles_data() {
    QTest::addColumn<bool>("journalGrows");
    // The table's new file does not fit beside the old one.
    QTest::newRow("no room for the table") << false;
    // The table's does; the journal's, written after it, does not.
    QTest::newRow("no room for the journal") << true;
}

void tst_Database::failedSaveForLackOfRoomKeepsBothFiles() {
    QFETCH(bool, journalGrows);
    const QByteArray table = TaggedDatabase(u"Прежняя"_s, 100);
    const QByteArray journal = JournalBytes({u"1"_s});
    const qint64 room = journalGrows ? inPages(table.size()) + 16 * Page : 16 * Page;
    TmpfsFolder disk(inPages(table.size()) + inPages(journal.size()) + room);
    if (!disk.mounted())
        QSKIP("a tmpfs could not be mounted (the test needs root and a kernel that lets it)");
    const QString folder = disk.path();
    ScriptedPlatform platform;
    SubscriberTable loaded;
    Database database(loaded, platform, QDir(folder).filePath(DatabaseFile::FileName));
    const QString journalPath = JournalFile::pathFor(database.path());
    QVERIFY(writeFile(database.path(), table));
    QVERIFY(writeFile(journalPath, journal));
    QCOMPARE(database.open(), Database::Opened::Loaded);

    loaded.setCell(1, ColNote, u"новое"_s);
    const int added = journalGrows ? 3000 : 1;
    for (int n = 0; n < added; ++n)
        database.journal().add(TestPayment(u"new %1"_s.arg(n)));
    QVERIFY(!database.save());
    QCOMPARE(readFile(database.path()), table);
    QCOMPARE(readFile(journalPath), journal);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{u"Ostrevanka21.pay"_s, u"Ostrevanka21.spb"_s}));

    // Room made: the next save writes both.
    QVERIFY(disk.resize(4 * (table.size() + 3000 * 200)));
    QVERIFY(database.save());
    QCOMPARE(readFile(journalPath), database.journal().toBytes());
    QCOMPARE(PaymentJournal::fromBytes(readFile(journalPath)).entries().size(), size_t(1 + added));
    SubscriberTable saved;
    QCOMPARE(DatabaseFile::load(database.path(), saved).status, DatabaseFile::Status::Ok);
    QCOMPARE(saved.cell(1, ColNote), u"новое"_s);
}

void tst_Database::backupCarriesTheJournal_data() {
    QTest::addColumn<QStringList>("payments");
    // Restored, an empty journal says the backup holds no payment from a statement.
    QTest::newRow("no payments yet") << QStringList();
    QTest::newRow("payments") << QStringList{u"1"_s, u"2"_s};
}

void tst_Database::backupCarriesTheJournal() {
    QFETCH(QStringList, payments);
    Fixture f;
    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    for (const QString& n : payments)
        f.database.journal().add(TestPayment(n));
    const QString backup = f.dir.filePath(u"копии/08.12.2026 20ч56мин Ostrevanka21.spb"_s);
    QVERIFY(QDir().mkpath(QFileInfo(backup).path()));

    QVERIFY(f.database.backupTo(backup).ok());
    QCOMPARE(QDir(QFileInfo(backup).path()).entryList(QDir::Files, QDir::Name),
             (QStringList{u"08.12.2026 20ч56мин Ostrevanka21.pay"_s,
                          u"08.12.2026 20ч56мин Ostrevanka21.spb"_s}));
    QCOMPARE(readFile(JournalFile::pathFor(backup)), JournalBytes(payments));
    // The database's own files are left as they were.
    QVERIFY(!QFileInfo::exists(f.journal()));
}

void tst_Database::restoreTakesTheJournalAlong_data() {
    QTest::addColumn<bool>("journalBeside");
    QTest::addColumn<bool>("payments"); // the current journal holds some
    QTest::addColumn<bool>("fromVersion10");
    QTest::newRow("a backup with its journal") << true << true << false;
    QTest::newRow("a backup without a journal") << false << true << false;
    QTest::newRow("version 1.0 without a journal") << false << true << true;
    QTest::newRow("no journal on either side") << false << false << false;
}

void tst_Database::restoreTakesTheJournalAlong() {
    QFETCH(bool, journalBeside);
    QFETCH(bool, payments);
    QFETCH(bool, fromVersion10);
    Fixture f;
    if (payments)
        QVERIFY(writeFile(f.journal(), JournalBytes({u"1"_s})));
    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    QString chosen;
    if (journalBeside) {
        f.database.journal().add(TestPayment(u"2"_s));
        chosen = f.dir.filePath(u"копия.spb"_s);
        QVERIFY(f.database.backupTo(chosen).ok());
        // Written after the backup: not in it.
        f.database.journal().add(TestPayment(u"3"_s));
        QVERIFY(f.database.save());
    } else {
        const QByteArray bytes = TaggedDatabase(u"Копия"_s);
        chosen = f.source(fromVersion10 ? version10(bytes) : bytes);
    }
    const QByteArray current = f.database.journal().toBytes();
    const QStringList currentNumbers = Numbers(f.database.journal());
    const QString setAside = f.dir.filePath(u"Ostrevanka21.pay.before-restore-20261210-140500"_s);

    const auto confirm = [] { return true; };
    const Database::Restored r = fromVersion10 ? f.database.restoreFromVersion10(chosen, confirm)
                                               : f.database.restoreFrom(chosen, confirm);
    QVERIFY(r.ok());
    // The journal as it was goes with the table kept before the restore.
    QCOMPARE(
        readFile(QDir(f.copies()).filePath(u"Ostrevanka21-2026-12-10-140500-before-restore.pay"_s)),
        current);

    QStringList expected;
    if (journalBeside)
        expected = QStringList{u"1"_s, u"2"_s};
    QCOMPARE(Numbers(f.database.journal()), expected);
    const bool keptAside = !journalBeside && payments;
    QCOMPARE(QFileInfo::exists(setAside), keptAside);
    QCOMPARE(f.database.setAsideJournals().size(), size_t(keptAside ? 1 : 0));
    if (keptAside) {
        QCOMPARE(readFile(setAside), current);
        QCOMPARE(Numbers(f.database.setAsideJournals()[0]), currentNumbers);
    }
    // What the next start finds: the same.
    QCOMPARE(QFileInfo::exists(f.journal()), journalBeside || payments);
    const NextStart next = StartAgain(f.dir.path());
    QCOMPARE(next.journal, expected);
    QCOMPARE(next.setAside.size(), size_t(keptAside ? 1 : 0));
    if (keptAside)
        QCOMPARE(next.setAside[0], currentNumbers);
}

void tst_Database::failedRestoreKeepsTheJournal() {
    Fixture f;
    QVERIFY(writeFile(f.journal(), JournalBytes({u"1"_s})));
    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    const QString chosen = f.source(TaggedDatabase(u"Копия"_s));
    // A folder where the restored table is written first: it cannot be.
    QVERIFY(QDir().mkpath(f.database.path() + u".pending"_s));

    const Database::Restored r = f.database.restoreFrom(chosen, [] { return true; });
    QCOMPARE(r.result.error, Backup::Error::WriteFailed);
    QVERIFY(!f.database.endedByRestore());
    QCOMPARE(readFile(f.database.path()), TaggedDatabase(u"База"_s));
    QCOMPARE(readFile(f.journal()), JournalBytes({u"1"_s}));
    // Nothing set aside: the journal still belongs to the table beside it.
    QCOMPARE(JournalFile::setAsidePaths(f.database.path()), QStringList());
    QCOMPARE(Numbers(f.database.journal()), QStringList{u"1"_s});
    QVERIFY(f.database.setAsideJournals().empty());
}

void tst_Database::recoveryAtStartUpBringsTheCopysJournal() {
    Fixture f;
    const QByteArray damaged = TaggedDatabase(u"База"_s) + "3|обрывок\r\n";
    QVERIFY(writeFile(f.database.path(), damaged));
    QVERIFY(writeFile(f.journal(), JournalBytes({u"1"_s, u"2"_s})));
    QVERIFY(QDir().mkpath(f.copies()));
    QVERIFY(writeFile(QDir(f.copies()).filePath(u"Ostrevanka21-2026-12-09.spb"_s),
                      TaggedDatabase(u"Копия"_s)));
    QVERIFY(writeFile(QDir(f.copies()).filePath(u"Ostrevanka21-2026-12-09.pay"_s),
                      JournalBytes({u"1"_s})));
    // The damage told, the open's failure told, the copy offered.
    f.platform.answers = {MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Yes};

    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    QCOMPARE(f.table.cell(1, ColName), u"Копия"_s);
    QCOMPARE(Numbers(f.database.journal()), QStringList{u"1"_s});
    QCOMPARE(readFile(f.journal()), JournalBytes({u"1"_s}));
    // The damaged file's journal is kept beside it.
    QCOMPARE(readFile(f.dir.filePath(u"Ostrevanka21.spb.damaged-20261210-140500"_s)), damaged);
    QCOMPARE(readFile(f.dir.filePath(u"Ostrevanka21.pay.damaged-20261210-140500"_s)),
             JournalBytes({u"1"_s, u"2"_s}));
}

void tst_Database::unreadableJournalIsNeverWrittenOver_data() {
    QTest::addColumn<bool>("nameTaken"); // the name it would be kept under
    QTest::newRow("kept under a new name") << false;
    QTest::newRow("cannot be kept") << true;
}

void tst_Database::unreadableJournalIsNeverWrittenOver() {
    QFETCH(bool, nameTaken);
    Fixture f;
    // A folder in the journal's place: there, but no file to read.
    QVERIFY(QDir().mkpath(f.journal()));
    QVERIFY(writeFile(f.journal() + u"/inside"_s, "kept"));
    const QString kept = f.journal() + u".unreadable-20261210-140500"_s;
    if (nameTaken)
        QVERIFY(writeFile(kept, "other"));

    QCOMPARE(f.database.open(), Database::Opened::Loaded);
    QCOMPARE(f.platform.messages.size(), size_t(1));
    const auto& told = f.platform.messages.front();
    QCOMPARE(told.icon, MsgIcon::Warning);
    QVERIFY2(told.text.startsWith(u"Не удалось прочитать журнал платежей "_s +
                                  QDir::toNativeSeparators(f.journal())),
             qPrintable(told.text));
    QVERIFY(f.database.journal().isEmpty());
    QCOMPARE(QFileInfo(f.journal()).isDir(), nameTaken);
    QCOMPARE(readFile((nameTaken ? f.journal() : kept) + u"/inside"_s), QByteArray("kept"));

    f.database.journal().add(TestPayment(u"1"_s));
    f.table.setCell(1, ColNote, u"платёж"_s);
    QCOMPARE(f.database.save(), !nameTaken);
    if (!nameTaken) {
        QCOMPARE(readFile(f.journal()), JournalBytes({u"1"_s}));
        return;
    }
    // Nothing written over it; a save that leaves the journal be still goes.
    QVERIFY(QFileInfo(f.journal()).isDir());
    f.database.journal().truncate(0);
    QVERIFY(f.database.save());
    SubscriberTable saved;
    QCOMPARE(DatabaseFile::load(f.database.path(), saved).status, DatabaseFile::Status::Ok);
    QCOMPARE(saved.cell(1, ColNote), u"платёж"_s);
}

QTEST_GUILESS_MAIN(tst_Database)
#include "tst_Database.moc"
