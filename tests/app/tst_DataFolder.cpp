#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "core/DataFolder.h"
#include "core/DatabaseFile.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;

class tst_DataFolder : public QObject {
    Q_OBJECT
private slots:
    void userDataFolder_data();
    void userDataFolder();
    void writableProgramFolderKeepsTheDatabase();
    void installedCopyUsesTheUserFolderAndSaysSoOnce();
};

void tst_DataFolder::userDataFolder_data() {
    QTest::addColumn<QString>("xdgDataHome");
    QTest::addColumn<QString>("expected"); // below the fake home
    QTest::newRow("default") << QString() << u".local/share/ostrevanka"_s;
    QTest::newRow("XDG_DATA_HOME") << u"data"_s << u"data/ostrevanka"_s;
}

void tst_DataFolder::userDataFolder() {
    QFETCH(QString, xdgDataHome);
    QFETCH(QString, expected);
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    if (xdgDataHome.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", home.filePath(xdgDataHome).toLocal8Bit());
    // The program names its organisation too; the folder must not nest.
    QCoreApplication::setOrganizationName(u"ostrevanka"_s);
    QCoreApplication::setApplicationName(u"ostrevanka"_s);
    const QString folder = UserDataFolder(u"ostrevanka"_s);
    qputenv("HOME", oldHome);
    if (oldData.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", oldData);
    QCOMPARE(folder, home.filePath(expected));
}

void tst_DataFolder::writableProgramFolderKeepsTheDatabase() {
    QTemporaryDir program, user;
    ScriptedPlatform platform;
    const QString userFolder = user.filePath(u"ostrevanka"_s);
    QCOMPARE(DatabaseFolder(platform, program.path(), userFolder), program.path());
    QVERIFY(platform.messages.empty());
    QVERIFY(!QFileInfo::exists(userFolder));
    QCOMPARE(QDir(program.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
}

void tst_DataFolder::installedCopyUsesTheUserFolderAndSaysSoOnce() {
    // A folder below a plain file cannot be written, not even by root.
    QTemporaryDir scratch, user;
    QFile plain(scratch.filePath(u"usr"_s));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString program = scratch.filePath(u"usr/bin"_s);
    const QString userFolder = user.filePath(u"share/ostrevanka"_s);
    ScriptedPlatform platform;

    QCOMPARE(DatabaseFolder(platform, program, userFolder), userFolder);
    QVERIFY(QFileInfo(userFolder).isDir());
    QCOMPARE(platform.messages.size(), size_t(1));
    const auto& told = platform.messages.back();
    QCOMPARE(told.title, u"Папка базы данных"_s);
    QCOMPARE(told.icon, MsgIcon::Information);
    QCOMPARE(told.buttons, MsgButtons::Ok);
    QVERIFY2(told.text.contains(QDir::toNativeSeparators(userFolder)), qPrintable(told.text));

    // Until the database is made (the user may refuse it), the next start
    // says it again; afterwards never.
    QCOMPARE(DatabaseFolder(platform, program, userFolder), userFolder);
    QCOMPARE(platform.messages.size(), size_t(2));
    QFile db(QDir(userFolder).filePath(DatabaseFile::FileName));
    QVERIFY(db.open(QIODevice::WriteOnly));
    db.close();
    QCOMPARE(DatabaseFolder(platform, program, userFolder), userFolder);
    QCOMPARE(platform.messages.size(), size_t(2));
}

QTEST_GUILESS_MAIN(tst_DataFolder)
#include "tst_DataFolder.moc"
