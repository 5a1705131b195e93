// The database object alone: what a restore leaves behind, what a refused
// one does not, when the autosave runs and what a start-up load decides.

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/Settings.h"
#include "core/SubscriberTable.h"
#include "storage/Backup.h"
#include "storage/Database.h"
#include "storage/SafetyCopies.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"

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
};

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

QTEST_GUILESS_MAIN(tst_Database)
#include "tst_Database.moc"
