#include <algorithm>
#include <optional>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QApplication>
#include <QJsonObject>
#include <QProcess>
#include <QSpontaneKeyEvent>
#include <QWheelEvent>
#include <QWindow>

#include "storage/Database.h"
#include "storage/DatabaseFile.h"
#include "storage/DatabasePrefetch.h"
#include "core/NumberText.h"
#include "core/Settings.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"
#include "readings/MainWindow.h"
#include "readings/MonthCell.h"
#include "readings/ReadingsImportDialog.h"
#include "support/WorkbookDump.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"

using namespace Qt::StringLiterals;

namespace {

// A program folder with a database of `count` subscribers.
struct Fixture {
    QTemporaryDir dir;
    ScriptedPlatform platform;
    AppState state;
    Database database{state.table, platform, dir.filePath(u"Ostrevanka21.spb"_s)};
    std::unique_ptr<MainWindow> form;

    explicit Fixture(int count = 3) {
        if (count > 0) {
            SubscriberTable t;
            t.setSubscriberCount(count);
            for (int r = 1; r <= count; ++r) {
                t.setCell(r, ColName, u"Абонент %1"_s.arg(r));
                t.setCell(r, ColMeterType, u"Меркурий"_s);
            }
            DatabaseFile::save(database.path(), t);
        }
    }
    ~Fixture() {
        if (form)
            form->hide();
    }
    // prefetched: as the program starts, the database read on a worker.
    bool open(bool prefetched = false) {
        form = std::make_unique<MainWindow>(state, database, platform);
        std::optional<DatabasePrefetch> prefetch;
        if (prefetched)
            prefetch.emplace(database.path());
        if (!form->load(prefetch ? &*prefetch : nullptr))
            return false;
        form->show();
        form->activateWindow();
        return QTest::qWaitForWindowActive(form.get());
    }
    // January of 2017 for `row`: 2 roubles a kWh by day, no compensation.
    void priceJanuary(int row) {
        state.table.setCell(row, MonthColumn(0, 1, Tariff1), u"2"_s);
        state.table.setCell(row, MonthColumn(0, 1, CompCoef1), u"1"_s);
    }
    MonthCell* cell(int m, int s) { return form->entryCell(m, s); }
    MonthCell* result(int m, int r) { return form->resultCell(m, r); }
    QComboBox* combo(const QString& name) { return form->findChild<QComboBox*>(name); }
    QCheckBox* check(const QString& name) { return form->findChild<QCheckBox*>(name); }
    void type(MonthCell* c, const QString& text) {
        c->setFocus(Qt::MouseFocusReason);
        c->selectAll();
        QTest::keyClicks(c, text);
    }
    void enter(MonthCell* c) { QTest::keyClick(c, Qt::Key_Return); }
    QByteArray fileBytes() {
        QFile f(database.path());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    void choose(const QString& comboName, const QString& text) {
        QComboBox* c = combo(comboName);
        const int i = c->findText(text);
        c->setCurrentIndex(i);
        emit c->activated(i);
    }
};

// Every command of the window: the toolbar, the menus and the month popup,
// and a month check box. Commands added later are found here too.
QStringList commandNames(MainWindow* form) {
    QStringList names;
    for (QToolButton* b : form->findChild<QWidget*>(u"Frame1"_s)->findChildren<QToolButton*>())
        names << b->objectName();
    for (QAction* a : form->findChildren<QAction*>())
        if (!a->objectName().isEmpty() && !a->menu())
            names << a->objectName();
    names << u"ChS(5)"_s;
    return names;
}

// Runs a command as the user does: a mouse click on a button or a check box,
// a menu item's trigger.
void runCommand(MainWindow* form, const QString& name) {
    if (auto* b = form->findChild<QAbstractButton*>(name)) {
        QTest::mouseClick(b, Qt::LeftButton);
        return;
    }
    QAction* a = form->findChild<QAction*>(name);
    QVERIFY2(a, qPrintable(name));
    a->trigger();
}

// One notch of the wheel over `target` (up for a positive angle), as the
// window system hands it over: to the window under the pointer, active or not.
void wheelOver(QWidget* target, int angle) {
    QWidget* window = target->window();
    const QPoint at = target->rect().center();
    QWheelEvent wheel(QPointF(target->mapTo(window, at)), QPointF(target->mapToGlobal(at)),
                      QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    // Delivered as the window system's own (sendEvent would mark it as the
    // program's): Qt then gives the focus by the focus policy.
    QApplication::instance()->notify(window->windowHandle(), &wheel);
}

// Types a date followed by a sign the file cannot keep: leaving the cell
// warns about it, once a leaving.
void typeUnstorableDate(MonthCell* cell) {
    cell->setFocus(Qt::MouseFocusReason);
    cell->selectAll();
    QTest::keyClicks(cell, u"31.01.17 "_s);
    QTest::sendKeyEvent(QTest::Click, cell, Qt::Key_unknown, QString(QChar(0x263A)),
                        Qt::NoModifier);
}

int warningCount(const ScriptedPlatform& platform) {
    return int(std::count_if(platform.messages.begin(), platform.messages.end(),
                             [](const auto& m) { return m.title == u"Предупреждение"_s; }));
}

void closeOtherWindows(MainWindow* form) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != form && w->isWindow() && w->isVisible())
            w->close();
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void noDatabaseAnsweredYesCreatesOne();
    void newDatabaseOpensOnThisYear_data();
    void newDatabaseOpensOnThisYear();
    void emptyDirectorySaysWhereSubscribersAreAdded_data();
    void emptyDirectorySaysWhereSubscribersAreAdded();
    void noDatabaseAnsweredNoEnds();
    void loadFailures_data();
    void loadFailures();
    void databaseReplacedByAFolder();
    void failedSaveKeepsEverything();
    void firstStartDefaults();
    void yearsFollowTheClockAndTheData_data();
    void yearsFollowTheClockAndTheData();
    void startupReadGivesWhatAPlainLoadGives_data();
    void startupReadGivesWhatAPlainLoadGives();
    void storedNameOfDeletedSubscriberFallsBack();
    void roadOfOneEvent();
    void separatorRuleWhileTyping();
    void autofillAndTariffCopy();
    void navigationAtTheEnds();
    void quickCopy_data();
    void quickCopy();
    void dateFill();
    void commandsLeaveTheEditedCellFirst_data();
    void commandsLeaveTheEditedCellFirst();
    void disabledSaveDoesNothing();
    void closingLeavesTheEditedCell();
    void popupIsNotLeaving();
    void monthNamesFit();
    void hoverCaptions();
    void toolbarPictures();
    void untickedMonthLeavesTotals();
    void lowerReadingIsRedWithItsReason();
    void lowerReadingFollowsTheShownSubscriber_data();
    void lowerReadingFollowsTheShownSubscriber();
    void switchingWhileEditingKeepsTheTypedReading();
    void wheelOverASelectorOfTheInactiveWindow_data();
    void wheelOverASelectorOfTheInactiveWindow();
    void keyboardMenuLeavesTheCellOnce();
    void otherYearAndUnknownYear();
    void typedYearIsNoChoice_data();
    void typedYearIsNoChoice();
    void lookingAtALaterYearLeavesTheFile();
    void printAnsweredNoAndYes();
    void autosaveWritesOnlyAfterAChange();
    void shutdownStoresSettingsAndDatabase();
    void monthPopupRemembersTheMonth();
    void exportProposesAndWrites();
    void importWindow();
    void backup();
    void restoreRefusesAndAsks();
    void restoreReplacesAndEndsWithoutWriting_data();
    void restoreReplacesAndEndsWithoutWriting();
};

void tst_MainWindow::init() {
    // Every test starts with no stored settings.
    Settings s(u"ostrevanka"_s);
    QFile::remove(s.fileName());
}

void tst_MainWindow::noDatabaseAnsweredYesCreatesOne() {
    Fixture f(0);
    f.platform.answers = {MsgAnswer::Yes};
    QVERIFY(f.open());
    QCOMPARE(f.platform.messages.size(), size_t(1));
    const auto& m = f.platform.messages[0];
    QCOMPARE(m.text, u"Файл базы Ostrevanka21.spb не найден, хотите создать новый?"_s);
    QCOMPARE(m.title, u"Создать новый файл бызы?"_s);
    QCOMPARE(m.icon, MsgIcon::Warning);
    QCOMPARE(m.buttons, MsgButtons::YesNo);
    QCOMPARE(f.fileBytes(), QByteArray(2513, '|') + "\r\n");
    QCOMPARE(f.state.table.subscriberCount(), 1);
    QCOMPARE(f.state.table.cell(1, ColRowNumber), u"1"_s);
    // December 2026 on the clock.
    QCOMPARE(f.combo(u"Cmb1(1)"_s)->currentText(), u"2026"_s);
}

void tst_MainWindow::newDatabaseOpensOnThisYear_data() {
    QTest::addColumn<int>("clockYear");
    QTest::addColumn<QString>("storedYear"); // left by an earlier database
    QTest::addColumn<QString>("shown");
    QTest::newRow("nothing stored") << 2026 << QString() << u"2026"_s;
    QTest::newRow("an earlier base's year") << 2026 << u"2019"_s << u"2026"_s;
    QTest::newRow("past the first eight years") << 2031 << u"2017"_s << u"2031"_s;
    QTest::newRow("clock before the first year") << 2015 << QString() << u"2017"_s;
}

// Nothing lies in the past years of a base made now; and once it exists the
// year shown last is kept as for any base.
void tst_MainWindow::newDatabaseOpensOnThisYear() {
    QFETCH(int, clockYear);
    QFETCH(QString, storedYear);
    QFETCH(QString, shown);
    Fixture f(0);
    f.platform.clock.setDate(QDate(clockYear, 3, 15));
    if (!storedYear.isEmpty())
        f.platform.settings().setText(u"Nastr"_s, u"Cmb1"_s, storedYear);
    f.platform.answers = {MsgAnswer::Yes};
    QVERIFY(f.open());
    QVERIFY(QFile::exists(f.database.path()));
    QCOMPARE(f.combo(u"Cmb1(1)"_s)->currentText(), shown);
    QCOMPARE(f.form->shown().yearText, shown);

    f.form->hide();
    f.platform.settings().setText(u"Nastr"_s, u"Cmb1"_s, u"2020"_s);
    QVERIFY(f.open());
    QCOMPARE(f.platform.messages.size(), size_t(1)); // asked once, at the first start
    QCOMPARE(f.combo(u"Cmb1(1)"_s)->currentText(), u"2020"_s);
}

void tst_MainWindow::emptyDirectorySaysWhereSubscribersAreAdded_data() {
    QTest::addColumn<int>("count"); // 0: the base is made at start
    QTest::addColumn<QString>("name1");
    QTest::addColumn<bool>("hinted");
    QTest::newRow("a base made now") << 0 << QString() << true;
    QTest::newRow("rows without names") << 3 << u""_s << true;
    QTest::newRow("names") << 3 << u"Абонент 1"_s << false;
    QTest::newRow("one name, row 1 blank") << 3 << u" "_s << false;
}

void tst_MainWindow::emptyDirectorySaysWhereSubscribersAreAdded() {
    QFETCH(int, count);
    QFETCH(QString, name1);
    QFETCH(bool, hinted);
    Fixture f(count);
    if (count) {
        SubscriberTable t;
        QCOMPARE(DatabaseFile::load(f.database.path(), t).status, DatabaseFile::Status::Ok);
        for (int r = 1; r <= count; ++r)
            t.setCell(r, ColName, r == 1 || name1.isEmpty() ? name1 : u"Абонент %1"_s.arg(r));
        QVERIFY(DatabaseFile::save(f.database.path(), t));
    }
    f.platform.answers = {MsgAnswer::Yes};
    QVERIFY(f.open());
    auto* hint = f.form->findChild<QLabel*>(u"lblNoSubscribers"_s);
    QVERIFY(hint);
    QCOMPARE(hint->isVisible(), hinted);
    if (!hinted)
        return;
    QCOMPARE(hint->text(), u"Абонентов пока нет: добавьте их в справочнике (кнопка «Справочник» "
                           u"или меню «Справочник» → «Абоненты»)."_s);
    // The captions it names are the window's own.
    QCOMPARE(f.form->findChild<QLabel*>(u"Label1(2)"_s)->text(), u"Справочник"_s);
    QCOMPARE(f.form->findChild<QMenu*>(u"Mnu_Spr"_s)->title(), u"Справочник"_s);
    QCOMPARE(f.form->findChild<QAction*>(u"Mnu_Abonenty"_s)->text(), u"Абоненты"_s);
    // One line, wholly inside the window, over nothing else.
    QVERIFY(hint->fontMetrics().horizontalAdvance(hint->text()) <= hint->width());
    QVERIFY(f.form->centralWidget()->rect().contains(hint->geometry()));
    for (QWidget* w : f.form->centralWidget()->findChildren<QWidget*>())
        if (w != hint && w->isVisible() && w->parentWidget() == f.form->centralWidget())
            QVERIFY2(!w->geometry().intersects(hint->geometry()),
                     qPrintable(w->objectName() + w->property("text").toString()));
}

void tst_MainWindow::noDatabaseAnsweredNoEnds() {
    Fixture f(0);
    f.platform.answers = {MsgAnswer::No};
    QVERIFY(!f.open());
    QVERIFY(!QFile::exists(f.database.path()));
}

void tst_MainWindow::loadFailures_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("firstText"); // %1 = the full path
    QTest::addColumn<QString>("firstTitle");
    QTest::newRow("empty") << QByteArray() << u"ФАЙЛ БАЗЫ   %1   ПУСТОЙ!"_s << u"Ошибка загрузки"_s;
    QTest::newRow("line 2 short") << (QByteArray(2513, '|') + "\r\n" + QByteArray(2512, '|') +
                                      "\r\n")
                                  << u"Строка № 2   файла %1  Содержит ошибку!"_s
                                  << u"Ошибка формата файла"_s;
    QByteArray many;
    for (int i = 0; i < 502; ++i)
        many += QByteArray(2513, '|') + "\r\n";
    QTest::newRow("502 lines") << many << QString() << QString();
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 37) % 251);
    QTest::newRow("binary") << binary << u"Строка № 1   файла %1  Содержит ошибку!"_s
                            << u"Ошибка формата файла"_s;
}

void tst_MainWindow::loadFailures() {
    QFETCH(QByteArray, content);
    QFETCH(QString, firstText);
    QFETCH(QString, firstTitle);
    Fixture f(0);
    QFile file(f.database.path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QVERIFY(!f.open());
    const auto& msgs = f.platform.messages;
    QCOMPARE(msgs.back().text, u"Ошибка при открытии файла базы"_s);
    QCOMPARE(msgs.back().icon, MsgIcon::None);
    QCOMPARE(msgs.back().buttons, MsgButtons::Ok);
    if (firstText.isEmpty()) {
        QCOMPARE(msgs.size(), size_t(1));
    } else {
        QCOMPARE(msgs.size(), size_t(2));
        QCOMPARE(msgs[0].text, firstText.arg(QDir::toNativeSeparators(f.database.path())));
        QCOMPARE(msgs[0].title, firstTitle);
    }
}

void tst_MainWindow::databaseReplacedByAFolder() {
    Fixture f(0);
    QVERIFY(QDir().mkpath(f.database.path()));
    QVERIFY(!f.open());
    QCOMPARE(f.platform.messages.size(), size_t(1));
    QCOMPARE(f.platform.messages[0].text, u"Ошибка при открытии файла базы"_s);
    QVERIFY(QFileInfo(f.database.path()).isDir());
}

void tst_MainWindow::failedSaveKeepsEverything() {
    Fixture f;
    QVERIFY(f.open());
    f.type(f.cell(1, 1), u"777"_s);
    f.enter(f.cell(1, 1));
    // The folder is gone: the save fails, says so and keeps the table.
    const QString moved = f.dir.path() + u"-moved"_s;
    QVERIFY(QDir().rename(f.dir.path(), moved));
    runCommand(f.form.get(), u"Cmd6"_s);
    QCOMPARE(f.platform.messages.size(), size_t(1));
    QCOMPARE(f.platform.messages.back().text, u"Ошибка сохранения"_s);
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 1, T1Current)), u"777"_s);
    // Back in place, the next save writes it.
    QVERIFY(QDir().rename(moved, f.dir.path()));
    runCommand(f.form.get(), u"Cmd6"_s);
    QVERIFY(f.fileBytes().contains("|777|"));
    QCOMPARE(f.platform.messages.size(), size_t(1));
}

void tst_MainWindow::firstStartDefaults() {
    Fixture f;
    QVERIFY(f.open());
    QCOMPARE(f.combo(u"Cmb1(0)"_s)->currentText(), u"Абонент 1"_s);
    QCOMPARE(f.combo(u"Cmb1(1)"_s)->currentText(), u"2017"_s);
    // December 2026 on the clock: 2017 up to next year.
    QCOMPARE(f.combo(u"Cmb1(1)"_s)->count(), 11);
    QCOMPARE(f.combo(u"Cmb1(1)"_s)->itemText(10), u"2027"_s);
    QVERIFY(!f.check(u"Ch1"_s)->isChecked());
    QVERIFY(!f.check(u"Ch2"_s)->isChecked());
    QVERIFY(f.database.autosave());
    QVERIFY(f.database.findChild<QTimer*>(u"Timer2"_s)->isActive());
    QVERIFY(!f.database.findChild<QTimer*>(u"Timer1"_s)->isActive());
    QVERIFY(!f.form->findChild<QToolButton*>(u"Cmd6"_s)->isEnabled());
    // &HE6FBB5 and &HFFFF00 are blue-green-red numbers.
    QCOMPARE(f.cell(1, 1)->palette().color(QPalette::Base), QColor(0xB5, 0xFB, 0xE6));
    QCOMPARE(f.cell(2, 1)->palette().color(QPalette::Base), QColor(0x00, 0xFF, 0xFF));
    QCOMPARE(f.form->findChild<QLabel*>(u"LbSch"_s)->text(), u"Меркурий"_s);
    QCOMPARE(f.form->centralWidget()->size(), QSize(985, 528));
    for (int m = 0; m < 12; ++m)
        QVERIFY(f.check(u"ChS(%1)"_s.arg(m))->isChecked());
}

void tst_MainWindow::yearsFollowTheClockAndTheData_data() {
    QTest::addColumn<int>("clockYear");
    QTest::addColumn<int>("dataYear"); // 0: nothing after 2024
    QTest::addColumn<QString>("storedYear");
    QTest::addColumn<QString>("lastOffered");
    QTest::addColumn<QString>("shown");
    QTest::newRow("2026, stored 2027") << 2026 << 0 << u"2027"_s << u"2027"_s << u"2027"_s;
    QTest::newRow("stored past the offered years")
        << 2026 << 0 << u"2028"_s << u"2027"_s << u"2017"_s;
    QTest::newRow("stored nonsense") << 2026 << 0 << u"abc"_s << u"2027"_s << u"2017"_s;
    QTest::newRow("data in 2031") << 2026 << 2031 << u"2031"_s << u"2031"_s << u"2031"_s;
    QTest::newRow("clock in 2021") << 2021 << 0 << u"2024"_s << u"2024"_s << u"2024"_s;
}

// The year list runs to the later of next year and the last year holding
// data; a remembered year outside it falls back to 2017.
void tst_MainWindow::yearsFollowTheClockAndTheData() {
    QFETCH(int, clockYear);
    QFETCH(int, dataYear);
    QFETCH(QString, storedYear);
    QFETCH(QString, lastOffered);
    QFETCH(QString, shown);
    Fixture f;
    if (dataYear) {
        SubscriberTable t;
        DatabaseFile::load(f.database.path(), t);
        t.setCell(2, MonthColumn(dataYear - 2017, 3, T1Current), u"4321"_s);
        QVERIFY(DatabaseFile::save(f.database.path(), t));
    }
    f.platform.clock.setDate(QDate(clockYear, 6, 1));
    f.platform.settings().setText(u"Nastr"_s, u"Cmb1"_s, storedYear);
    QVERIFY(f.open());
    QComboBox* year = f.combo(u"Cmb1(1)"_s);
    QCOMPARE(year->itemText(year->count() - 1), lastOffered);
    QCOMPARE(year->currentText(), shown);
    if (dataYear) {
        f.choose(u"Cmb1(0)"_s, u"Абонент 2"_s);
        QCOMPARE(f.cell(3, T1Current)->text(), u"4321"_s);
    }
}

void tst_MainWindow::startupReadGivesWhatAPlainLoadGives_data() {
    QTest::addColumn<QString>("storedYear");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a stored year") << u"2019"_s << u"2019"_s;
    QTest::newRow("a later year") << u"2027"_s << u"2027"_s;
    QTest::newRow("past the offered years") << u"2028"_s << u"2017"_s;
    QTest::newRow("nothing stored") << QString() << u"2017"_s;
}

// The charges found by the start-up read stand for a full computation: the
// table and the shown results are the same whether the guess of the year
// held or not.
void tst_MainWindow::startupReadGivesWhatAPlainLoadGives() {
    QFETCH(QString, storedYear);
    QFETCH(QString, shown);
    QByteArray bytes;
    {
        SubscriberTable t;
        t.setSubscriberCount(3);
        for (int r = 1; r <= 3; ++r) {
            t.setCell(r, ColName, u"Абонент %1"_s.arg(r));
            for (const int y : {0, 2, 10})
                for (int m = 1; m <= 12; ++m) {
                    t.setCell(r, MonthColumn(y, m, T1Current), QString::number(100 + r * m));
                    t.setCell(r, MonthColumn(y, m, Tariff1), u"2,5"_s);
                    t.setCell(r, MonthColumn(y, m, CompCoef1), u"1"_s);
                    // Some charges stored right, some stale, some missing.
                    if (r == 1)
                        t.setCell(r, MonthColumn(y, m, ChargeWithComp),
                                  PlainNumber((100 + r * m) * 2.5));
                    else if (r == 2)
                        t.setCell(r, MonthColumn(y, m, ChargeWithComp), u"1"_s);
                }
        }
        bytes = DatabaseFile::serialize(t);
    }
    QByteArray tables[2];
    QStringList results[2];
    for (const bool prefetched : {false, true}) {
        Fixture f(0);
        QVERIFY(writeFile(f.database.path(), bytes));
        f.platform.clock.setDate(QDate(2026, 6, 1));
        f.platform.settings().setText(u"Nastr"_s, u"Cmb0"_s, u"Абонент 2"_s);
        f.platform.settings().setText(u"Nastr"_s, u"Cmb1"_s, storedYear);
        QVERIFY(f.open(prefetched));
        QCOMPARE(f.combo(u"Cmb1(1)"_s)->currentText(), shown);
        tables[prefetched] = DatabaseFile::serialize(f.state.table);
        for (int m = 1; m <= 13; ++m)
            for (int r = 0; r < 5; ++r)
                results[prefetched] << f.result(m, r)->text();
    }
    QCOMPARE(tables[true], tables[false]);
    QCOMPARE(results[true], results[false]);
    QVERIFY(tables[false] != bytes);          // the stale charges were put right
    QCOMPARE(results[false][4], u"255,00"_s); // January, with compensation
}

void tst_MainWindow::storedNameOfDeletedSubscriberFallsBack() {
    Fixture f;
    f.platform.settings().setText(u"Nastr"_s, u"Cmb0"_s, u"Удалённый Д. Д."_s);
    f.platform.settings().setText(u"Nastr"_s, u"Cmb1"_s, u"2019"_s);
    f.platform.settings().setText(u"Nastr"_s, u"Color1"_s, QString());
    QVERIFY(f.open());
    QCOMPARE(f.combo(u"Cmb1(0)"_s)->currentText(), u"Абонент 1"_s);
    QCOMPARE(f.combo(u"Cmb1(1)"_s)->currentText(), u"2019"_s);
    QCOMPARE(f.state.cellColors[0], 12648384); // the empty colour's second default
}

void tst_MainWindow::roadOfOneEvent() {
    Fixture f;
    f.platform.settings().setText(u"Nastr"_s, u"Form1.Ch1"_s, u"1"_s);
    QVERIFY(f.open());
    f.state.table.setCell(2, MonthColumn(0, 1, T1Current), u"300"_s);
    f.state.table.setCell(2, MonthColumn(0, 1, Tariff1), u"2"_s);
    f.state.table.setCell(2, MonthColumn(0, 1, CompCoef1), u"1"_s);
    f.type(f.cell(1, 5), u"3.22"_s);
    f.type(f.cell(1, 7), u"1"_s);
    f.type(f.cell(1, 2), u"10500"_s);
    f.type(f.cell(1, 1), u"10625"_s);
    f.enter(f.cell(1, 1));
    QVERIFY(f.cell(2, 1)->hasFocus());
    QCOMPARE(f.cell(2, 2)->text(), u"10625"_s);
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 1, T1Current)), u"10625"_s);
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 2, T1Previous)), u"10625"_s);
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 1, ChargeWithComp)), u"402,5"_s);
    QCOMPARE(f.state.table.cell(2, MonthColumn(0, 1, ChargeWithComp)), u"600"_s);
    QCOMPARE(f.state.table.cell(3, MonthColumn(0, 1, ChargeWithComp)), u"0"_s);
    QCOMPARE(f.result(1, 0)->text(), u"125"_s);
    QCOMPARE(f.result(1, 2)->text(), u"402,50"_s);
    QCOMPARE(f.result(1, 4)->text(), u"402,50"_s);
    QCOMPARE(f.result(13, 4)->text(), u"402,50"_s);
    QVERIFY(f.form->findChild<QToolButton*>(u"Cmd6"_s)->isEnabled());
    QVERIFY(f.database.isChanged());
    // The cell left gets its month colour back; the focused one the focus colour.
    QCOMPARE(f.cell(1, 1)->palette().color(QPalette::Base), QColor(0xB5, 0xFB, 0xE6));
    QCOMPARE(f.cell(2, 1)->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x00));
}

void tst_MainWindow::separatorRuleWhileTyping() {
    Fixture f;
    QVERIFY(f.open());
    f.type(f.cell(4, 5), u"3.22"_s);
    QCOMPARE(f.cell(4, 5)->text(), u"3,22"_s);
    QCOMPARE(f.cell(4, 5)->cursorPosition(), 4);
    f.type(f.cell(4, 0), u"31,01,17"_s);
    QCOMPARE(f.cell(4, 0)->text(), u"31.01.17"_s);
    f.type(f.cell(4, 1), u"12|34"_s);
    QCOMPARE(f.cell(4, 1)->text(), u"1234"_s);
    f.enter(f.cell(4, 1));
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 4, ReadingDate)), u"31.01.17"_s);
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 4, Tariff1)), u"3,22"_s);
}

void tst_MainWindow::autofillAndTariffCopy() {
    Fixture f;
    f.platform.settings().setText(u"Nastr"_s, u"Form1.Ch1"_s, u"1"_s);
    f.platform.settings().setText(u"Nastr"_s, u"Form1.Ch2"_s, u"1"_s);
    QVERIFY(f.open());
    // A filled previous reading stays.
    f.cell(4, 4)->setText(u"777"_s);
    f.type(f.cell(3, 3), u"900"_s);
    f.enter(f.cell(3, 3));
    QCOMPARE(f.cell(4, 4)->text(), u"777"_s);
    // December fills nothing.
    f.type(f.cell(12, 1), u"5000"_s);
    f.cell(11, 1)->setFocus();
    for (int m = 1; m <= 11; ++m)
        QVERIFY(f.cell(m, 2)->text().isEmpty());
    // January's tariff goes to the empty tariffs of the other months only.
    f.cell(6, 5)->setText(u"9,99"_s);
    f.type(f.cell(1, 5), u"3,22"_s);
    f.enter(f.cell(1, 5));
    for (int m = 2; m <= 12; ++m)
        QCOMPARE(f.cell(m, 5)->text(), m == 6 ? u"9,99"_s : u"3,22"_s);
    QVERIFY(f.cell(3, 6)->text().isEmpty());
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 12, Tariff1)), u"3,22"_s);
    // February's tariff copies nothing.
    f.type(f.cell(2, 6), u"1,5"_s);
    f.enter(f.cell(2, 6));
    QVERIFY(f.cell(3, 6)->text().isEmpty());
}

void tst_MainWindow::navigationAtTheEnds() {
    Fixture f;
    QVERIFY(f.open());
    f.cell(1, 3)->setFocus();
    QTest::keyClick(f.cell(1, 3), Qt::Key_Up);
    QVERIFY(f.cell(1, 3)->hasFocus());
    QTest::keyClick(f.cell(1, 3), Qt::Key_Down);
    QVERIFY(f.cell(2, 3)->hasFocus());
    QTest::keyClick(f.cell(2, 3), Qt::Key_Up);
    QVERIFY(f.cell(1, 3)->hasFocus());
    f.cell(12, 8)->setFocus();
    QTest::keyClick(f.cell(12, 8), Qt::Key_Enter);
    QVERIFY(f.cell(12, 8)->hasFocus());
    QVERIFY(f.cell(12, 8)->text().isEmpty()); // Enter typed no character
    // Tab runs through a month's cells, then into the next month.
    f.cell(1, 8)->setFocus();
    QTest::keyClick(f.cell(1, 8), Qt::Key_Tab);
    QVERIFY(f.cell(2, 0)->hasFocus());
}

void tst_MainWindow::quickCopy_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("copied");
    QTest::newRow("coefficient, yes") << 7 << MsgAnswer::Yes << true << true;
    QTest::newRow("coefficient, no") << 8 << MsgAnswer::No << true << false;
    QTest::newRow("date, yes") << 0 << MsgAnswer::Yes << true << true;
    QTest::newRow("reading: nothing") << 2 << MsgAnswer::Yes << false << false;
}

void tst_MainWindow::quickCopy() {
    QFETCH(int, slot);
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, asked);
    QFETCH(bool, copied);
    Fixture f;
    QVERIFY(f.open());
    f.platform.answers = {answer};
    f.cell(3, slot)->setText(u"1,05"_s);
    const QString shown = f.cell(3, slot)->text(); // a date cell shows 1.05
    QTest::mouseClick(f.cell(3, slot), Qt::MiddleButton);
    QCOMPARE(f.platform.messages.size(), size_t(asked ? 1 : 0));
    if (asked) {
        QCOMPARE(f.platform.messages[0].text,
                 u"Копировать содержимое этой ячейки: "_s + shown + u" для всех абонентов? "_s);
        QCOMPARE(f.platform.messages[0].title, u"Быстрое копирование."_s);
        // It overwrites a cell of every subscriber: No unless the user says Yes.
        QCOMPARE(f.platform.messages[0].defaultButton, MsgAnswer::No);
    }
    for (int r = 2; r <= 3; ++r)
        QCOMPARE(f.state.table.cell(r, MonthColumn(0, 3, slot)), copied ? shown : QString());
}

void tst_MainWindow::dateFill() {
    Fixture f;
    QVERIFY(f.open());
    f.choose(u"Cmb1(1)"_s, u"2020"_s);
    runCommand(f.form.get(), u"Menu_Tools_Date"_s);
    QVERIFY(f.platform.messages.empty());
    QCOMPARE(f.cell(2, 0)->text(), u"29.02.20"_s);
    QCOMPARE(f.state.table.cell(1, MonthColumn(3, 12, ReadingDate)), u"31.12.20"_s);
    // Filled dates: asked, No keeps them, Yes replaces all.
    f.cell(5, 0)->setText(u"15.05.20"_s);
    f.choose(u"Cmb1(1)"_s, u"2021"_s);
    f.cell(1, 0)->setText(u"01.01.21"_s);
    f.platform.answers = {MsgAnswer::No};
    runCommand(f.form.get(), u"Menu_Tools_Date"_s);
    QCOMPARE(f.platform.messages.size(), size_t(1));
    QCOMPARE(f.platform.messages[0].title, u"Подтвердите заполнение дат."_s);
    QCOMPARE(f.platform.messages[0].defaultButton, MsgAnswer::No);
    QCOMPARE(f.cell(1, 0)->text(), u"01.01.21"_s);
    QVERIFY(f.cell(2, 0)->text().isEmpty());
    f.platform.answers = {MsgAnswer::Yes};
    runCommand(f.form.get(), u"Menu_Tools_Date"_s);
    QCOMPARE(f.cell(1, 0)->text(), u"31.01.21"_s);
    QCOMPARE(f.cell(2, 0)->text(), u"28.02.21"_s);
}

void tst_MainWindow::commandsLeaveTheEditedCellFirst_data() {
    QTest::addColumn<QString>("command");
    Fixture f;
    QVERIFY(f.open());
    for (const QString& name : commandNames(f.form.get()))
        QTest::newRow(qPrintable(name)) << name;
}

void tst_MainWindow::commandsLeaveTheEditedCellFirst() {
    QFETCH(QString, command);
    Fixture f;
    QVERIFY(f.open());
    const int t1 = MonthColumn(0, 1, T1Current);
    const int charge = MonthColumn(0, 1, ChargeWithComp);
    f.state.table.setCell(1, MonthColumn(0, 1, T1Previous), u"10000"_s);
    f.state.table.setCell(1, t1, u"10100"_s);
    f.state.table.setCell(1, MonthColumn(0, 1, Tariff1), u"2"_s);
    f.state.table.setCell(1, MonthColumn(0, 1, CompCoef1), u"1"_s);
    f.choose(u"Cmb1(1)"_s, u"2017"_s); // shows and stores: the save button is enabled
    QCOMPARE(f.state.table.cell(1, charge), u"200"_s);
    const QByteArray before = f.fileBytes();

    // A new reading typed, the cell not left: the table has the old one yet.
    f.type(f.cell(1, 1), u"10250"_s);
    QCOMPARE(f.state.table.cell(1, t1), u"10100"_s);
    f.platform.answers = {MsgAnswer::No}; // a question of the command itself
    runCommand(f.form.get(), command);
    QCOMPARE(f.state.table.cell(1, t1), u"10250"_s);
    QCOMPARE(f.state.table.cell(1, charge), u"500"_s);
    QCOMPARE(f.result(1, 0)->text(), u"250"_s);
    QCOMPARE(f.result(1, 4)->text(), u"500,00"_s);
    // Whatever writes the file writes the new charge.
    const bool writes = command == u"Cmd6"_s || command == u"Cmd2"_s;
    QCOMPARE(f.fileBytes() != before, writes);
    if (writes) {
        SubscriberTable file;
        QCOMPARE(DatabaseFile::load(f.database.path(), file).status, DatabaseFile::Status::Ok);
        QCOMPARE(file.cell(1, charge), u"500"_s);
    }
    closeOtherWindows(f.form.get());

    // Exactly once: a text the file cannot keep is warned about once.
    f.platform.messages.clear();
    f.platform.answers = {MsgAnswer::Ok, MsgAnswer::No};
    f.cell(1, 0)->setFocus();
    f.cell(1, 0)->setText(u"31.01.17 ☺"_s);
    runCommand(f.form.get(), command);
    const int warnings =
        int(std::count_if(f.platform.messages.begin(), f.platform.messages.end(),
                          [](const auto& m) { return m.title == u"Предупреждение"_s; }));
    QCOMPARE(warnings, 1);
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 1, ReadingDate)), u"31.01.17 ☺"_s);
    closeOtherWindows(f.form.get());
}

void tst_MainWindow::disabledSaveDoesNothing() {
    Fixture f;
    QVERIFY(f.open());
    auto* save = f.form->findChild<QToolButton*>(u"Cmd6"_s);
    QVERIFY(!save->isEnabled());
    const QByteArray before = f.fileBytes();
    f.type(f.cell(1, 1), u"10250"_s);
    QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY(f.cell(1, 1)->hasFocus());
    QVERIFY(f.state.table.cell(1, MonthColumn(0, 1, T1Current)).isEmpty());
    QVERIFY(!save->isEnabled());
    QCOMPARE(f.fileBytes(), before);
}

void tst_MainWindow::closingLeavesTheEditedCell() {
    Fixture f;
    QVERIFY(f.open());
    f.state.table.setCell(1, MonthColumn(0, 1, Tariff1), u"2"_s);
    f.state.table.setCell(1, MonthColumn(0, 1, CompCoef1), u"1"_s);
    f.choose(u"Cmb1(1)"_s, u"2017"_s);
    f.type(f.cell(1, 1), u"250"_s);
    f.form->close();
    SubscriberTable file;
    QCOMPARE(DatabaseFile::load(f.database.path(), file).status, DatabaseFile::Status::Ok);
    QCOMPARE(file.cell(1, MonthColumn(0, 1, T1Current)), u"250"_s);
    QCOMPARE(file.cell(1, MonthColumn(0, 1, ChargeWithComp)), u"500"_s);
}

void tst_MainWindow::popupIsNotLeaving() {
    Fixture f;
    QVERIFY(f.open());
    const int t1 = MonthColumn(0, 1, T1Current);
    f.type(f.cell(1, 1), u"10250"_s);
    QMenu* popup = f.form->monthPopup();
    popup->popup(f.form->mapToGlobal(QPoint(30, 250)));
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QVERIFY(f.state.table.cell(1, t1).isEmpty());
    QTest::keyClick(popup, Qt::Key_Escape);
    QTRY_VERIFY(!popup->isVisible());
    QVERIFY(f.state.table.cell(1, t1).isEmpty());
    QCOMPARE(MonthCell::of(f.form->focusWidget()), f.cell(1, 1));
    // Its command leaves the cell first.
    popup->findChild<QAction*>(u"Vedomost"_s)->trigger();
    QCOMPARE(f.state.table.cell(1, t1), u"10250"_s);
}

void tst_MainWindow::monthNamesFit() {
    Fixture f;
    QVERIFY(f.open());
    for (int m = 1; m <= 12; ++m) {
        auto* label = f.form->findChild<QLabel*>(u"lbl2(%1)"_s.arg(100 + m));
        QVERIFY(label);
        // The name under the mouse turns bold and stays bold as the mouse moves on it.
        QTest::mouseMove(label);
        QTest::mouseMove(label, QPoint(5, 5));
        QVERIFY(label->font().bold());
        QFont font = label->font();
        for (bool bold : {false, true}) {
            font.setBold(bold);
            const int needed = QFontMetrics(font).horizontalAdvance(label->text());
            QVERIFY2(needed <= label->contentsRect().width(),
                     qPrintable(u"%1: %2 of %3 pixels"_s.arg(label->text())
                                    .arg(needed)
                                    .arg(label->contentsRect().width())));
        }
    }
}

void tst_MainWindow::hoverCaptions() {
    Fixture f;
    QVERIFY(f.open());
    auto* save = f.form->findChild<QToolButton*>(u"Cmd6"_s);
    auto* caption = f.form->findChild<QLabel*>(u"Label1(0)"_s);
    QTest::mouseMove(save);
    QTest::mouseMove(save, QPoint(4, 4));
    QVERIFY(caption->isVisible());
    QCOMPARE(caption->text(), u"Сохранить "_s);
    // Off the buttons, onto the bar's background: hidden.
    QWidget* bar = f.form->findChild<QWidget*>(u"Frame1"_s);
    QTest::mouseMove(bar, QPoint(bar->width() - 5, 5));
    QVERIFY(!caption->isVisible());
    // Off a month name, onto the window's background: back to normal weight.
    auto* march = f.form->findChild<QLabel*>(u"lbl2(103)"_s);
    QTest::mouseMove(march);
    QVERIFY(march->font().bold());
    QTest::mouseMove(f.form->centralWidget(), QPoint(5, 80));
    QVERIFY(!march->font().bold());
}

void tst_MainWindow::toolbarPictures() {
    Fixture f;
    QVERIFY(f.open());
    const auto buttons = f.form->findChild<QWidget*>(u"Frame1"_s)->findChildren<QToolButton*>();
    QCOMPARE(buttons.size(), 8);
    QSet<QByteArray> seen;
    for (QToolButton* b : buttons) {
        // Built into the program: a missing picture would leave a blank button.
        for (const int size : {24, 48}) {
            const QImage image = b->icon().pixmap(QSize(size, size), 1.0).toImage();
            QVERIFY2(image.size() == QSize(size, size), qPrintable(b->objectName()));
            int opaque = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 128;
            QVERIFY2(opaque > size * size / 5, qPrintable(b->objectName()));
        }
        const QImage small = b->icon().pixmap(QSize(24, 24), 1.0).toImage();
        seen.insert(
            QByteArray(reinterpret_cast<const char*>(small.constBits()), small.sizeInBytes()));
    }
    QCOMPARE(seen.size(), 8); // each button its own picture
}

void tst_MainWindow::untickedMonthLeavesTotals() {
    Fixture f;
    QVERIFY(f.open());
    for (int m : {1, 3}) {
        for (const auto& [slot, text] : {std::pair{1, u"100"_s}, {5, u"2"_s}, {7, u"1"_s}}) {
            f.type(f.cell(m, slot), text);
            f.enter(f.cell(m, slot));
        }
    }
    QCOMPARE(f.result(13, 4)->text(), u"400,00"_s);
    f.check(u"ChS(2)"_s)->click();
    QVERIFY(f.result(3, 0)->text().isEmpty());
    QVERIFY(f.result(3, 4)->text().isEmpty());
    QCOMPARE(f.result(13, 4)->text(), u"200,00"_s);
    QCOMPARE(f.result(13, 0)->text(), u"100"_s);
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 3, ChargeWithComp)), u"200"_s);
}

void tst_MainWindow::otherYearAndUnknownYear() {
    Fixture f;
    f.state.table.setSubscriberCount(0);
    QVERIFY(f.open());
    f.state.table.setCell(2, MonthColumn(7, 1, T1Current), u"42"_s);
    f.choose(u"Cmb1(0)"_s, u"Абонент 2"_s);
    f.choose(u"Cmb1(1)"_s, u"2024"_s);
    QCOMPARE(f.cell(1, 1)->text(), u"42"_s);
    QCOMPARE(f.form->shown().row, 2);
    // A year outside the list shows empty cells and stores nothing.
    QLineEdit* year = f.combo(u"Cmb1(1)"_s)->lineEdit();
    year->setFocus(Qt::MouseFocusReason);
    year->selectAll();
    QTest::keyClicks(year, u"2030"_s);
    f.choose(u"Cmb1(0)"_s, u"Абонент 2"_s); // refills the sheet
    QCOMPARE(f.combo(u"Cmb1(1)"_s)->currentText(), u"2030"_s);
    QVERIFY(f.cell(1, 1)->text().isEmpty());
    f.type(f.cell(1, 1), u"99"_s);
    f.enter(f.cell(1, 1));
    QCOMPARE(f.state.table.cell(2, MonthColumn(7, 1, T1Current)), u"42"_s);
}

void tst_MainWindow::typedYearIsNoChoice_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("save") << u"Cmd6"_s;
    QTest::newRow("date fill") << u"Menu_Tools_Date"_s;
    QTest::newRow("month tick") << u"ChS(5)"_s;
    QTest::newRow("export") << u"Command6"_s;
}

// A year typed into the selector without Enter is no choice: the cells still
// belong to the year shown, and a command stores and names that one.
void tst_MainWindow::typedYearIsNoChoice() {
    QFETCH(QString, command);
    Fixture f;
    QVERIFY(f.open());
    f.choose(u"Cmb1(1)"_s, u"2019"_s);
    f.type(f.cell(1, T1Current), u"123"_s);
    QComboBox* year = f.combo(u"Cmb1(1)"_s);
    QTest::mouseClick(year->lineEdit(), Qt::LeftButton); // leaves the cell
    year->lineEdit()->selectAll();
    QTest::keyClicks(year->lineEdit(), u"2020"_s);
    QCOMPARE(year->currentText(), u"2020"_s);
    f.platform.fileNames = {QString()}; // the export cancelled

    runCommand(f.form.get(), command);
    const int y2019 = *YearIndex(u"2019"_s);
    const int y2020 = *YearIndex(u"2020"_s);
    QCOMPARE(f.state.table.cell(1, MonthColumn(y2019, 1, T1Current)), u"123"_s);
    for (int m = 1; m <= 12; ++m)
        for (int s = FirstEntrySlot; s <= LastEntrySlot; ++s)
            QVERIFY(f.state.table.cell(1, MonthColumn(y2020, m, s)).isEmpty());
    if (command == u"Menu_Tools_Date"_s)
        QCOMPARE(f.state.table.cell(1, MonthColumn(y2019, 2, ReadingDate)), u"28.02.19"_s);
    if (command == u"Command6"_s)
        QVERIFY(f.platform.dialogProposals.back().endsWith(u"Абонент 1 2019.xlsx"_s));
}

// Showing a later year computes its charges, "0" for every subscriber, which
// must neither lengthen the lines of the file nor make the year one with data.
void tst_MainWindow::lookingAtALaterYearLeavesTheFile() {
    Fixture f;
    f.platform.clock.setDate(QDate(2026, 6, 1));
    QVERIFY(f.open());
    // What a save would write before the look: the lines of 2017..2024.
    const QByteArray before = DatabaseFile::serialize(f.state.table);
    QCOMPARE(before.count('|'), 3 * DatabaseFile::Separators);
    QComboBox* year = f.combo(u"Cmb1(1)"_s);
    // Chosen as a user does: a click on the arrow opens the list, a click
    // takes the year.
    QStyleOptionComboBox option;
    option.initFrom(year);
    option.editable = year->isEditable();
    const QRect arrow =
        year->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, year);
    QTest::mouseClick(year, Qt::LeftButton, {}, arrow.center());
    QAbstractItemView* list = year->view();
    QTRY_VERIFY(list->isVisible());
    const QModelIndex item = list->model()->index(year->findText(u"2027"_s), 0);
    list->scrollTo(item);
    // The list takes a release that soon after it opened for the opening click's.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(item).center());
    QTRY_COMPARE(year->currentText(), u"2027"_s);
    QTRY_VERIFY(!list->isVisible());
    for (int r = 1; r <= 3; ++r)
        QCOMPARE(f.state.table.cell(r, MonthColumn(10, 12, ChargeWithComp)), u"0"_s);

    QVERIFY(QFile::remove(f.database.path()));
    QTest::mouseClick(f.form->findChild<QToolButton*>(u"Cmd6"_s), Qt::LeftButton);
    QCOMPARE(f.fileBytes(), before);
    QCOMPARE(YearLayout::LastYearToOffer(2025, f.state.table), 2026);
}

void tst_MainWindow::printAnsweredNoAndYes() {
    Fixture f;
    QVERIFY(f.open());
    const QSize before = f.form->centralWidget()->size();
    f.platform.answers = {MsgAnswer::No};
    runCommand(f.form.get(), u"Command1"_s);
    QCOMPARE(f.platform.messages.back().text, u"Вы действительно хотите распечатать эту форму?"_s);
    QCOMPARE(f.platform.messages.back().title, u"Подтвердите печать."_s);
    QVERIFY(f.platform.printed.empty());
    QCOMPARE(f.form->centralWidget()->size(), before);
    QVERIFY(f.form->findChild<QWidget*>(u"Frame1"_s)->isVisible());
    QVERIFY(f.form->findChild<QWidget*>(u"picButtons"_s)->isVisible());
    QCOMPARE(f.cell(1, 1)->palette().color(QPalette::Base), QColor(0xB5, 0xFB, 0xE6));

    f.cell(1, 1)->setText(u"10625"_s);
    f.platform.answers = {MsgAnswer::Yes};
    runCommand(f.form.get(), u"Command1"_s);
    QCOMPARE(f.platform.printed.size(), size_t(1));
    QCOMPARE(f.platform.printed[0].orientation, PageOrientation::Landscape);
    QCOMPARE(f.platform.printed[0].pageCount, 1);
    QCOMPARE(f.form->centralWidget()->size(), before);
    QProcess p;
    p.start(u"pdftotext"_s, {f.platform.printed[0].pdfPath, u"-"_s});
    QVERIFY(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(text.contains(u"10625"_s), qPrintable(text));
    QVERIFY(text.contains(u"Январь"_s));
}

void tst_MainWindow::autosaveWritesOnlyAfterAChange() {
    Fixture f;
    QVERIFY(f.open());
    auto* timer1 = f.database.findChild<QTimer*>(u"Timer1"_s);
    auto* timer2 = f.database.findChild<QTimer*>(u"Timer2"_s);
    // The two chained minute-long waits shortened to a few milliseconds.
    const auto waitMs = [&](int ms) {
        timer1->setInterval(ms);
        timer2->setInterval(ms);
    };
    QSignalSpy due(timer1, &QTimer::timeout);
    QFile::remove(f.database.path());
    waitMs(5);
    QTRY_VERIFY(due.size() >= 2);
    QVERIFY(!QFile::exists(f.database.path())); // nothing changed, nothing written
    waitMs(60000);
    f.type(f.cell(1, 1), u"555"_s);
    f.enter(f.cell(1, 1));
    QVERIFY(!QFile::exists(f.database.path())); // not before the timers run
    waitMs(5);
    QTRY_VERIFY(QFile::exists(f.database.path()));
    QVERIFY(f.fileBytes().contains("|555|"));
    // Autosave off: the cycle ends after the running one.
    f.database.setAutosave(false);
    QVERIFY(!timer2->isActive());
    QTRY_VERIFY(!timer1->isActive());
    QVERIFY(!timer2->isActive());
}

void tst_MainWindow::shutdownStoresSettingsAndDatabase() {
    Fixture f;
    QVERIFY(f.open());
    QSignalSpy closed(f.form.get(), &MainWindow::closed);
    f.choose(u"Cmb1(0)"_s, u"Абонент 3"_s);
    f.choose(u"Cmb1(1)"_s, u"2018"_s);
    f.check(u"Ch2"_s)->setChecked(true);
    f.cell(7, 8)->setText(u"1,07"_s); // typed, the cell never left
    f.form->close();
    QCOMPARE(closed.size(), 1);
    QCOMPARE(closed[0][0].toBool(), false);
    Settings s(u"ostrevanka"_s);
    QCOMPARE(s.text(u"Nastr"_s, u"Cmb0"_s), u"Абонент 3"_s);
    QCOMPARE(s.text(u"Nastr"_s, u"Cmb1"_s), u"2018"_s);
    QCOMPARE(s.text(u"Nastr"_s, u"Form1.Ch2"_s), u"1"_s);
    QCOMPARE(s.text(u"Nastr"_s, u"Form1.Ch1"_s), u"0"_s);
    SubscriberTable loaded;
    QCOMPARE(DatabaseFile::load(f.database.path(), loaded).status, DatabaseFile::Status::Ok);
    QCOMPARE(loaded.cell(3, MonthColumn(1, 7, CompCoef2)), u"1,07"_s);
}

void tst_MainWindow::monthPopupRemembersTheMonth() {
    Fixture f;
    QVERIFY(f.open());
    auto* march = f.form->findChild<QLabel*>(u"lbl2(103)"_s);
    QVERIFY(march);
    QTest::mouseClick(march, Qt::LeftButton);
    QCOMPARE(f.form->selectedMonthName(), u"Март"_s);
    QCOMPARE(f.form->selectedMonthLabel(), 103);
}

void tst_MainWindow::lowerReadingIsRedWithItsReason() {
    Fixture f;
    QVERIFY(f.open());
    MonthCell* current = f.cell(3, T1Current);
    const QColor normalText = current->palette().color(QPalette::Text);
    f.type(f.cell(3, T1Previous), u"150"_s);
    f.type(current, u"100"_s);
    f.enter(current);
    QCOMPARE(current->palette().color(QPalette::Text), QColor(Qt::red));
    QCOMPARE(current->toolTip(),
             u"Текущее показание меньше последнего (150): расход месяца считается равным 0"_s);
    // Only the text: the cell has its month's colour back, its neighbour is untouched.
    QCOMPARE(current->palette().color(QPalette::Base),
             f.cell(3, Tariff1)->palette().color(QPalette::Base));
    QCOMPARE(f.cell(3, T1Previous)->palette().color(QPalette::Text), normalText);
    QCOMPARE(f.result(3, 0)->text(), u"0"_s);

    f.type(current, u"150"_s); // equal is no fault
    QCOMPARE(current->palette().color(QPalette::Text), normalText);
    QVERIFY(current->toolTip().isEmpty());
    f.type(current, u"90"_s);
    f.enter(current);
    f.type(f.cell(6, T2Previous), u"7"_s);
    f.type(f.cell(6, T2Current), u"6,5"_s);
    f.enter(f.cell(6, T2Current));
    QCOMPARE(f.cell(6, T2Current)->palette().color(QPalette::Text), QColor(Qt::red));

    // Another subscriber shows none of it; coming back fills it red again.
    f.choose(u"Cmb1(0)"_s, u"Абонент 2"_s);
    QCOMPARE(current->palette().color(QPalette::Text), normalText);
    QVERIFY(current->toolTip().isEmpty());
    f.choose(u"Cmb1(0)"_s, u"Абонент 1"_s);
    QCOMPARE(current->text(), u"90"_s);
    QCOMPARE(current->palette().color(QPalette::Text), QColor(Qt::red));
    QCOMPARE(f.cell(6, T2Current)->palette().color(QPalette::Text), QColor(Qt::red));
}

void tst_MainWindow::lowerReadingFollowsTheShownSubscriber_data() {
    QTest::addColumn<QStringList>("first");  // previous, current
    QTest::addColumn<QStringList>("second"); // previous, current
    // Cells that hold the same text for both keep it while the other changes.
    QTest::newRow("same current") << QStringList{u"150"_s, u"100"_s}
                                  << QStringList{u"50"_s, u"100"_s};
    QTest::newRow("same previous")
        << QStringList{u"150"_s, u"100"_s} << QStringList{u"150"_s, u"200"_s};
    QTest::newRow("both the same")
        << QStringList{u"150"_s, u"100"_s} << QStringList{u"150"_s, u"100"_s};
    QTest::newRow("both lower") << QStringList{u"150"_s, u"100"_s} << QStringList{u"90"_s, u"80"_s};
}

// Switching subscriber shows the warnings of the one now shown, whichever of
// the two cells changed.
void tst_MainWindow::lowerReadingFollowsTheShownSubscriber() {
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    Fixture f;
    QVERIFY(f.open());
    const auto fill = [&](const QStringList& readings) {
        f.type(f.cell(4, T1Previous), readings[0]);
        f.type(f.cell(4, T1Current), readings[1]);
        f.enter(f.cell(4, T1Current));
    };
    const auto isRed = [&] {
        return f.cell(4, T1Current)->palette().color(QPalette::Text) == QColor(Qt::red);
    };
    const auto lower = [](const QStringList& r) { return r[1].toInt() < r[0].toInt(); };
    fill(first);
    f.choose(u"Cmb1(0)"_s, u"Абонент 2"_s);
    fill(second);
    QCOMPARE(isRed(), lower(second));
    for (int i = 0; i < 2; ++i) {
        f.choose(u"Cmb1(0)"_s, u"Абонент 1"_s);
        QCOMPARE(f.cell(4, T1Current)->text(), first[1]);
        QCOMPARE(isRed(), lower(first));
        f.choose(u"Cmb1(0)"_s, u"Абонент 2"_s);
        QCOMPARE(f.cell(4, T1Previous)->text(), second[0]);
        QCOMPARE(isRed(), lower(second));
        QCOMPARE(f.cell(4, T1Current)->toolTip().isEmpty(), !lower(second));
    }
}

// A reading typed and not yet left, then another subscriber picked on the
// real selector: the reading stays with its subscriber, and the cells show
// the other one's.
void tst_MainWindow::switchingWhileEditingKeepsTheTypedReading() {
    Fixture f;
    QVERIFY(f.open());
    MonthCell* cell = f.cell(3, T1Current);
    f.type(cell, u"777"_s);
    QComboBox* selector = f.combo(u"Cmb1(0)"_s);
    QTest::mouseClick(selector->lineEdit(), Qt::LeftButton);
    QVERIFY(!cell->hasFocus());
    QTest::keyClick(selector, Qt::Key_Down);
    QCOMPARE(selector->currentText(), u"Абонент 2"_s);
    QCOMPARE(cell->text(), QString());
    const auto y = YearIndex(f.combo(u"Cmb1(1)"_s)->currentText());
    QVERIFY(y);
    QCOMPARE(f.state.table.cell(1, MonthColumn(*y, 3, T1Current)), u"777"_s);
    QTest::keyClick(selector, Qt::Key_Up);
    QCOMPARE(selector->currentText(), u"Абонент 1"_s);
    QCOMPARE(cell->text(), u"777"_s);
}

void tst_MainWindow::wheelOverASelectorOfTheInactiveWindow_data() {
    QTest::addColumn<QString>("selector");
    QTest::addColumn<int>("nextRow");  // shown after one notch down
    QTest::addColumn<int>("nextYear"); // its year index
    QTest::newRow("Абонент") << u"Cmb1(0)"_s << 2 << 0;
    QTest::newRow("Год") << u"Cmb1(1)"_s << 1 << 1;
}

// The main window inactive beside another (the imbalance window, say): a
// wheel over its selector moves Qt's focus there without a focus-out, and
// the window is refilled. The reading typed is left first, into the
// subscriber and year it was typed for.
void tst_MainWindow::wheelOverASelectorOfTheInactiveWindow() {
    QFETCH(QString, selector);
    QFETCH(int, nextRow);
    QFETCH(int, nextYear);
    Fixture f;
    f.platform.settings().setText(u"Nastr"_s, u"Form1.Ch1"_s, u"1"_s);
    QVERIFY(f.open());
    f.state.table.setCell(1, MonthColumn(0, 1, T1Previous), u"10000"_s);
    f.priceJanuary(1);
    f.choose(u"Cmb1(1)"_s, u"2017"_s);
    QComboBox* combo = f.combo(selector);
    const QString shownText = combo->currentText();
    const QString nextText = combo->itemText(combo->currentIndex() + 1);

    f.type(f.cell(1, T1Current), u"10250"_s);
    QWidget other;
    other.setWindowTitle(u"Разбаланс"_s);
    other.resize(300, 200);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!f.form->isActiveWindow());
    QVERIFY(f.state.table.cell(1, MonthColumn(0, 1, T1Current)).isEmpty());

    wheelOver(combo, -120);
    QCOMPARE(combo->currentText(), nextText);
    QCOMPARE(f.form->focusWidget(), combo); // moved there without a focus-out
    QVERIFY(!f.form->isActiveWindow());
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 1, T1Current)), u"10250"_s);
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 2, T1Previous)), u"10250"_s); // autofill
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 1, ChargeWithComp)), u"500"_s);
    // Nothing of it went to what the wheel chose.
    QVERIFY(f.state.table.cell(nextRow, MonthColumn(nextYear, 1, T1Current)).isEmpty());
    QCOMPARE(ReadNumber(f.state.table.cell(nextRow, MonthColumn(nextYear, 1, ChargeWithComp))),
             0.0);
    QVERIFY(f.state.table.cell(nextRow, MonthColumn(nextYear, 2, T1Previous)).isEmpty());
    QVERIFY(f.cell(1, T1Current)->text().isEmpty());
    QVERIFY(f.form->findChild<QToolButton*>(u"Cmd6"_s)->isEnabled());

    wheelOver(combo, 120);
    QCOMPARE(combo->currentText(), shownText);
    QCOMPARE(f.cell(1, T1Current)->text(), u"10250"_s);
    QCOMPARE(f.cell(2, T1Previous)->text(), u"10250"_s);
    QCOMPARE(f.result(1, 4)->text(), u"500,00"_s);

    // The sequence runs once: its warning about the sign comes once.
    f.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    typeUnstorableDate(f.cell(3, ReadingDate));
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    f.platform.messages.clear();
    f.platform.answers = {MsgAnswer::Ok, MsgAnswer::Ok};
    wheelOver(combo, -120);
    QCOMPARE(combo->currentText(), nextText);
    QCOMPARE(warningCount(f.platform), 1);
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 3, ReadingDate)), u"31.01.17 ☺"_s);
    // Back in the main window nothing is left a second time.
    f.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    f.cell(5, T1Current)->setFocus(Qt::MouseFocusReason);
    QCOMPARE(warningCount(f.platform), 1);
}

// Alt, Down, Enter: the menu bar takes the focus from the cell and gives it
// back before the command runs, which leaves the cell; once.
void tst_MainWindow::keyboardMenuLeavesTheCellOnce() {
    Fixture f;
    QVERIFY(f.open());
    QSignalSpy directory(f.form.get(), &MainWindow::directoryRequested);
    MonthCell* cell = f.cell(1, ReadingDate);
    typeUnstorableDate(cell);
    f.platform.answers = {MsgAnswer::Ok, MsgAnswer::Ok};
    QWindow* window = f.form->windowHandle();
    QTest::simulateEvent(window, true, Qt::Key_Alt, Qt::AltModifier, QString(), false);
    QTest::simulateEvent(window, false, Qt::Key_Alt, Qt::NoModifier, QString(), false);
    QVERIFY(f.form->menuBar()->hasFocus());
    QTest::keyClick(window, Qt::Key_Down);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(window, Qt::Key_Return); // "Абоненты"
    QCOMPARE(directory.count(), 1);
    QCOMPARE(warningCount(f.platform), 1);
    QCOMPARE(f.state.table.cell(1, MonthColumn(0, 1, ReadingDate)), u"31.01.17 ☺"_s);
    QVERIFY(!QApplication::activePopupWidget());
    // Whatever takes the focus next does not leave it again.
    f.cell(4, T1Current)->setFocus(Qt::MouseFocusReason);
    QCOMPARE(warningCount(f.platform), 1);

    // Alt, then a click on another control: the cell is left then, once.
    f.platform.messages.clear();
    typeUnstorableDate(cell);
    QTest::simulateEvent(window, true, Qt::Key_Alt, Qt::AltModifier, QString(), false);
    QTest::simulateEvent(window, false, Qt::Key_Alt, Qt::NoModifier, QString(), false);
    QVERIFY(f.form->menuBar()->hasFocus());
    QCOMPARE(warningCount(f.platform), 0);
    QTest::mouseClick(f.combo(u"Cmb1(1)"_s)->lineEdit(), Qt::LeftButton);
    QCOMPARE(warningCount(f.platform), 1);
    QCOMPARE(cell->palette().color(QPalette::Base), QColor(0xB5, 0xFB, 0xE6)); // January's
    f.cell(4, T1Current)->setFocus(Qt::MouseFocusReason);
    QCOMPARE(warningCount(f.platform), 1);
}

void tst_MainWindow::exportProposesAndWrites() {
    Fixture f;
    QVERIFY(f.open());
    f.choose(u"Cmb1(1)"_s, u"2019"_s);
    f.cell(1, 1)->setText(u"10625"_s);
    // Cancelled: nothing written.
    runCommand(f.form.get(), u"Command6"_s);
    QVERIFY(f.platform.dialogProposals.back().endsWith(u"Учет эл. энергии  Абонент 1 2019.xlsx"_s));
    QVERIFY(QDir(f.dir.path()).entryList({u"*.xls*"_s}).isEmpty());
    const QString path = f.dir.filePath(u"таблица.xls"_s);
    f.platform.fileNames = {path};
    runCommand(f.form.get(), u"Command6"_s);
    const QJsonObject d = DumpWorkbook(path);
    QCOMPARE(DumpedCell(d, u"F1"_s)[u"value"_s].toString(), u"Абонент 1 2019 г."_s);
    QCOMPARE(DumpedCell(d, u"C4"_s)[u"value"_s].toDouble(), 10625.0);
    QVERIFY(f.platform.messages.empty());
}

void tst_MainWindow::importWindow() {
    Fixture f;
    f.state.table.setSubscriberCount(0);
    QVERIFY(f.open());
    f.state.table.setCell(1, ColAddress, u"12"_s);
    f.choose(u"Cmb1(1)"_s, u"2018"_s);
    runCommand(f.form.get(), u"Menu_Tools_Import_Excel"_s);
    ReadingsImportDialog* import = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* i = qobject_cast<ReadingsImportDialog*>(w))
            import = i;
    QVERIFY(import);
    QVERIFY(!f.form->isEnabled());
    QCOMPARE(import->findChild<QComboBox*>(u"Cmb2"_s)->currentText(), u"2018"_s);
    QCOMPARE(import->findChild<QComboBox*>(u"Cmb1"_s)->currentText(), u"01"_s);
    QVERIFY(import->findChild<QCheckBox*>(u"Ch1"_s)->isChecked()); // default 1
    QCOMPARE(
        import->findChild<QLabel*>(u"Label1"_s)->text(),
        u"Формат файла: \u0410"
        "1 - \u0410n номер участрка (такой же как в справочнике);  B1 - Bn "
        "показания счетчиков по Т1; C1 - Cn показания счетчиков по Т2 за указанный месяц и год."_s);

    // No: nothing asked further.
    f.platform.answers = {MsgAnswer::No};
    import->runImport();
    QCOMPARE(f.platform.messages.size(), size_t(1));
    QCOMPARE(f.platform.messages[0].title,
             u"Перед импортом рекомендуется сделать резервную копию базы."_s);
    QCOMPARE(f.platform.messages[0].defaultButton, MsgAnswer::No);
    // Not a workbook.
    const QString junk = f.dir.filePath(u"junk.xls"_s);
    QFile j(junk);
    QVERIFY(j.open(QIODevice::WriteOnly));
    j.write("not a workbook");
    j.close();
    f.platform.answers = {MsgAnswer::Yes};
    f.platform.fileNames = {junk};
    import->runImport();
    QCOMPARE(f.platform.messages.back().text, u"Ошибка импорта!"_s);
    QCOMPARE(f.platform.messages.back().title, u"Ошибка"_s);
    // A real sheet: written, the main window refreshed, success told.
    const QString path = f.dir.filePath(u"readings.xlsx"_s);
    WorkbookSheet sheet;
    sheet.set(u"A1", u"12"_s);
    sheet.set(u"B1", u"4321"_s);
    QVERIFY(WriteWorkbook(sheet, path));
    import->findChild<QCheckBox*>(u"Ch1"_s)->setChecked(false);
    f.platform.answers = {MsgAnswer::Yes};
    f.platform.fileNames = {path};
    import->runImport();
    QCOMPARE(f.platform.messages.back().text, u"Импорт успешно завершен."_s);
    QCOMPARE(f.state.table.cell(1, MonthColumn(1, 1, T1Current)), u"4321"_s);
    QCOMPARE(f.cell(1, 1)->text(), u"4321"_s);
    QCOMPARE(f.cell(2, 2)->text(), u"4321"_s); // carried
    import->close();
    QVERIFY(f.form->isEnabled());
    QCOMPARE(f.platform.settings().text(u"Nastr"_s, u"Ch1"_s), u"0"_s);
}

void tst_MainWindow::backup() {
    Fixture f;
    QVERIFY(f.open());
    runCommand(f.form.get(), u"Menu_Tuns_RCopy"_s); // cancelled: nothing
    QCOMPARE(QFileInfo(f.platform.dialogProposals.back()).fileName(),
             u"10.12.2026 14ч05мин Ostrevanka21.spb"_s);
    QVERIFY(f.platform.messages.empty());
    f.state.table.setCell(2, ColNote, u"ещё не записано"_s);
    const QString path = f.dir.filePath(u"copy.spb"_s);
    f.platform.fileNames = {path};
    runCommand(f.form.get(), u"Menu_Tuns_RCopy"_s);
    QVERIFY(f.platform.messages.empty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 4); // three lines and the end
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(lines[i].count('|'), 2513);
        QVERIFY(lines[i].endsWith("|\r"));
    }
    SubscriberTable loaded;
    QCOMPARE(DatabaseFile::load(path, loaded).status, DatabaseFile::Status::Ok);
    QCOMPARE(loaded.cell(2, ColNote), u"ещё не записано"_s);

    // A name typed without an extension gets ".spb", so the restore finds it.
    const QString typed = f.dir.filePath(u"10.12.2026 перед импортом"_s);
    f.platform.fileNames = {typed};
    f.form->findChild<QAction*>(u"Menu_Tuns_RCopy"_s)->trigger();
    QVERIFY(!QFile::exists(typed));
    QCOMPARE(DatabaseFile::load(typed + u".spb"_s, loaded).status, DatabaseFile::Status::Ok);
}

void tst_MainWindow::restoreRefusesAndAsks() {
    Fixture f;
    QVERIFY(f.open());
    const QByteArray before = f.fileBytes();
    const QString bad = f.dir.filePath(u"bad.spb"_s);
    QFile b(bad);
    QVERIFY(b.open(QIODevice::WriteOnly));
    b.write(QByteArray(2513, '|') + "\r\n" + QByteArray(2513, '|') + "\r\n" +
            QByteArray(2512, '|') + "\r\n");
    b.close();
    f.platform.fileNames = {bad};
    runCommand(f.form.get(), u"Menu_Tuns_Vost"_s);
    QCOMPARE(f.platform.messages.back().text,
             u"Строка № 3   файла "_s + bad + u"  Содержит ошибку!"_s);
    QCOMPARE(f.platform.messages.back().title, u"Ошибка формата файла"_s);
    f.platform.fileNames = {f.dir.filePath(u"нет такого.spb"_s)};
    runCommand(f.form.get(), u"Menu_Tuns_Vost"_s);
    QCOMPARE(f.platform.messages.back().text, u"файл не найден!"_s);
    QCOMPARE(f.platform.messages.back().title, u"Ошибка копирования"_s);
    // A sound file, answered No: nothing changes and the program goes on.
    const QString good = f.dir.filePath(u"good.spb"_s);
    QVERIFY(QFile::copy(f.database.path(), good));
    f.platform.fileNames = {good};
    f.platform.answers = {MsgAnswer::No};
    runCommand(f.form.get(), u"Menu_Tuns_Vost"_s);
    QCOMPARE(f.platform.messages.back().title, u"Подтвердите операцию"_s);
    QCOMPARE(f.platform.messages.back().text,
             u"Вы действительно хотите безвозвратно заменить файл текущей базы файлом "_s + good +
                 u" ?"_s);
    QCOMPARE(f.platform.messages.back().defaultButton, MsgAnswer::No);
    QCOMPARE(f.fileBytes(), before);
    QVERIFY(f.form->isVisible());
}

void tst_MainWindow::restoreReplacesAndEndsWithoutWriting_data() {
    QTest::addColumn<bool>("version10");
    QTest::newRow("backup") << false;
    QTest::newRow("version 1.0") << true;
}

void tst_MainWindow::restoreReplacesAndEndsWithoutWriting() {
    QFETCH(bool, version10);
    Fixture f;
    QVERIFY(f.open());
    const int fields = version10 ? 2128 : 2513;
    QByteArray content;
    for (int i = 1; i <= 2; ++i)
        content +=
            "7|Восстановленный " + QByteArray::number(i) + QByteArray(fields - 1, '|') + "\r\n";
    const QString source = f.dir.filePath(u"source.spb"_s);
    QFile s(source);
    // Windows-1251 on disk.
    QVERIFY(s.open(QIODevice::WriteOnly));
    QByteArray cp;
    for (QChar c : QString::fromUtf8(content))
        cp += c.unicode() < 128 ? char(c.unicode()) : char(c.unicode() - 0x410 + 0xC0);
    s.write(cp);
    s.close();
    QSignalSpy closed(f.form.get(), &MainWindow::closed);
    f.state.table.setCell(1, ColNote, u"не должно попасть в файл"_s);
    f.platform.fileNames = {source};
    f.platform.answers = {MsgAnswer::Yes};
    runCommand(f.form.get(), version10 ? u"Menu_Tuns_Vost1"_s : u"Menu_Tuns_Vost"_s);
    QCOMPARE(f.platform.messages.back().text, u"Сейчас программа закроется, запустите её заново"_s);
    QCOMPARE(f.platform.messages.back().title, u"Востановление произошло успешно"_s);
    QCOMPARE(closed.size(), 1);
    QVERIFY(!Settings(u"ostrevanka"_s).contains(u"Nastr"_s, u"Cmb0"_s));
    SubscriberTable loaded;
    QCOMPARE(DatabaseFile::load(f.database.path(), loaded).status, DatabaseFile::Status::Ok);
    QCOMPARE(loaded.subscriberCount(), 2);
    QCOMPARE(loaded.cell(2, ColRowNumber), u"2"_s);
    QCOMPARE(loaded.cell(2, ColName), u"Восстановленный 2"_s);
    QVERIFY(loaded.cell(1, ColNote).isEmpty());
    if (!version10)
        QCOMPARE(f.fileBytes(), cp);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
