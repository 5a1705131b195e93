#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/Application.h"
#include "core/AppState.h"
#include "storage/Backup.h"
#include "core/Cp1251.h"
#include "storage/DatabaseFile.h"
#include "storage/DatabaseLock.h"
#include "storage/Database.h"
#include "storage/SafetyCopies.h"
#include "readings/MonthCell.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"
#include "support/TmpfsFolder.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray database(const QString& tag, int count = 2) {
    QByteArray out;
    for (int r = 1; r <= count; ++r) {
        QString line = QString::number(r) + u'|' + tag + u' ' + QString::number(r) + u'|';
        line += QString(DatabaseFile::Separators - 2, u'|');
        out += Cp1251::encode(line) + "\r\n";
    }
    return out;
}

// Answers as the script says, but only after a real modal box has run its
// own event loop for `holdMs`: timers fire meanwhile, as while a user reads.
class RealBoxes final : public Platform {
public:
    RealBoxes(ScriptedPlatform& script, int holdMs) : m_script(script), m_holdMs(holdMs) {}
    int shown = 0;

    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons,
                      MsgAnswer defaultButton) override {
        const MsgAnswer answer = m_script.message(text, title, icon, buttons, defaultButton);
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok);
        QTimer::singleShot(m_holdMs, &box, &QDialog::accept);
        box.exec();
        ++shown;
        return answer;
    }
    QString openFileName(const QString& caption, const QString& directory,
                         const QString& filter) override {
        return m_script.openFileName(caption, directory, filter);
    }
    QString saveFileName(const QString& caption, const QString& proposedPath,
                         const QString& filter) override {
        return m_script.saveFileName(caption, proposedPath, filter);
    }
    QString chooseFolder(const QString& caption, const QString& directory) override {
        return m_script.chooseFolder(caption, directory);
    }
    std::optional<int> chooseColor(int initialBgr) override {
        return m_script.chooseColor(initialBgr);
    }
    bool print(const PrintJob& job) override { return m_script.print(job); }
    bool openDocument(const QString& path) override { return m_script.openDocument(path); }
    bool startProgram(const QString& program, const QStringList& arguments) override {
        return m_script.startProgram(program, arguments);
    }
    QDateTime now() const override { return m_script.now(); }
    Settings& settings() override { return m_script.settings(); }
    void quit(int exitCode) override { m_script.quit(exitCode); }

private:
    ScriptedPlatform& m_script;
    int m_holdMs;
};

// The two restores: from a backup and from version 1.0.
void restoreKinds() {
    QTest::addColumn<bool>("version10");
    QTest::newRow("from a backup") << false;
    QTest::newRow("from version 1.0") << true;
}

// A database on a tmpfs with `free` bytes left beside it: a disk that
// really fills up. `table` holds the database, loaded.
struct SmallDisk {
    TmpfsFolder folder;
    const bool mounted;
    ScriptedPlatform platform;
    SubscriberTable table;
    Database database{table, platform, folder.filePath(DatabaseFile::FileName)};

    SmallDisk(const QByteArray& bytes, qint64 free)
        : folder(bytes.size() + free), mounted(folder.mounted()) {
        if (mounted && writeFile(database.path(), bytes))
            DatabaseFile::load(database.path(), table);
    }
    QString copies() const { return SafetyCopies::folderFor(database.path()); }
};

struct Fixture {
    QTemporaryDir dir;
    ScriptedPlatform platform;
    std::unique_ptr<RealBoxes> boxes;
    std::unique_ptr<Application> app;

    // holdBoxesMs > 0: every box is a real one, open that long.
    explicit Fixture(const QByteArray& bytes = database(u"Абонент"_s), int holdBoxesMs = 0) {
        QFile::remove(platform.settings().fileName());
        writeFile(dbPath(), bytes);
        if (holdBoxesMs > 0)
            boxes = std::make_unique<RealBoxes>(platform, holdBoxesMs);
        app = std::make_unique<Application>(boxes ? static_cast<Platform&>(*boxes) : platform,
                                            dir.path());
    }
    ~Fixture() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                w->close();
    }
    QString dbPath() const { return dir.filePath(DatabaseFile::FileName); }
    QString copyPath(const QDate& d) const {
        return QDir(SafetyCopies::folderFor(dbPath())).filePath(SafetyCopies::fileName(d));
    }
    void putCopy(const QDate& d, const QByteArray& bytes) {
        QDir().mkpath(SafetyCopies::folderFor(dbPath()));
        writeFile(copyPath(d), bytes);
    }
    QDate today() const { return platform.clock.date(); }
    QStringList texts() const {
        QStringList out;
        for (const auto& m : platform.messages)
            out << m.text;
        return out;
    }
    // Types into January's T1 of the shown subscriber and leaves the cell,
    // which stores it in the table, not yet in the file.
    void edit(const QString& text) {
        MainWindow* form = app->mainWindow();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        MonthCell* cell = form->entryCell(1, T1Current);
        cell->setFocus(Qt::MouseFocusReason);
        cell->selectAll();
        QTest::keyClicks(cell, text);
        QTest::keyClick(cell, Qt::Key_Return);
    }
    // The autosave's minute-long waits shortened to a few milliseconds.
    void shortenAutosave() {
        for (const QString& name : {u"Timer1"_s, u"Timer2"_s})
            app->database().findChild<QTimer*>(name)->setInterval(5);
    }
    // The same, then a click on "Сохранить".
    void editAndSave(const QString& text) {
        edit(text);
        MainWindow* form = app->mainWindow();
        auto* save = form->findChild<QToolButton*>(u"Cmd6"_s);
        QVERIFY(save && save->isEnabled());
        QTest::mouseClick(save, Qt::LeftButton);
    }
    // Answers Yes to a restore of a database of "Из копии 1", "Из копии 2",
    // in the current format or in that of version 1.0; its bytes.
    QByteArray restore(bool version10) {
        QByteArray restored = database(u"Из копии"_s);
        if (version10)
            restored.replace(
                QByteArray(QByteArray(DatabaseFile::Separators - Backup::Version10Separators, '|') +
                           "\r\n"),
                "\r\n");
        const QString source = dir.filePath(u"source.spb"_s);
        writeFile(source, restored);
        platform.fileNames = {source};
        platform.answers = {MsgAnswer::Yes};
        app->mainWindow()
            ->findChild<QAction*>(version10 ? u"Menu_Tuns_Vost1"_s : u"Menu_Tuns_Vost"_s)
            ->trigger();
        return restored;
    }
    QString savedReading() {
        SubscriberTable t;
        DatabaseFile::load(dbPath(), t);
        return t.cell(1, MonthColumn(0, 1, T1Current));
    }
};

} // namespace

class tst_DatabaseSafety : public QObject {
    Q_OBJECT
private slots:
    void secondProgramIsRefusedAndChangesNothing_data();
    void secondProgramIsRefusedAndChangesNothing();
    void lockIsReleasedAtTheEnd_data();
    void lockIsReleasedAtTheEnd();

    void firstSaveOfTheDayMakesOneCopy();
    void autosaveTakesTheDaysCopyToo();
    void failedCopyWarnsOnceAndTheSaveLands();
    void failedSaveLeavesFileAndCopies_data();
    void failedSaveLeavesFileAndCopies();

    void damagedFileIsRestoredFromTheNewestUsableCopy_data();
    void damagedFileIsRestoredFromTheNewestUsableCopy();
    void answerNoLeavesEverythingAsItWas();
    void noUsableCopyEndsAsBefore();

    void autosaveNeverUndoesARestore_data();
    void autosaveNeverUndoesARestore();
    void restoreKeepsTheDaysWork_data();
    void restoreKeepsTheDaysWork();
    void restoreStopsWithoutItsCopy();
    void copyBeforeARestoreIsOfferedWithItsTime();

    void copyGivesWayOnANearlyFullDisk_data();
    void copyGivesWayOnANearlyFullDisk();
    void restoreStopsWhenItsCopyDoesNotFit();
};

void tst_DatabaseSafety::secondProgramIsRefusedAndChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("a good database") << database(u"Абонент"_s);
    // Were it loaded before the lock's answer, these would bring their own
    // messages and offers.
    QTest::newRow("a damaged database") << QByteArray("1|broken\r\n");
    QTest::newRow("an empty database") << QByteArray();
}

void tst_DatabaseSafety::secondProgramIsRefusedAndChangesNothing() {
    QFETCH(QByteArray, bytes);
    Fixture f(bytes);
    DatabaseLock first(f.dbPath()); // the program already running
    QCOMPARE(first.take(), DatabaseLock::Result::Taken);
    const auto before = snapshot(f.dir.path());
    QSignalSpy finished(f.app.get(), &Application::finished);

    QVERIFY(!f.app->start());
    QCOMPARE(f.platform.messages.size(), size_t(1));
    const auto& m = f.platform.messages.front();
    QCOMPARE(m.text, u"Программа уже работает с этой базой. Закройте её и запустите снова."_s);
    QCOMPARE(m.title, u"Остреванка 2.1"_s);
    QCOMPARE(m.icon, MsgIcon::Warning);
    QCOMPARE(m.buttons, MsgButtons::Ok);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toInt(), 1);
    QVERIFY(!f.app->mainWindow());
    QVERIFY(snapshot(f.dir.path()) == before);
    QVERIFY(first.isTaken());
}

void tst_DatabaseSafety::lockIsReleasedAtTheEnd_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("closing the main window") << u"close"_s;
    QTest::newRow("a restore") << u"restore"_s;
    QTest::newRow("a failed load") << u"damaged"_s;
}

void tst_DatabaseSafety::lockIsReleasedAtTheEnd() {
    QFETCH(QString, how);
    Fixture f(how == u"damaged"_s ? QByteArray("1|broken\r\n") : database(u"Абонент"_s));
    QSignalSpy finished(f.app.get(), &Application::finished);
    DatabaseLock other(f.dbPath());
    if (how == u"damaged"_s) {
        QVERIFY(!f.app->start());
    } else {
        QVERIFY(f.app->start());
        QCOMPARE(other.take(), DatabaseLock::Result::HeldByOther);
        if (how == u"close"_s) {
            f.app->mainWindow()->close();
        } else {
            const QString source = f.dir.filePath(u"backup.spb"_s);
            QVERIFY(writeFile(source, database(u"Из копии"_s)));
            f.platform.fileNames = {source};
            f.platform.answers = {MsgAnswer::Yes};
            f.app->mainWindow()->findChild<QAction*>(u"Menu_Tuns_Vost"_s)->trigger();
            QCOMPARE(readFile(f.dbPath()), database(u"Из копии"_s));
            // The file it replaced is the day's safety copy.
            QCOMPARE(readFile(f.copyPath(f.today())), database(u"Абонент"_s));
        }
    }
    QCOMPARE(finished.size(), 1);
    QVERIFY(!QFile::exists(DatabaseLock::pathFor(f.dbPath())));
    QCOMPARE(other.take(), DatabaseLock::Result::Taken);
}

void tst_DatabaseSafety::firstSaveOfTheDayMakesOneCopy() {
    Fixture f;
    QVERIFY(f.app->start());
    f.editAndSave(u"100"_s);
    QCOMPARE(f.savedReading(), u"100"_s);
    // The copy holds the file as it was before the day's first write.
    QCOMPARE(QDir(SafetyCopies::folderFor(f.dbPath())).entryList(QDir::Files),
             QStringList{SafetyCopies::fileName(f.today())});
    QCOMPARE(readFile(f.copyPath(f.today())), database(u"Абонент"_s));

    f.editAndSave(u"200"_s);
    QCOMPARE(f.savedReading(), u"200"_s);
    QCOMPARE(QDir(SafetyCopies::folderFor(f.dbPath())).entryList(QDir::Files).size(), 1);
    QCOMPARE(readFile(f.copyPath(f.today())), database(u"Абонент"_s));

    // Past midnight the next write copies the file again.
    const QByteArray lastNight = readFile(f.dbPath());
    f.platform.clock = f.platform.clock.addDays(1);
    f.editAndSave(u"300"_s);
    QCOMPARE(f.savedReading(), u"300"_s);
    QCOMPARE(readFile(f.copyPath(f.today())), lastNight);
    QCOMPARE(QDir(SafetyCopies::folderFor(f.dbPath())).entryList(QDir::Files).size(), 2);
    QVERIFY(f.platform.messages.empty());
}

void tst_DatabaseSafety::autosaveTakesTheDaysCopyToo() {
    Fixture f;
    QVERIFY(f.app->start());
    f.shortenAutosave();
    f.edit(u"150"_s);
    QTRY_COMPARE(f.savedReading(), u"150"_s);
    QCOMPARE(readFile(f.copyPath(f.today())), database(u"Абонент"_s));
}

void tst_DatabaseSafety::failedCopyWarnsOnceAndTheSaveLands() {
    Fixture f;
    // Nowhere to put the copies: "backups" is a file.
    QVERIFY(writeFile(SafetyCopies::folderFor(f.dbPath()), "not a folder"));
    QVERIFY(f.app->start());
    f.editAndSave(u"100"_s);
    QCOMPARE(f.savedReading(), u"100"_s);
    f.editAndSave(u"200"_s);
    QCOMPARE(f.savedReading(), u"200"_s);
    f.app->mainWindow()->close();
    QCOMPARE(f.savedReading(), u"200"_s);

    QCOMPARE(f.platform.messages.size(), size_t(1));
    const auto& m = f.platform.messages.front();
    QCOMPARE(m.text, u"Не удалось сохранить страховую копию базы: не удалось создать папку "_s +
                         QDir::toNativeSeparators(SafetyCopies::folderFor(f.dbPath())));
    QCOMPARE(m.icon, MsgIcon::Warning);
    QCOMPARE(readFile(SafetyCopies::folderFor(f.dbPath())), QByteArray("not a folder"));
}

void tst_DatabaseSafety::failedSaveLeavesFileAndCopies_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("full disk") << u"full"_s;
    QTest::newRow("vanished folder") << u"vanished"_s;
}

void tst_DatabaseSafety::failedSaveLeavesFileAndCopies() {
    QFETCH(QString, fault);
    Fixture f;
    f.putCopy(f.today().addDays(-1), database(u"Вчера"_s));
    SubscriberTable table;
    Database database(table, f.platform, f.dbPath());
    QCOMPARE(DatabaseFile::load(database.path(), table).status, DatabaseFile::Status::Ok);
    table.setCell(1, MonthColumn(0, 1, T1Current), u"999"_s);
    DatabaseFile::SaveFileFactory factory;
    if (fault == u"full"_s)
        factory = [](const QString& path) { return std::make_unique<FullDiskFile>(path); };
    else
        QVERIFY(QDir(f.dir.path()).removeRecursively());
    const auto before = snapshot(f.dir.path());

    QVERIFY(!database.save(factory));
    QVERIFY(snapshot(f.dir.path()) == before);
    QCOMPARE(QFileInfo::exists(f.dir.path()), fault == u"full"_s);
    // The copy that could not be made is told about once, the failed save
    // by its caller.
    QCOMPARE(f.platform.messages.size(), size_t(fault == u"full"_s ? 1 : 0));
    QVERIFY(!database.save(factory));
    QCOMPARE(f.platform.messages.size(), size_t(fault == u"full"_s ? 1 : 0));
}

void tst_DatabaseSafety::damagedFileIsRestoredFromTheNewestUsableCopy_data() {
    QTest::addColumn<QByteArray>("damage");
    QTest::addColumn<QStringList>("messages"); // before the question
    const QString shown = u"%1"_s;             // the database path
    QByteArray tooLong;
    for (int r = 1; r <= 502; ++r)
        tooLong += QByteArray(DatabaseFile::Separators, '|') + "\r\n";
    QTest::newRow("format error") << database(u"Абонент"_s) + "3|обрывок\r\n"
                                  << QStringList{u"Строка № 3   файла %1  Содержит ошибку!"_s,
                                                 u"Ошибка при открытии файла базы"_s};
    QTest::newRow("empty file") << QByteArray("")
                                << QStringList{u"ФАЙЛ БАЗЫ   %1   ПУСТОЙ!"_s,
                                               u"Ошибка при открытии файла базы"_s};
    QTest::newRow("502 lines") << tooLong << QStringList{u"Ошибка при открытии файла базы"_s};
}

void tst_DatabaseSafety::damagedFileIsRestoredFromTheNewestUsableCopy() {
    QFETCH(QByteArray, damage);
    QFETCH(QStringList, messages);
    Fixture f(damage);
    f.putCopy(QDate(2026, 12, 8), database(u"Восьмое"_s));
    f.putCopy(QDate(2026, 12, 9), database(u"Девятое"_s).left(5000)); // damaged too
    f.platform.clock = QDateTime(QDate(2026, 12, 10), QTime(9, 15, 30));
    for (int i = 0; i < messages.size(); ++i)
        f.platform.answers.push_back(MsgAnswer::Ok);
    f.platform.answers.push_back(MsgAnswer::Yes);

    QVERIFY(f.app->start());
    QStringList expected;
    for (const QString& m : messages)
        expected << m.arg(QDir::toNativeSeparators(f.dbPath()));
    const QString kept = u"Ostrevanka21.spb.damaged-20261210-091530"_s;
    expected << u"Восстановить базу из страховой копии от 08.12.2026?"_s
             << u"База восстановлена из страховой копии от 08.12.2026. Повреждённый файл "
                u"сохранён как "_s +
                    kept + u'.';
    QCOMPARE(f.texts(), expected);
    const auto& question = f.platform.messages[size_t(messages.size())];
    QCOMPARE(question.buttons, MsgButtons::YesNo);
    QCOMPARE(question.defaultButton, MsgAnswer::No);

    QCOMPARE(readFile(f.dir.filePath(kept)), damage);
    QCOMPARE(readFile(f.dbPath()), database(u"Восьмое"_s));
    MainWindow* form = f.app->mainWindow();
    QVERIFY(form && form->isVisible());
    QCOMPARE(f.app->state().table.subscriberCount(), 2);
    QCOMPARE(f.app->state().table.cell(2, ColName), u"Восьмое 2"_s);
}

void tst_DatabaseSafety::answerNoLeavesEverythingAsItWas() {
    Fixture f(database(u"Абонент"_s) + "3|обрывок\r\n");
    f.putCopy(QDate(2026, 12, 8), database(u"Восьмое"_s));
    const auto before = snapshot(f.dir.path());
    f.platform.answers = {MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::No};
    QSignalSpy finished(f.app.get(), &Application::finished);
    QVERIFY(!f.app->start());
    QCOMPARE(f.texts().back(), u"Восстановить базу из страховой копии от 08.12.2026?"_s);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toInt(), 1);
    QVERIFY(snapshot(f.dir.path()) == before);
}

void tst_DatabaseSafety::noUsableCopyEndsAsBefore() {
    Fixture f(database(u"Абонент"_s) + "3|обрывок\r\n");
    f.putCopy(QDate(2026, 12, 9), QByteArray("1|||\r\n"));
    const auto before = snapshot(f.dir.path());
    QVERIFY(!f.app->start());
    // The messages of a damaged file and nothing more.
    QCOMPARE(f.platform.messages.size(), size_t(2));
    QCOMPARE(f.texts().back(), u"Ошибка при открытии файла базы"_s);
    QVERIFY(snapshot(f.dir.path()) == before);
}

void tst_DatabaseSafety::autosaveNeverUndoesARestore_data() {
    restoreKinds();
}

void tst_DatabaseSafety::autosaveNeverUndoesARestore() {
    QFETCH(bool, version10);
    Fixture f(database(u"Абонент"_s), 400);
    QVERIFY(f.app->start());
    f.shortenAutosave();
    const QPointer<QTimer> timer1 = f.app->database().findChild<QTimer*>(u"Timer1"_s);
    const QPointer<QTimer> timer2 = f.app->database().findChild<QTimer*>(u"Timer2"_s);
    QVERIFY(timer2->isActive()); // the autosave is on
    f.edit(u"555"_s);            // a change the autosave would write

    QSignalSpy finished(f.app.get(), &Application::finished);
    const QByteArray restored = f.restore(version10);

    QCOMPARE(f.texts().back(), u"Сейчас программа закроется, запустите её заново"_s);
    QCOMPARE(f.boxes->shown, int(f.platform.messages.size()));
    QCOMPARE(finished.size(), 1);
    // Nothing left running writes either.
    QVERIFY(!timer1 || !timer1->isActive());
    QVERIFY(!timer2 || !timer2->isActive());
    QCoreApplication::processEvents();
    SubscriberTable loaded;
    QCOMPARE(DatabaseFile::load(f.dbPath(), loaded).status, DatabaseFile::Status::Ok);
    QCOMPARE(loaded.cell(2, ColName), u"Из копии 2"_s);
    QVERIFY(loaded.cell(1, MonthColumn(0, 1, T1Current)).isEmpty());
    if (!version10)
        QCOMPARE(readFile(f.dbPath()), restored);
}

void tst_DatabaseSafety::restoreKeepsTheDaysWork_data() {
    restoreKinds();
}

void tst_DatabaseSafety::restoreKeepsTheDaysWork() {
    QFETCH(bool, version10);
    Fixture f;
    QVERIFY(f.app->start());
    f.editAndSave(u"100"_s); // the morning: the day's copy is taken now
    f.platform.clock = f.platform.clock.addSecs(3 * 3600 + 7);
    f.edit(u"200"_s); // the afternoon, not saved
    f.restore(version10);
    QCOMPARE(f.texts().back(), u"Сейчас программа закроется, запустите её заново"_s);

    // The afternoon's work is in the copy kept before the restore.
    const QString kept = QDir(SafetyCopies::folderFor(f.dbPath()))
                             .filePath(u"Ostrevanka21-2026-12-10-170507-before-restore.spb"_s);
    SubscriberTable copy;
    QCOMPARE(DatabaseFile::load(kept, copy).status, DatabaseFile::Status::Ok);
    QCOMPARE(copy.cell(1, MonthColumn(0, 1, T1Current)), u"200"_s);
    QCOMPARE(copy.cell(2, ColName), u"Абонент 2"_s);
    // The day's copy is the file as it was before the morning's save.
    QCOMPARE(readFile(f.copyPath(f.today())), database(u"Абонент"_s));
    QCOMPARE(SafetyCopies::list(f.dbPath()).size(), size_t(2));
    SubscriberTable now;
    QCOMPARE(DatabaseFile::load(f.dbPath(), now).status, DatabaseFile::Status::Ok);
    QCOMPARE(now.cell(2, ColName), u"Из копии 2"_s);
}

void tst_DatabaseSafety::restoreStopsWithoutItsCopy() {
    Fixture f;
    // Nowhere to put the copy: "backups" is a file.
    QVERIFY(writeFile(SafetyCopies::folderFor(f.dbPath()), "not a folder"));
    QVERIFY(f.app->start());
    f.edit(u"200"_s);
    const QString source = f.dir.filePath(u"source.spb"_s);
    QVERIFY(writeFile(source, database(u"Из копии"_s)));
    const auto before = snapshot(f.dir.path());
    f.platform.fileNames = {source};
    f.platform.answers = {MsgAnswer::Yes};
    QSignalSpy finished(f.app.get(), &Application::finished);
    f.app->mainWindow()->findChild<QAction*>(u"Menu_Tuns_Vost"_s)->trigger();

    QCOMPARE(f.platform.messages.size(), size_t(2)); // the question, then why it stopped
    const auto& m = f.platform.messages.back();
    QCOMPARE(m.text, u"Не удалось сохранить копию текущей базы перед восстановлением: не удалось "
                     u"создать папку "_s +
                         QDir::toNativeSeparators(SafetyCopies::folderFor(f.dbPath())) +
                         u". Восстановление отменено, файл базы не изменён."_s);
    QCOMPARE(m.title, u"Ошибка копирования"_s);
    QCOMPARE(m.icon, MsgIcon::Critical);
    QVERIFY(snapshot(f.dir.path()) == before);
    // The program goes on, the typed reading with it.
    QCOMPARE(finished.size(), 0);
    QVERIFY(f.app->mainWindow()->isVisible());
    QCOMPARE(f.app->state().table.cell(1, MonthColumn(0, 1, T1Current)), u"200"_s);
}

void tst_DatabaseSafety::copyBeforeARestoreIsOfferedWithItsTime() {
    Fixture f(database(u"Абонент"_s) + "3|обрывок\r\n");
    f.putCopy(QDate(2026, 12, 10), database(u"Утро"_s));
    QVERIFY(writeFile(QDir(SafetyCopies::folderFor(f.dbPath()))
                          .filePath(SafetyCopies::beforeRestoreName(
                              QDateTime(QDate(2026, 12, 10), QTime(9, 30, 15)))),
                      database(u"До восстановления"_s)));
    f.platform.answers = {MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Yes};
    QVERIFY(f.app->start());
    const QStringList texts = f.texts();
    QCOMPARE(texts.size(), 4);
    QCOMPARE(texts[2], u"Восстановить базу из страховой копии от 10.12.2026 09:30?"_s);
    QVERIFY(texts[3].startsWith(u"База восстановлена из страховой копии от 10.12.2026 09:30. "_s));
    QCOMPARE(f.app->state().table.cell(2, ColName), u"До восстановления 2"_s);
}

void tst_DatabaseSafety::copyGivesWayOnANearlyFullDisk_data() {
    QTest::addColumn<bool>("fileGrows"); // by more than the room the copy left
    QTest::newRow("no room for the copy and the file") << false;
    QTest::newRow("the file outgrows the room the copy left") << true;
}

void tst_DatabaseSafety::copyGivesWayOnANearlyFullDisk() {
    QFETCH(bool, fileGrows);
    const QByteArray bytes = database(u"Абонент"_s, 100);
    const qint64 file = inPages(bytes.size());
    const qint64 growth = 100 * 1000;
    // Room enough for the new file beside the old, never for the copy too;
    // where the file grows, room for the copy at the old size.
    const qint64 free = fileGrows ? 2 * file + growth / 2 : file + file / 2;
    SmallDisk disk(bytes, free);
    if (!disk.mounted)
        QSKIP("a tmpfs could not be mounted (the test needs root and a kernel that lets it)");
    SubscriberTable& table = disk.table;
    ScriptedPlatform& platform = disk.platform;
    QCOMPARE(table.subscriberCount(), 100);
    const int t1 = MonthColumn(0, 1, T1Current);
    table.setCell(1, t1, u"777"_s);
    if (fileGrows)
        for (int r = 1; r <= 100; ++r)
            table.setCell(r, ColNote, QString(growth / 100, u'ж'));
    const QString folder = disk.copies();
    const QString copy = QDir(folder).filePath(SafetyCopies::fileName(platform.clock.date()));

    QVERIFY(disk.database.save());
    SubscriberTable saved;
    QCOMPARE(DatabaseFile::load(disk.database.path(), saved).status, DatabaseFile::Status::Ok);
    QCOMPARE(saved.cell(1, t1), u"777"_s);
    QCOMPARE(saved.cell(100, ColNote).size(), fileGrows ? growth / 100 : 0);
    // No copy: it was skipped, or made and taken back for the save.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
    QCOMPARE(platform.messages.size(), size_t(1));
    const QString reason = u"на диске не хватает места для копии вместе с файлом базы"_s;
    QCOMPARE(platform.messages.front().text,
             u"Не удалось сохранить страховую копию базы: "_s + reason +
                 (fileGrows ? u", копия "_s + QDir::toNativeSeparators(copy) + u" удалена"_s
                            : QString()));
    QCOMPARE(platform.messages.front().icon, MsgIcon::Warning);

    // Later saves land and say nothing more.
    table.setCell(1, t1, u"888"_s);
    QVERIFY(disk.database.save());
    QCOMPARE(DatabaseFile::load(disk.database.path(), saved).status, DatabaseFile::Status::Ok);
    QCOMPARE(saved.cell(1, t1), u"888"_s);
    QCOMPARE(platform.messages.size(), size_t(1));
}

void tst_DatabaseSafety::restoreStopsWhenItsCopyDoesNotFit() {
    const QByteArray bytes = database(u"Абонент"_s, 100);
    SmallDisk disk(bytes, bytes.size() / 2);
    if (!disk.mounted)
        QSKIP("a tmpfs could not be mounted (the test needs root and a kernel that lets it)");
    ScriptedPlatform& platform = disk.platform;
    QCOMPARE(disk.table.subscriberCount(), 100);
    disk.table.setCell(1, ColNote, u"не записано"_s);
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath(u"source.spb"_s);
    QVERIFY(writeFile(source, database(u"Из копии"_s)));

    bool asked = false;
    const Database::Restored restored = disk.database.restoreFrom(source, [&asked] {
        asked = true;
        return true;
    });
    QVERIFY(asked);
    QVERIFY(restored.declined);
    QVERIFY(!restored.ok());
    QVERIFY(!disk.database.endedByRestore());
    QCOMPARE(platform.messages.size(), size_t(1));
    const QString text = platform.messages.front().text;
    QVERIFY2(text.startsWith(u"Не удалось сохранить копию текущей базы перед восстановлением: "
                             u"не удалось записать файл "_s +
                             QDir::toNativeSeparators(disk.copies())),
             qPrintable(text));
    QVERIFY(text.endsWith(u". Восстановление отменено, файл базы не изменён."_s));
    QCOMPARE(readFile(disk.database.path()), bytes);
    QCOMPARE(QDir(disk.copies()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(tst_DatabaseSafety)
#include "tst_DatabaseSafety.moc"
