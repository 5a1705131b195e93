#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "core/DatabaseFile.h"
#include "core/DatabaseLock.h"

using namespace Qt::StringLiterals;
using Result = DatabaseLock::Result;

Q_DECLARE_METATYPE(DatabaseLock::Result)

class tst_DatabaseLock : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void lockFileBesideTheDatabase();
    void secondHolderInOneProcessIsRefused();
    void otherProcessIsRefusedUntilItEnds();
    void lockOfAKilledProcessIsTakenOver();
    void lockFileWithoutOwner_data();
    void lockFileWithoutOwner();

private:
    QString dbPath() const { return m_dir->filePath(DatabaseFile::FileName); }
    // Starts a holder of the lock in another process; what it said.
    QByteArray startHolder(QProcess& p) {
        p.start(QStringLiteral(LOCK_HOLDER), {dbPath()});
        if (!p.waitForStarted(10000) || !p.waitForReadyRead(10000))
            return {};
        return p.readLine().trimmed();
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<QProcess>> m_holders;
    QProcess& holder() { return *m_holders.emplace_back(std::make_unique<QProcess>()); }
};

void tst_DatabaseLock::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_DatabaseLock::cleanup() {
    for (auto& p : m_holders) {
        p->kill();
        p->waitForFinished(10000);
    }
    m_holders.clear();
}

void tst_DatabaseLock::lockFileBesideTheDatabase() {
    QCOMPARE(DatabaseLock::pathFor(dbPath()), m_dir->filePath(u"Ostrevanka21.spb.lock"_s));
    DatabaseLock lock(dbPath());
    QCOMPARE(lock.take(), Result::Taken);
    QVERIFY(QFile::exists(m_dir->filePath(u"Ostrevanka21.spb.lock"_s)));
    lock.release();
    QVERIFY(!lock.isTaken());
    QVERIFY(!QFile::exists(m_dir->filePath(u"Ostrevanka21.spb.lock"_s)));
}

void tst_DatabaseLock::secondHolderInOneProcessIsRefused() {
    DatabaseLock first(dbPath());
    QCOMPARE(first.take(), Result::Taken);
    DatabaseLock second(dbPath());
    QCOMPARE(second.take(), Result::HeldByOther);
    first.release();
    QCOMPARE(second.take(), Result::Taken);
}

void tst_DatabaseLock::otherProcessIsRefusedUntilItEnds() {
    QProcess& other = holder();
    QCOMPARE(startHolder(other), QByteArray("taken"));
    DatabaseLock mine(dbPath());
    QCOMPARE(mine.take(), Result::HeldByOther);
    // It ends normally: the lock goes with it.
    other.closeWriteChannel();
    QVERIFY(other.waitForFinished(10000));
    QCOMPARE(other.exitCode(), 0);
    QCOMPARE(mine.take(), Result::Taken);
    // And now the other way round.
    QProcess& late = holder();
    QCOMPARE(startHolder(late), QByteArray("held"));
    QVERIFY(late.waitForFinished(10000));
    QCOMPARE(late.exitCode(), 1);
}

void tst_DatabaseLock::lockOfAKilledProcessIsTakenOver() {
    QProcess& other = holder();
    QCOMPARE(startHolder(other), QByteArray("taken"));
    other.kill(); // SIGKILL: nothing is cleaned up
    QVERIFY(other.waitForFinished(10000));
    QVERIFY(QFile::exists(DatabaseLock::pathFor(dbPath())));
    DatabaseLock mine(dbPath());
    QCOMPARE(mine.take(), Result::Taken);
    QProcess& late = holder();
    QCOMPARE(startHolder(late), QByteArray("held"));
}

void tst_DatabaseLock::lockFileWithoutOwner_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<Result>("result");
    // Left empty or cut short by a power cut.
    QTest::newRow("empty, a minute old") << QByteArray() << 60 << Result::Taken;
    QTest::newRow("garbled, a minute old") << QByteArray("\x01\x02\n") << 60 << Result::Taken;
    // Perhaps another start writing it this very moment.
    QTest::newRow("empty, just made") << QByteArray() << 0 << Result::HeldByOther;
}

void tst_DatabaseLock::lockFileWithoutOwner() {
    QFETCH(QByteArray, content);
    QFETCH(int, ageSeconds);
    QFETCH(Result, result);
    const QString path = DatabaseLock::pathFor(dbPath());
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(content), content.size());
        QVERIFY(f.flush()); // before the time is set: a later write would reset it
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                              QFileDevice::FileModificationTime));
    }
    DatabaseLock mine(dbPath());
    QCOMPARE(mine.take(), result);
    if (result == Result::Taken) {
        QProcess& other = holder();
        QCOMPARE(startHolder(other), QByteArray("held"));
    }
}

QTEST_GUILESS_MAIN(tst_DatabaseLock)
#include "tst_DatabaseLock.moc"
