#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/Application.h"
#include "core/DatabaseFile.h"
#include "core/Settings.h"
#include "directory/frmSpr.h"
#include "documents/frmRekv.h"
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
        QFile::remove(platform.settings().fileName());
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
    void payeeDetailsFromTheSettingsMenu();
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

void tst_Application::payeeDetailsFromTheSettingsMenu() {
    Fixture f;
    QVERIFY(f.app->start());
    Form1* form = f.app->mainWindow();
    auto* item = form->findChild<QAction*>(u"Menu_Tuns_Rekv"_s);
    QVERIFY(item);
    QCOMPARE(item->text(), u"Реквизиты получателя..."_s);
    item->trigger();
    frmRekv* details = topLevel<frmRekv>();
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

QTEST_MAIN(tst_Application)
#include "tst_Application.moc"
