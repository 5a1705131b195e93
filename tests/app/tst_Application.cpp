#include <algorithm>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QLineSeries>
#include <QPushButton>
#include <QTableView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/Application.h"
#include "storage/DatabaseFile.h"
#include "storage/DatabaseLock.h"
#include "core/FileMapping.h"
#include "core/Settings.h"
#include "directory/DirectoryWindow.h"
#include "documents/ReceiptWindow.h"
#include "ledger/LedgerMath.h"
#include "ledger/LedgerModel.h"
#include "documents/PayeeDetailsDialog.h"
#include "ledger/LedgerWindow.h"
#include "ledger/MemberAccountWindow.h"
#include "prefs/HotKeysHelp.h"
#include "printing/PrintFrame.h"
#include "printing/ReadingSheetPage.h"
#include "readings/MonthCell.h"
#include "readings/ReadingsCheckModel.h"
#include "readings/ConsumptionChartWindow.h"
#include "readings/ReadingsCheckWindow.h"
#include "support/MappingSupport.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"

using namespace Qt::StringLiterals;

namespace {

template <typename T> T* topLevel() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            return t;
    return nullptr;
}

struct Fixture {
    QTemporaryDir dir;
    ScriptedPlatform platform;
    std::unique_ptr<Application> app;

    Fixture() {
        // Every test starts from empty settings, whatever an earlier run left.
        QFile::remove(platform.settings().fileName());
        platform.settings().sync();
        SubscriberTable t;
        t.setSubscriberCount(2);
        t.setCell(1, ColName, u"Первый П. П."_s);
        t.setCell(2, ColName, u"Второй В. В."_s);
        DatabaseFile::save(dir.filePath(DatabaseFile::FileName), t);
        app = std::make_unique<Application>(platform, dir.path());
    }
    ~Fixture() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                w->close();
    }
    // Changes the database file before the program starts.
    void editFile(const std::function<void(SubscriberTable&)>& change) {
        SubscriberTable t = fileTable();
        change(t);
        DatabaseFile::save(dir.filePath(DatabaseFile::FileName), t);
    }
    SubscriberTable fileTable() {
        SubscriberTable t;
        DatabaseFile::load(dir.filePath(DatabaseFile::FileName), t);
        return t;
    }
};

} // namespace

class tst_Application : public QObject {
    Q_OBJECT
private slots:
    void init();
    void closingEndsAndWrites();
    void startupBytesBecomeTheProgramsOwnOncePainted();
    void imbalanceWindowWritesBeforeTheDatabase();
    void readingSheetHidesTheMainWindow();
    void directoryRoundTripKeepsUnsavedEdits();
    void ledgerHidesTheMainWindowAndComesBack();
    void ledgerOpensOnTheMonthItWasLeftOn();
    void windowsOpenOnTheShownYear();
    void everyCommandIsAvailable();
    void ledgerHelpShowsTheHotKeys();
    void readingsCheckDoubleClickLandsOnTheCell();
    void chartFollowsTheSelectors();
    void memberAccountOfTheShownSubscriber();
    void readingOf2026ReachesTheLedgerAndTheReceipt();
    void payeeDetailsFromTheSettingsMenu();
    void lockOfAnotherComputerAsksFirst_data();
    void lockOfAnotherComputerAsksFirst();
};

namespace {
void choose(MainWindow* form, const QString& comboName, const QString& text) {
    auto* c = form->findChild<QComboBox*>(comboName);
    const int i = c->findText(text);
    c->setCurrentIndex(i);
    emit c->activated(i);
}
} // namespace

void tst_Application::readingsCheckDoubleClickLandsOnTheCell() {
    Fixture f;
    const int y2019 = *YearIndex(u"2019"_s);
    f.editFile([&](SubscriberTable& t) {
        t.setCell(2, MonthColumn(y2019, 5, T1Previous), u"1500"_s);
        t.setCell(2, MonthColumn(y2019, 5, T1Current), u"1400"_s);
    });
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    choose(form, u"Cmb1(0)"_s, u"Первый П. П."_s);
    choose(form, u"Cmb1(1)"_s, u"2019"_s);
    // A reading of the first subscriber is being typed when the check opens.
    MonthCell* edited = form->entryCell(1, T1Current);
    edited->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(edited, u"777"_s);

    QAction* item = form->findChild<QAction*>(u"Menu_Tools_Proverka"_s);
    QVERIFY(item);
    QCOMPARE(item->text(), u"Проверка показаний..."_s);
    const auto actions = form->findChild<QMenu*>(u"Menu_Tools"_s)->actions();
    QCOMPARE(actions.last(), item);
    item->trigger();
    ReadingsCheckWindow* check = f.app->readingsCheckWindow();
    QVERIFY(check && check->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(check));
    QCOMPARE(check->yearText(), u"2019"_s);
    QTableView* view = check->findChild<QTableView*>(u"gList"_s);
    // The typed reading was left before the check ran: it counts, with no tariff.
    QCOMPARE(view->model()->rowCount(), 2);
    QCOMPARE(view->model()->index(0, ReadingsCheckModel::ColName).data().toString(),
             u"Первый П. П."_s);
    QCOMPARE(view->model()->index(0, ReadingsCheckModel::ColKind).data().toString(),
             u"Нет тарифа"_s);
    QCOMPARE(view->model()->index(1, ReadingsCheckModel::ColName).data().toString(),
             u"Второй В. В."_s);
    item->trigger(); // one window only
    int windows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows += qobject_cast<ReadingsCheckWindow*>(w) && w->isVisible();
    QCOMPARE(windows, 1);

    const QRect line = view->visualRect(view->model()->index(1, ReadingsCheckModel::ColKind));
    // A user's double click: a click, then the second press.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, line.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, line.center());
    QCOMPARE(form->findChild<QComboBox*>(u"Cmb1(0)"_s)->currentText(), u"Второй В. В."_s);
    QCOMPARE(form->findChild<QComboBox*>(u"Cmb1(1)"_s)->currentText(), u"2019"_s);
    QCOMPARE(form->shown().row, 2);
    MonthCell* target = form->entryCell(5, T1Current);
    QCOMPARE(MonthCell::of(form->focusWidget()), target);
    QCOMPARE(target->text(), u"1400"_s);
    QTRY_COMPARE(MonthCell::of(QApplication::focusWidget()), target);
    // The lower reading is red and says why; the cell keeps its colours otherwise.
    QCOMPARE(target->palette().color(QPalette::Text), QColor(Qt::red));
    QVERIFY(target->toolTip().contains(u"меньше последнего (1500)"_s));
    QCOMPARE(form->entryCell(5, T1Previous)->palette().color(QPalette::Text),
             QApplication::palette().color(QPalette::Text));
    // The first subscriber's typed reading was stored before the switch.
    QCOMPARE(f.app->state().table.cell(1, MonthColumn(y2019, 1, T1Current)), u"777"_s);
    QCOMPARE(f.app->state().table.cell(2, MonthColumn(y2019, 1, T1Current)), QString());

    // While the ledger has the main window, a double click leaves both alone.
    choose(form, u"Cmb1(0)"_s, u"Первый П. П."_s);
    QTest::mouseClick(form->findChild<QToolButton*>(u"Cmd2"_s), Qt::LeftButton);
    QVERIFY(!form->isVisible());
    check->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(check));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, line.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, line.center());
    QVERIFY(!form->isVisible());
    QVERIFY(f.app->ledgerWindow()->isVisible());
    QCOMPARE(form->findChild<QComboBox*>(u"Cmb1(0)"_s)->currentText(), u"Первый П. П."_s);
    QCOMPARE(form->shown().row, 1);
}

void tst_Application::chartFollowsTheSelectors() {
    Fixture f;
    const int y2018 = *YearIndex(u"2018"_s);
    f.editFile([&](SubscriberTable& t) {
        t.setCell(1, MonthColumn(y2018, 3, T1Previous), u"100"_s);
        t.setCell(1, MonthColumn(y2018, 3, T1Current), u"250"_s);
        t.setCell(1, MonthColumn(y2018, 3, T2Current), u"40"_s);
        t.setCell(1, MonthColumn(y2018 - 1, 3, T1Current), u"90"_s);
        t.setCell(2, MonthColumn(y2018, 7, T1Current), u"30"_s);
    });
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    choose(form, u"Cmb1(1)"_s, u"2018"_s);
    auto* button = form->findChild<QPushButton*>(u"CmdGrafik"_s);
    QVERIFY(button);
    QCOMPARE(button->text(), u"График"_s);
    QTest::mouseClick(button, Qt::LeftButton);
    ConsumptionChartWindow* chart = f.app->chartWindow();
    QVERIFY(chart && chart->isVisible());
    QCOMPARE(chart->chart()->title(),
             u"Первый П. П., 2018 г.: Т1 150 кВт*ч, Т2 40 кВт*ч, всего 190 кВт*ч"_s);
    QCOMPARE(chart->t1()->at(2), 150.0);
    QCOMPARE(chart->t2()->at(2), 40.0);
    QVERIFY(chart->yearBefore()->isVisible());
    QCOMPARE(chart->yearBefore()->at(2).y(), 90.0);

    choose(form, u"Cmb1(0)"_s, u"Второй В. В."_s);
    QVERIFY(chart->chart()->title().startsWith(u"Второй В. В., 2018 г.: Т1 30 кВт*ч"_s));
    QCOMPARE(chart->t1()->at(2), 0.0);
    QCOMPARE(chart->t1()->at(6), 30.0);
    // A reading typed and left redraws the chart too.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    MonthCell* cell = form->entryCell(8, T1Current);
    cell->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(cell, u"45"_s);
    QTest::keyClick(cell, Qt::Key_Return);
    QCOMPARE(chart->t1()->at(7), 45.0);
    // The first year has no year before it.
    choose(form, u"Cmb1(1)"_s, f.app->state().table.offeredYears().first());
    QVERIFY(!chart->yearBefore()->isVisible());
    QVERIFY(chart->chart()->title().startsWith(u"Второй В. В., "_s +
                                               f.app->state().table.offeredYears().first()));
}

void tst_Application::init() {
    // Before any window reads them: a test must not start where the last one left.
    Settings s(u"ostrevanka"_s);
    QFile::remove(s.fileName());
}

void tst_Application::closingEndsAndWrites() {
    Fixture f;
    QSignalSpy finished(f.app.get(), &Application::finished);
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    QVERIFY(form && form->isVisible());
    form->entryCell(1, 1)->setText(u"321"_s);
    form->close();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toInt(), 0);
    QCOMPARE(f.fileTable().cell(1, MonthColumn(0, 1, T1Current)), u"321"_s);
}

void tst_Application::startupBytesBecomeTheProgramsOwnOncePainted() {
    if (!FilesAreMapped())
        QSKIP("this system reads files instead of mapping them");
    Fixture f;
    // Stored charges that agree with the readings: the load then leaves the
    // rows as the file's bytes instead of writing them.
    f.editFile([](SubscriberTable& t) {
        for (int r = 1; r <= 2; ++r)
            for (int y = 0; y < YearLayout::YearCount; ++y)
                for (int m = 1; m <= 12; ++m)
                    t.setCell(r, MonthColumn(y, m, ChargeWithComp), u"0"_s);
    });
    QVERIFY(f.app->start());
    QVERIFY(f.app->state().table.heldAsLoaded(2));
    const std::shared_ptr<FileMapping> mapping = f.app->state().table.fileMapping();
    QVERIFY(mapping);
    QVERIFY(!mapping->isPrivate()); // not before the window is up
    QTRY_VERIFY(mapping->isPrivate());
    // The file cut short in place no longer reaches the table.
    QFile file(f.dir.filePath(DatabaseFile::FileName));
    QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(0));
    file.close();
    QCOMPARE(f.app->state().table.cell(2, ColName), u"Второй В. В."_s);
    f.app->mainWindow()->close();
    QCOMPARE(f.fileTable().cell(2, ColName), u"Второй В. В."_s);
}

void tst_Application::imbalanceWindowWritesBeforeTheDatabase() {
    Fixture f;
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    emit form->imbalanceRequested();
    QWidget* imbalance = topLevel<ImbalanceWindow>();
    QVERIFY(imbalance);
    emit form->imbalanceRequested(); // one window only
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += qobject_cast<ImbalanceWindow*>(w) && w->isVisible();
    QCOMPARE(count, 1);
    auto* box = imbalance->findChild<QLineEdit*>(u"txt1(1)"_s);
    QVERIFY(box);
    box->setText(u"98765"_s);
    form->close();
    QCOMPARE(f.fileTable().cell(1, HeadMeterColumn(0, 1, 0)), u"98765"_s);
}

void tst_Application::readingSheetHidesTheMainWindow() {
    Fixture f;
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    auto* march = form->findChild<QLabel*>(u"lbl2(103)"_s);
    QTest::mouseClick(march, Qt::LeftButton);
    QAction* sheet = form->monthPopup()->findChild<QAction*>(u"Vedomost"_s);
    QVERIFY(sheet && sheet->isEnabled());
    sheet->trigger();
    QVERIFY(!form->isVisible());
    PrintFrame* frame = topLevel<PrintFrame>();
    QVERIFY(frame);
    // The sheet of the month clicked in the year shown.
    auto* page = qobject_cast<ReadingSheetPage*>(frame->page());
    QVERIFY(page);
    QCOMPARE(page->dateText(), u"Март 2017"_s);
    frame->close();
    QVERIFY(form->isVisible());
}

void tst_Application::directoryRoundTripKeepsUnsavedEdits() {
    Fixture f;
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    form->entryCell(2, 5)->setText(u"4,44"_s); // typed, never saved
    emit form->directoryRequested();
    DirectoryWindow* directory = topLevel<DirectoryWindow>();
    QVERIFY(directory);
    QVERIFY(!f.app->mainWindow() || !f.app->mainWindow()->isVisible());
    // The file was written on the way.
    QCOMPARE(f.fileTable().cell(1, MonthColumn(0, 2, Tariff1)), u"4,44"_s);
    f.app->state().table.setCell(2, ColName, u"Переименованный В. В."_s);
    directory->close();
    QTRY_VERIFY(f.app->mainWindow() && f.app->mainWindow()->isVisible());
    MainWindow* again = f.app->mainWindow();
    QVERIFY(again != form);
    QCOMPARE(again->entryCell(2, 5)->text(), u"4,44"_s);
    // Reloaded from the file: a change the directory did not write is gone.
    QCOMPARE(f.app->state().table.cell(2, ColName), u"Второй В. В."_s);
}

void tst_Application::ledgerHidesTheMainWindowAndComesBack() {
    Fixture f;
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    form->entryCell(1, 5)->setText(u"2"_s);
    QTest::mouseClick(form->findChild<QToolButton*>(u"Cmd2"_s), Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QVERIFY(f.app->ledgerWindow() && f.app->ledgerWindow()->isVisible());
    // The ledger button stores and writes first.
    QCOMPARE(f.fileTable().cell(1, MonthColumn(0, 1, Tariff1)), u"2"_s);
    f.app->ledgerWindow()->close();
    QVERIFY(form->isVisible());
}

// The month survives closing the ledger, not a new load of the main window
// (after the directory, say), which opens the ledger on January again.
void tst_Application::ledgerOpensOnTheMonthItWasLeftOn() {
    Fixture f;
    QVERIFY(f.app->start());
    const auto openLedger = [&f] {
        QTest::mouseClick(f.app->mainWindow()->findChild<QToolButton*>(u"Cmd2"_s), Qt::LeftButton);
        return f.app->ledgerWindow();
    };
    const auto shownMonth = [](LedgerWindow* ledger) {
        return ledger->findChild<QLabel*>(u"lblMes"_s)->text();
    };
    LedgerWindow* ledger = openLedger();
    QVERIFY(ledger && ledger->isVisible());
    QCOMPARE(shownMonth(ledger), u"Январь"_s);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(ledger->findChild<QToolButton*>(u"CmdRight"_s), Qt::LeftButton);
    QCOMPARE(shownMonth(ledger), u"Апрель"_s);
    ledger->close();
    QTRY_VERIFY(!f.app->ledgerWindow());

    ledger = openLedger();
    QVERIFY(ledger);
    QCOMPARE(shownMonth(ledger), u"Апрель"_s);
    QCOMPARE(ledger->model().ledgerCol(), LedgerColumn(0, 4));
    ledger->close();
    QTRY_VERIFY(!f.app->ledgerWindow());

    QTest::mouseClick(f.app->mainWindow()->findChild<QToolButton*>(u"Cmd1"_s), Qt::LeftButton);
    DirectoryWindow* directory = topLevel<DirectoryWindow>();
    QVERIFY(directory);
    directory->close();
    QTRY_VERIFY(f.app->mainWindow() && f.app->mainWindow()->isVisible());
    ledger = openLedger();
    QVERIFY(ledger);
    QCOMPARE(shownMonth(ledger), u"Январь"_s);
}

// The imbalance window and the readings check take the year the main window
// shows; the check follows it when it is come back to.
void tst_Application::windowsOpenOnTheShownYear() {
    Fixture f;
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    choose(form, u"Cmb1(1)"_s, u"2019"_s);
    const auto yearLabel = [](QWidget* w) { return w->findChild<QLabel*>(u"Lbyear"_s)->text(); };

    QTest::mouseClick(form->findChild<QToolButton*>(u"CmdRazbalans"_s), Qt::LeftButton);
    auto* imbalance = topLevel<ImbalanceWindow>();
    QVERIFY(imbalance);
    QCOMPARE(yearLabel(imbalance), u"2019 г."_s);
    QCOMPARE(imbalance->yearIndex(), *YearIndex(u"2019"_s));
    imbalance->close();

    form->findChild<QAction*>(u"Menu_Tools_Proverka"_s)->trigger();
    ReadingsCheckWindow* check = f.app->readingsCheckWindow();
    QVERIFY(check);
    QVERIFY(QTest::qWaitForWindowActive(check));
    QCOMPARE(yearLabel(check), u"2019 г."_s);
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    choose(form, u"Cmb1(1)"_s, u"2021"_s);
    QCOMPARE(yearLabel(check), u"2019 г."_s);
    check->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(check));
    QCOMPARE(yearLabel(check), u"2021 г."_s);
    QCOMPARE(check->yearText(), u"2021"_s);
}

void tst_Application::everyCommandIsAvailable() {
    Fixture f;
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    for (QToolButton* b : form->findChildren<QToolButton*>())
        if (b->objectName() != u"Cmd6"_s) // enabled by the first change
            QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
    for (QAction* a : form->findChildren<QAction*>())
        if (!a->objectName().isEmpty())
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
}

void tst_Application::ledgerHelpShowsTheHotKeys() {
    Fixture f;
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    // Opened, or told that Help.pdf is not beside the test.
    const auto manualTries = [&f] {
        return int(f.platform.openedDocuments.size()) +
               int(std::count_if(f.platform.messages.begin(), f.platform.messages.end(),
                                 [](const auto& m) { return m.title == u"Помощь"_s; }));
    };
    // The main window's help is the manual...
    QTest::mouseClick(form->findChild<QToolButton*>(u"Cmd5"_s), Qt::LeftButton);
    QCOMPARE(manualTries(), 1);
    QTest::mouseClick(form->findChild<QToolButton*>(u"Cmd2"_s), Qt::LeftButton);
    LedgerWindow* ledger = f.app->ledgerWindow();
    QVERIFY(ledger && ledger->isVisible());
    // ...the ledger's the keys of its cell editor, with the ledger waiting.
    QTest::mouseClick(ledger->findChild<QToolButton*>(u"Cmd5"_s), Qt::LeftButton);
    HotKeysHelp* help = topLevel<HotKeysHelp>();
    QVERIFY(help);
    QCOMPARE(help->windowTitle(), u"Справка по горячим клавишам"_s);
    QVERIFY(!ledger->isEnabled());
    QCOMPARE(manualTries(), 1);
    help->close();
    QVERIFY(ledger->isEnabled());
}

// The button beside "График" leaves the reading being typed first: its charge
// is in the account, marked as not yet shown in the ledger.
void tst_Application::memberAccountOfTheShownSubscriber() {
    Fixture f;
    const int y2019 = *YearIndex(u"2019"_s);
    f.editFile([&](SubscriberTable& t) {
        t.setCell(2, ColAddress, u"15"_s);
        t.setCell(2, MonthColumn(y2019, 1, T1Previous), u"1000"_s);
        t.setCell(2, MonthColumn(y2019, 1, Tariff1), u"5"_s);
        t.setCell(2, MonthColumn(y2019, 1, CompCoef1), u"1"_s);
    });
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    choose(form, u"Cmb1(0)"_s, u"Второй В. В."_s);
    choose(form, u"Cmb1(1)"_s, u"2019"_s);
    MonthCell* t1 = form->entryCell(1, T1Current);
    t1->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(t1, u"1100"_s);

    auto* button = form->findChild<QPushButton*>(u"CmdLsAbonent"_s);
    QVERIFY(button && button->isVisible());
    QCOMPARE(button->text(), u"Лицевой счёт абонента"_s);
    // Beside "График", on the same line, not over anything.
    const QRect chart = form->findChild<QPushButton*>(u"CmdGrafik"_s)->geometry();
    QCOMPARE(button->geometry().top(), chart.top());
    QVERIFY(button->geometry().left() > chart.right());
    QVERIFY(button->geometry().right() < button->parentWidget()->width());
    QVERIFY(button->width() >= button->sizeHint().width());
    QTest::mouseClick(button, Qt::LeftButton);
    auto* account = topLevel<MemberAccountWindow>();
    QVERIFY(account);
    QCOMPARE(account->windowTitle(), u"2. Второй В. В., участок 15"_s);
    QCOMPARE(account->findChild<QComboBox*>(u"cmbYear"_s)->currentText(), u"2019"_s);
    QCOMPARE(account->account().months[0].cells[LgElectricity], u"500,00"_s);
    QVERIFY(account->account().months[0].stale);
    QCOMPARE(f.app->state().table.cell(2, MonthColumn(y2019, 1, T1Current)), u"1100"_s);
    // The account only reads: the ledger's slots of the month stay empty.
    QCOMPARE(f.app->state().table.cell(2, MonthColumn(y2019, 1, SlotCloseDebt)), QString());
    QVERIFY(!form->isEnabled());
    account->close();
    QVERIFY(form->isEnabled());
}

// December 2026: the year 2026 is chosen in the main window, a January
// reading typed; the ledger opened from there charges it and the receipt of
// that month names 2026.
void tst_Application::readingOf2026ReachesTheLedgerAndTheReceipt() {
    Fixture f;
    QCOMPARE(f.platform.clock.date().year(), 2026);
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    auto* year = form->findChild<QComboBox*>(u"Cmb1(1)"_s);
    QCOMPARE(year->count(), 11);
    QCOMPARE(year->itemText(10), u"2027"_s);
    const int i = year->findText(u"2026"_s);
    year->setCurrentIndex(i);
    emit year->activated(i);

    form->entryCell(1, T1Previous)->setText(u"1000"_s);
    form->entryCell(1, Tariff1)->setText(u"5"_s);
    form->entryCell(1, CompCoef1)->setText(u"1"_s);
    MonthCell* t1 = form->entryCell(1, T1Current);
    t1->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(t1, u"1100"_s);
    QTest::keyClick(t1, Qt::Key_Return); // leaves the cell: stored and computed
    const int jan2026 = MonthColumn(9, 1, 0);
    QCOMPARE(jan2026, 2827);
    QCOMPARE(f.app->state().table.cell(1, jan2026 + T1Current), u"1100"_s);
    QCOMPARE(f.app->state().table.cell(1, jan2026 + ChargeWithComp), u"500"_s);

    QTest::mouseClick(form->findChild<QToolButton*>(u"Cmd2"_s), Qt::LeftButton);
    LedgerWindow* ledger = f.app->ledgerWindow();
    QVERIFY(ledger && ledger->isVisible());
    QCOMPARE(ledger->findChild<QComboBox*>(u"Cmb1(0)"_s)->currentText(), u"2026"_s);
    QCOMPARE(ledger->model().ledgerCol(), LedgerColumn(9, 1));
    QCOMPARE(ledger->model().text(0, LgElectricity), u"500,00"_s);
    // The file written on the way holds the year after 2024 in its own block.
    QCOMPARE(f.fileTable().cell(1, jan2026 + T1Current), u"1100"_s);

    auto* grid = ledger->findChild<QTableView*>(u"g"_s);
    const QRect cell = grid->visualRect(grid->model()->index(0, LgLabel));
    f.platform.answers.push_back(MsgAnswer::Yes);
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cell.center());
    QCOMPARE(f.platform.messages.back().text,
             u"Сформировать квитанцию для 1. Первый П. П. за Январь 2026 г."_s);
    ReceiptWindow* receipt = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!receipt)
            receipt = w->findChild<ReceiptWindow*>();
    QVERIFY(receipt);
    QCOMPARE(receipt->content().dateText, u"Январь 2026"_s);
}

void tst_Application::payeeDetailsFromTheSettingsMenu() {
    Fixture f;
    QVERIFY(f.app->start());
    MainWindow* form = f.app->mainWindow();
    auto* item = form->findChild<QAction*>(u"Menu_Tuns_Rekv"_s);
    QVERIFY(item);
    QCOMPARE(item->text(), u"Реквизиты получателя..."_s);
    item->trigger();
    PayeeDetailsDialog* details = topLevel<PayeeDetailsDialog>();
    QVERIFY(details);
    QCOMPARE(details->windowTitle(), u"Реквизиты получателя"_s);
    QVERIFY(!form->isEnabled());
    details->findChild<QLineEdit*>(u"txtRekv(5)"_s)->setText(u"12345"_s);
    QTest::mouseClick(details->findChild<QPushButton*>(u"CmdSave"_s), Qt::LeftButton);
    QVERIFY(details->isVisible()); // a short БИК keeps the window open
    QVERIFY(!f.platform.settings().contains(u"Rekv"_s, u"BIC"_s));
    details->close();
    QVERIFY(form->isEnabled());
}

void tst_Application::lockOfAnotherComputerAsksFirst_data() {
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("not sure: no") << MsgAnswer::No;
    QTest::newRow("ended there: yes") << MsgAnswer::Yes;
}

// A flash drive pulled out of a computer where the program was running.
void tst_Application::lockOfAnotherComputerAsksFirst() {
    QFETCH(MsgAnswer, answer);
    Fixture f;
    const QString lockPath = DatabaseLock::pathFor(f.dir.filePath(DatabaseFile::FileName));
    const QByteArray left("4242\nostrevanka\ndacha-pc\n");
    const QDateTime since(QDate(2026, 5, 9), QTime(18, 40));
    QVERIFY(writeFileAt(lockPath, left, since));
    QSignalSpy finished(f.app.get(), &Application::finished);
    f.platform.answers = {answer};

    QCOMPARE(f.app->start(), answer == MsgAnswer::Yes);
    QCOMPARE(f.platform.messages.size(), size_t(1));
    const auto& asked = f.platform.messages.front();
    QVERIFY2(asked.text.startsWith(u"Программа уже работает с этой базой на компьютере dacha-pc "
                                   u"с 09.05.2026 18:40."_s),
             qPrintable(asked.text));
    QVERIFY2(asked.text.endsWith(u"Открыть базу на этом компьютере?"_s), qPrintable(asked.text));
    QCOMPARE(asked.buttons, MsgButtons::YesNo);
    QCOMPARE(asked.defaultButton, MsgAnswer::No);
    QCOMPARE(asked.icon, MsgIcon::Warning);

    qint64 pid = 0;
    QString host;
    QLockFile probe(lockPath);
    QVERIFY(probe.getLockInfo(&pid, &host, nullptr));
    if (answer == MsgAnswer::No) {
        QVERIFY(!f.app->mainWindow());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toInt(), 1);
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::ReadOnly));
        QCOMPARE(lock.readAll(), left);
        QCOMPARE(QFileInfo(lockPath).lastModified(), since);
        return;
    }
    QVERIFY(f.app->mainWindow() && f.app->mainWindow()->isVisible());
    QCOMPARE(pid, QCoreApplication::applicationPid());
    DatabaseLock second(f.dir.filePath(DatabaseFile::FileName));
    QCOMPARE(second.take(), DatabaseLock::Result::HeldByOther);
    f.app->mainWindow()->close();
    QVERIFY(!QFile::exists(lockPath));
}

QTEST_MAIN(tst_Application)
#include "tst_Application.moc"
