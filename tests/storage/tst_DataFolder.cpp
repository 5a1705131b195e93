#include <QCoreApplication>
#include <QDir>
#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "storage/DataFolder.h"
#include "storage/DatabaseFile.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"

using namespace Qt::StringLiterals;

class tst_DataFolder : public QObject {
    Q_OBJECT
private slots:
    void userDataFolder_data();
    void userDataFolder();
    void writableProgramFolderKeepsTheDatabase();
    void installedCopyUsesTheUserFolderAndSaysSoOnce();
    void installedLayoutNeverKeepsDataBesideTheProgram_data();
    void installedLayoutNeverKeepsDataBesideTheProgram();
    void baseInTheProgramFolderIsOfferedForCopying_data();
    void baseInTheProgramFolderIsOfferedForCopying();
    void baseInBothFolders_data();
    void baseInBothFolders();
};

namespace {

// A folder on a small file system of its own, filled first and then mounted
// read-only: a refusal nobody gets past, root included.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : m_path(path) {
        QDir().mkpath(path);
        m_mounted = QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=1m"_s,
                                                   u"tmpfs"_s, path}) == 0;
    }
    ~ReadOnlyFolder() {
        if (m_mounted)
            QProcess::execute(u"umount"_s, {m_path});
    }
    bool mounted() const { return m_mounted; }
    bool makeReadOnly() {
        return QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,ro"_s, m_path}) == 0;
    }

private:
    QString m_path;
    bool m_mounted = false;
};

// Only moved about here, never read: any bytes will do.
QByteArray base(const QString& name) {
    return name.toUtf8() + "\r\n";
}

} // namespace

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

void tst_DataFolder::installedLayoutNeverKeepsDataBesideTheProgram_data() {
    QTest::addColumn<QString>("program"); // below a scratch folder
    QTest::addColumn<QString>("manual");  // the folder made beside it, or none
    QTest::addColumn<bool>("userFolder"); // the database goes to the user's folder
    QTest::newRow("/usr") << u"usr/bin"_s << u"usr/share/ostrevanka"_s << true;
    QTest::newRow("/opt prefix") << u"opt/ostrevanka/bin"_s << u"opt/ostrevanka/share/ostrevanka"_s
                                 << true;
    QTest::newRow("unpacked package")
        << u"Загрузки/pkg/usr/bin"_s << u"Загрузки/pkg/usr/share/ostrevanka"_s << true;
    // A build or copied folder that merely happens to be called so.
    QTest::newRow("bin without the manual's folder") << u"bin"_s << u"share/other"_s << false;
    QTest::newRow("a build folder") << u"build"_s << u"share/ostrevanka"_s << false;
}

// Run as root, a writable /usr/bin must not receive the database.
void tst_DataFolder::installedLayoutNeverKeepsDataBesideTheProgram() {
    QFETCH(QString, program);
    QFETCH(QString, manual);
    QFETCH(bool, userFolder);
    QTemporaryDir scratch, user;
    const QString programFolder = scratch.filePath(program);
    QVERIFY(QDir().mkpath(programFolder));
    QVERIFY(QDir().mkpath(scratch.filePath(manual)));
    const QString userPath = user.filePath(u"ostrevanka"_s);
    ScriptedPlatform platform;

    const QString folder = DatabaseFolder(platform, programFolder, userPath);
    QCOMPARE(IsInstalledProgramFolder(programFolder), userFolder);
    QCOMPARE(folder, userFolder ? userPath : programFolder);
    QCOMPARE(QDir(programFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(platform.messages.size(), size_t(userFolder ? 1 : 0));
    if (userFolder) {
        const QString text = platform.messages.back().text;
        QVERIFY2(text.contains(QDir::toNativeSeparators(userPath)), qPrintable(text));
        QVERIFY2(!text.contains(u"недоступна"_s), qPrintable(text));
    }
}

void tst_DataFolder::baseInTheProgramFolderIsOfferedForCopying_data() {
    QTest::addColumn<bool>("readOnly"); // else: installed, left there by an older version
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("userFolderMade");
    QTest::newRow("read-only, copied") << true << MsgAnswer::Yes << true;
    QTest::newRow("read-only, ended") << true << MsgAnswer::No << true;
    QTest::newRow("read-only, copy fails") << true << MsgAnswer::Yes << false;
    QTest::newRow("installed, copied") << false << MsgAnswer::Yes << true;
    QTest::newRow("installed, ended") << false << MsgAnswer::No << true;
}

void tst_DataFolder::baseInTheProgramFolderIsOfferedForCopying() {
    QFETCH(bool, readOnly);
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, userFolderMade);
    QTemporaryDir scratch, user;
    const QString program = scratch.filePath(u"usr/bin"_s);
    std::optional<ReadOnlyFolder> mount;
    if (readOnly) {
        mount.emplace(program);
        if (!mount->mounted())
            QSKIP("mounting a small tmpfs was refused: no read-only folder to test with");
    } else {
        QVERIFY(QDir().mkpath(scratch.filePath(u"usr/share/ostrevanka"_s)));
        QVERIFY(QDir().mkpath(program));
    }
    const QString programBase = QDir(program).filePath(DatabaseFile::FileName);
    QVERIFY(writeFile(programBase, base(u"Из папки программы"_s)));
    QVERIFY(writeFile(QDir(program).filePath(u"Ostrevanka21.pay"_s), "journal"));
    if (readOnly)
        QVERIFY(mount->makeReadOnly());
    // A folder below a plain file cannot be made.
    QVERIFY(writeFile(user.filePath(u"plain"_s), {}));
    const QString userFolder = user.filePath(userFolderMade ? u"ostrevanka"_s : u"plain/x"_s);
    const QString userBase = QDir(userFolder).filePath(DatabaseFile::FileName);
    // A journal left there without its base gives way to the copied base's own.
    if (userFolderMade) {
        QVERIFY(QDir().mkpath(userFolder));
        QVERIFY(writeFile(QDir(userFolder).filePath(u"Ostrevanka21.pay"_s), "stale journal"));
    }
    ScriptedPlatform platform;
    platform.answers = {answer};

    const QString folder = DatabaseFolder(platform, program, userFolder);
    QVERIFY(!platform.messages.empty());
    const auto& asked = platform.messages.front();
    QVERIFY2(asked.text.contains(QDir::toNativeSeparators(program)), qPrintable(asked.text));
    QVERIFY2(asked.text.contains(QDir::toNativeSeparators(userFolder)), qPrintable(asked.text));
    QCOMPARE(asked.text.contains(u"недоступна для записи"_s), readOnly);
    QCOMPARE(asked.buttons, MsgButtons::YesNo);
    QCOMPARE(readFile(programBase), base(u"Из папки программы"_s));
    if (answer == MsgAnswer::No || !userFolderMade) {
        QCOMPARE(folder, QString()); // the program ends
        QVERIFY(!QFileInfo::exists(userBase));
        QCOMPARE(platform.messages.size(), size_t(userFolderMade ? 1 : 2));
        if (!userFolderMade)
            QCOMPARE(platform.messages.back().icon, MsgIcon::Critical);
        return;
    }
    QCOMPARE(folder, userFolder);
    QCOMPARE(platform.messages.size(), size_t(1));
    QCOMPARE(readFile(userBase), base(u"Из папки программы"_s));
    QCOMPARE(readFile(QDir(userFolder).filePath(u"Ostrevanka21.pay"_s)), QByteArray("journal"));
    QCOMPARE(QDir(userFolder).entryList(QDir::Files),
             (QStringList{u"Ostrevanka21.pay"_s, u"Ostrevanka21.spb"_s}));
    // The next start works with the copy and asks nothing.
    QCOMPARE(DatabaseFolder(platform, program, userFolder), userFolder);
    QCOMPARE(platform.messages.size(), size_t(1));
}

void tst_DataFolder::baseInBothFolders_data() {
    QTest::addColumn<int>("programBaseAgeDays"); // the user's base is a day old
    QTest::addColumn<bool>("warned");
    // The copy made at an earlier start, worked on since.
    QTest::newRow("program folder's base older") << 30 << false;
    // Changed there after the copy: work the user's base does not hold.
    QTest::newRow("program folder's base newer") << 0 << true;
}

void tst_DataFolder::baseInBothFolders() {
    QFETCH(int, programBaseAgeDays);
    QFETCH(bool, warned);
    QTemporaryDir scratch, user;
    const QString program = scratch.filePath(u"bin"_s);
    ReadOnlyFolder mount(program);
    if (!mount.mounted())
        QSKIP("mounting a small tmpfs was refused: no read-only folder to test with");
    const QString programBase = QDir(program).filePath(DatabaseFile::FileName);
    const QDateTime now = QDateTime::currentDateTime();
    QVERIFY(
        writeFileAt(programBase, base(u"Из папки программы"_s), now.addDays(-programBaseAgeDays)));
    QVERIFY(mount.makeReadOnly());
    const QString userFolder = user.filePath(u"ostrevanka"_s);
    QVERIFY(QDir().mkpath(userFolder));
    const QString userBase = QDir(userFolder).filePath(DatabaseFile::FileName);
    QVERIFY(writeFileAt(userBase, base(u"Из папки пользователя"_s), now.addDays(-1)));
    ScriptedPlatform platform;

    QCOMPARE(DatabaseFolder(platform, program, userFolder), userFolder);
    QCOMPARE(readFile(userBase), base(u"Из папки пользователя"_s));
    QCOMPARE(platform.messages.size(), size_t(warned ? 1 : 0));
    if (warned) {
        const auto& told = platform.messages.back();
        QCOMPARE(told.icon, MsgIcon::Warning);
        QVERIFY2(told.text.contains(QDir::toNativeSeparators(program)), qPrintable(told.text));
        QVERIFY2(told.text.contains(QDir::toNativeSeparators(userFolder)), qPrintable(told.text));
    }
}

QTEST_GUILESS_MAIN(tst_DataFolder)
#include "tst_DataFolder.moc"
