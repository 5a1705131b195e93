#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "app/Application.h"
#include "core/DatabaseFile.h"
#include "core/Settings.h"
#include "directory/frmSpr.h"
#include "documents/frmKvit.h"
#include "ledger/LedgerMath.h"
#include "ledger/LedgerModel.h"
#include "ledger/frmRedLS.h"
#include "printing/MDIfrmPrint.h"
#include "readings/MonthCell.h"
#include "support/ScriptedPlatform.h"

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
    void closingEndsAndWrites();
    void imbalanceWindowWritesBeforeTheDatabase();
    void readingSheetHidesTheMainWindow();
    void directoryRoundTripKeepsUnsavedEdits();
    void ledgerHidesTheMainWindowAndComesBack();
    void everyCommandIsAvailable();
    void readingOf2026ReachesTheLedgerAndTheReceipt();
};

void tst_Application::closingEndsAndWrites() {
    Fixture f;
    QSignalSpy finished(f.app.get(), &Application::finished);
    QVERIFY(f.app->start());
    Form1* form = f.app->mainWindow();
    QVERIFY(form && form->isVisible());
    form->entryCell(1, 1)->setText(u"321"_s);
    form->close();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toInt(), 0);
    QCOMPARE(f.fileTable().cell(1, MonthColumn(0, 1, T1Current)), u"321"_s);
}

void tst_Application::imbalanceWindowWritesBeforeTheDatabase() {
    Fixture f;
    QVERIFY(f.app->start());
    Form1* form = f.app->mainWindow();
    emit form->imbalanceRequested();
    QWidget* imbalance = topLevel<frmRazbalans>();
    QVERIFY(imbalance);
    emit form->imbalanceRequested(); // one window only
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += qobject_cast<frmRazbalans*>(w) && w->isVisible();
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
    Form1* form = f.app->mainWindow();
    auto* march = form->findChild<QLabel*>(u"lbl2(103)"_s);
    QTest::mouseClick(march, Qt::LeftButton);
    QAction* sheet = form->monthPopup()->findChild<QAction*>(u"Vedomost"_s);
    QVERIFY(sheet && sheet->isEnabled());
    sheet->trigger();
    QCOMPARE(f.app->state().docMonth, 3);
    QCOMPARE(f.app->state().docYear, u"2017"_s);
    QVERIFY(!form->isVisible());
    MDIfrmPrint* frame = topLevel<MDIfrmPrint>();
    QVERIFY(frame);
    frame->close();
    QVERIFY(form->isVisible());
}

void tst_Application::directoryRoundTripKeepsUnsavedEdits() {
    Fixture f;
    QVERIFY(f.app->start());
    Form1* form = f.app->mainWindow();
    form->entryCell(2, 5)->setText(u"4,44"_s); // typed, never saved
    emit form->directoryRequested();
    QVERIFY(f.app->state().directorySwitch);
    frmSpr* directory = topLevel<frmSpr>();
    QVERIFY(directory);
    QVERIFY(!f.app->mainWindow() || !f.app->mainWindow()->isVisible());
    // The file was written on the way.
    QCOMPARE(f.fileTable().cell(1, MonthColumn(0, 2, Tariff1)), u"4,44"_s);
    f.app->state().table.setCell(2, ColName, u"Переименованный В. В."_s);
    directory->close();
    QTRY_VERIFY(f.app->mainWindow() && f.app->mainWindow()->isVisible());
    Form1* again = f.app->mainWindow();
    QVERIFY(again != form);
    QVERIFY(!f.app->state().directorySwitch);
    QCOMPARE(again->entryCell(2, 5)->text(), u"4,44"_s);
    // Reloaded from the file: a change the directory did not write is gone.
    QCOMPARE(f.app->state().table.cell(2, ColName), u"Второй В. В."_s);
}

void tst_Application::ledgerHidesTheMainWindowAndComesBack() {
    Fixture f;
    QVERIFY(f.app->start());
    Form1* form = f.app->mainWindow();
    form->entryCell(1, 5)->setText(u"2"_s);
    QTest::mouseClick(form->findChild<QToolButton*>(u"Cmd2"_s), Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QVERIFY(f.app->ledgerWindow() && f.app->ledgerWindow()->isVisible());
    // The ledger button stores and writes first.
    QCOMPARE(f.fileTable().cell(1, MonthColumn(0, 1, Tariff1)), u"2"_s);
    f.app->ledgerWindow()->close();
    QVERIFY(form->isVisible());
}

void tst_Application::everyCommandIsAvailable() {
    Fixture f;
    QVERIFY(f.app->start());
    Form1* form = f.app->mainWindow();
    for (QToolButton* b : form->findChildren<QToolButton*>())
        if (b->objectName() != u"Cmd6"_s) // enabled by the first change
            QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
    for (QAction* a : form->findChildren<QAction*>())
        if (!a->objectName().isEmpty())
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
}

// December 2026: the year 2026 is chosen in the main window, a January
// reading typed; the ledger opened from there charges it and the receipt of
// that month names 2026.
void tst_Application::readingOf2026ReachesTheLedgerAndTheReceipt() {
    Fixture f;
    QCOMPARE(f.platform.clock.date().year(), 2026);
    QVERIFY(f.app->start());
    Form1* form = f.app->mainWindow();
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
    frmRedLS* ledger = f.app->ledgerWindow();
    QVERIFY(ledger && ledger->isVisible());
    QCOMPARE(ledger->findChild<QComboBox*>(u"Cmb1(0)"_s)->currentText(), u"2026"_s);
    QCOMPARE(f.app->state().ledgerCol, LedgerColumn(9, 1));
    QCOMPARE(ledger->model().text(0, LgElectricity), u"500,00"_s);
    // The file written on the way holds the year after 2024 in its own block.
    QCOMPARE(f.fileTable().cell(1, jan2026 + T1Current), u"1100"_s);

    auto* grid = ledger->findChild<QTableView*>(u"g"_s);
    const QRect cell = grid->visualRect(grid->model()->index(0, LgLabel));
    f.platform.answers.push_back(MsgAnswer::Yes);
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cell.center());
    QCOMPARE(f.platform.messages.back().text,
             u"Сформировать квитанцию для 1. Первый П. П. за Январь 2026 г."_s);
    frmKvit* receipt = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!receipt)
            receipt = w->findChild<frmKvit*>();
    QVERIFY(receipt);
    QCOMPARE(receipt->content().dateText, u"Январь 2026"_s);
}

QTEST_MAIN(tst_Application)
#include "tst_Application.moc"
