#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include "storage/DatabaseFile.h"
#include "storage/DatabaseLock.h"
#include "support/TestFiles.h"

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
    void lockOfAnotherComputer_data();
    void lockOfAnotherComputer();
    void takeOverLeavesALiveHolderAlone();

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

void tst_DatabaseLock::lockOfAnotherComputer_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("computer");
    // As an older Qt writes it: no machine id, the host name decides.
    QTest::newRow("another host name")
        << QByteArray("4242\nostrevanka\ndacha-pc\n") << u"dacha-pc"_s;
    // Two computers set up alike may share a host name; the machine id tells.
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    QTest::newRow("this host name, another machine id")
        << QByteArray("4242\nostrevanka\n" + host + "\n0123456789abcdef0123456789abcdef\nboot\n")
        << QString::fromUtf8(host);
}

void tst_DatabaseLock::lockOfAnotherComputer() {
    QFETCH(QByteArray, content);
    QFETCH(QString, computer);
    if (QTest::currentDataTag() == QByteArray("this host name, another machine id") &&
        QSysInfo::machineUniqueId().isEmpty())
        QSKIP("this machine has no machine id (/etc/machine-id): only host names can differ");
    const QString path = DatabaseLock::pathFor(dbPath());
    const QDateTime since(QDate(2026, 5, 9), QTime(18, 40));
    QVERIFY(writeFileAt(path, content, since));
    // Its pid may well live here too: it must not be looked up.
    DatabaseLock mine(dbPath());
    QCOMPARE(mine.take(), Result::HeldElsewhere);
    QCOMPARE(mine.holder().computer, computer);
    QCOMPARE(mine.holder().since, since);
    QVERIFY(!mine.isTaken());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), content);
    f.close();
    QCOMPARE(QFileInfo(path).lastModified(), since);

    // The user has made sure the program is not running there.
    QCOMPARE(mine.takeOver(), Result::Taken);
    QVERIFY(mine.isTaken());
    QProcess& other = holder();
    QCOMPARE(startHolder(other), QByteArray("held"));
}

void tst_DatabaseLock::takeOverLeavesALiveHolderAlone() {
    QProcess& other = holder();
    QCOMPARE(startHolder(other), QByteArray("taken"));
    DatabaseLock mine(dbPath());
    QCOMPARE(mine.takeOver(), Result::HeldByOther);
    QVERIFY(!mine.isTaken());
    QVERIFY(QFile::exists(DatabaseLock::pathFor(dbPath())));
}

QTEST_GUILESS_MAIN(tst_DatabaseLock)
#include "tst_DatabaseLock.moc"
