#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "storage/DatabasePrefetch.h"
#include "support/TestFiles.h"

using namespace Qt::StringLiterals;
using Status = DatabaseFile::Status;

Q_DECLARE_METATYPE(DatabaseFile::Status)

class tst_DatabasePrefetch : public QObject {
    Q_OBJECT
private slots:
    void init();
    void givesWhatALoadGives_data();
    void givesWhatALoadGives();
    void laterLoadsReadTheFileAgain();
    void otherPathOrHeldRowIsReadNow();

private:
    QString dbPath() const { return m_dir->filePath(DatabaseFile::FileName); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_DatabasePrefetch::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_DatabasePrefetch::givesWhatALoadGives_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<Status>("status");
    QTest::addColumn<int>("badLine");
    const QByteArray good = TaggedDatabase(u"Иванов"_s, 3);
    QTest::newRow("sound") << good << true << Status::Ok << 0;
    QTest::newRow("missing") << QByteArray() << false << Status::NotFound << 0;
    QTest::newRow("empty") << QByteArray() << true << Status::Empty << 0;
    QTest::newRow("short second line")
        << (TaggedDatabase(u"Иванов"_s, 1) + "2|Петров|||\r\n") << true << Status::FormatError << 2;
}

void tst_DatabasePrefetch::givesWhatALoadGives() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exists);
    QFETCH(Status, status);
    QFETCH(int, badLine);
    if (exists)
        QVERIFY(writeFile(dbPath(), bytes));
    DatabasePrefetch prefetch(dbPath());
    SubscriberTable table;
    const auto result = prefetch.load(dbPath(), table);
    QCOMPARE(result.status, status);
    QCOMPARE(result.badLine, badLine);
    if (status == Status::Ok) {
        QCOMPARE(table.subscriberCount(), 3);
        QCOMPARE(table.cell(2, ColName), u"Иванов"_s);
        QCOMPARE(DatabaseFile::serialize(table), bytes);
    } else {
        QCOMPARE(table.subscriberCount(), 0); // a failed load leaves the table alone
    }
}

void tst_DatabasePrefetch::laterLoadsReadTheFileAgain() {
    // Missing at start, then made (the "create a new one" answer): the second
    // load must see the new file, not the missing one read at start.
    DatabasePrefetch prefetch(dbPath());
    SubscriberTable table;
    QCOMPARE(prefetch.load(dbPath(), table).status, Status::NotFound);
    QVERIFY(writeFile(dbPath(), TaggedDatabase(u"Новый"_s, 1)));
    QCOMPARE(prefetch.load(dbPath(), table).status, Status::Ok);
    QCOMPARE(table.cell(1, ColName), u"Новый"_s);
    // And a file replaced after a good load (a restored copy) is read anew.
    QVERIFY(writeFile(dbPath(), TaggedDatabase(u"Копия"_s, 2)));
    QCOMPARE(prefetch.load(dbPath(), table).status, Status::Ok);
    QCOMPARE(table.subscriberCount(), 2);
    QCOMPARE(table.cell(2, ColName), u"Копия"_s);
}

void tst_DatabasePrefetch::otherPathOrHeldRowIsReadNow() {
    QVERIFY(writeFile(dbPath(), TaggedDatabase(u"Первый"_s, 1)));
    const QString other = m_dir->filePath(u"other.spb"_s);
    QVERIFY(writeFile(other, TaggedDatabase(u"Второй"_s, 1)));
    {
        DatabasePrefetch prefetch(dbPath());
        SubscriberTable table;
        QCOMPARE(prefetch.load(other, table).status, Status::Ok);
        QCOMPARE(table.cell(1, ColName), u"Второй"_s);
    }
    {
        // Row 0 is no subscriber's: a load keeps what the table holds there.
        DatabasePrefetch prefetch(dbPath());
        SubscriberTable table;
        table.setCell(0, 7, u"своё"_s);
        QCOMPARE(prefetch.load(dbPath(), table).status, Status::Ok);
        QCOMPARE(table.cell(1, ColName), u"Первый"_s);
        QCOMPARE(table.cell(0, 7), u"своё"_s);
    }
    // Never asked: the worker is waited for, nothing is left running.
    { DatabasePrefetch unused(dbPath()); }
}

QTEST_GUILESS_MAIN(tst_DatabasePrefetch)
#include "tst_DatabasePrefetch.moc"
