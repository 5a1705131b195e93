#include <memory>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "ReviewFixture.h"
#include "app/Application.h"
#include "ledger/LedgerMath.h"
#include "ledger/LedgerModel.h"
#include "ledger/LedgerWindow.h"
#include "ledger/StatementReviewWindow.h"
#include "readings/MainWindow.h"
#include "readings/MonthCell.h"
#include "storage/Database.h"
#include "storage/DatabaseFile.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"

using namespace Qt::StringLiterals;
using namespace ReviewFixture;

namespace {

QStringList MessageTexts(const ScriptedPlatform& platform) {
    QStringList texts;
    for (const auto& m : platform.messages)
        texts << m.text;
    return texts;
}

// The review window, once its event loop runs: who opened it, and the
// button pressed there. Looks for it until `done`.
struct ReviewAnswer {
    QString button;
    bool done = false;
    bool shown = false;
    QWidget* over = nullptr;
};

void AnswerReview(const std::shared_ptr<ReviewAnswer>& answer) {
    QTimer::singleShot(10, [answer] {
        if (answer->done)
            return;
        auto* window = qobject_cast<StatementReviewWindow*>(QApplication::activeModalWidget());
        if (!window) {
            AnswerReview(answer);
            return;
        }
        answer->done = answer->shown = true;
        answer->over = window->parentWidget();
        QTest::mouseClick(window->findChild<QPushButton*>(answer->button), Qt::LeftButton);
    });
}

const QString Summary =
    u"Записано платежей: 2 на сумму 1750,50 руб. Не записано: 3 на сумму 700,00 руб."_s;
const QString OpenDialog = u"Загрузить выписку банка | Выписка банка (*.txt);;Все файлы (*)"_s;

int PaidInColumn() {
    return MonthColumn(Year2026(), 3, SlotPaidIn);
}

// The program on a database of the fixture's members, showing Иванов in
// 2026; Иванов's March already holds a "Внесено" of 20,00. The statement's
// file is the one the file dialog gives.
struct Program {
    QTemporaryDir dir;
    ScriptedPlatform platform;
    std::unique_ptr<Application> app;

    explicit Program(const QByteArray& statement) {
        QFile::remove(platform.settings().fileName());
        StoreOurAccount(platform.settings());
        platform.settings().setText(u"Nastr"_s, u"Cmb0"_s, u"Иванов И. И."_s);
        platform.settings().setText(u"Nastr"_s, u"Cmb1"_s, u"2026"_s);
        platform.settings().sync();
        AppState members;
        FillMembers(members, dir.path());
        members.table.setCell(1, PaidInColumn(), u"20,00"_s);
        DatabaseFile::save(databasePath(), members.table);
        writeFile(statementPath(), statement);
        platform.fileNames = {statementPath()};
        app = std::make_unique<Application>(platform, dir.path());
    }
    ~Program() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                w->close();
    }
    QString databasePath() const { return dir.filePath(DatabaseFile::FileName); }
    QString statementPath() const { return dir.filePath(u"statement.txt"_s); }
    // Started, the fixture's loaded payment in the journal; the main window active.
    MainWindow* start() {
        if (!app->start())
            return nullptr;
        app->database().journal().add(LoadedEntry());
        MainWindow* form = app->mainWindow();
        form->activateWindow();
        return QTest::qWaitForWindowActive(form) ? form : nullptr;
    }
    SubscriberTable saved() const {
        SubscriberTable t;
        DatabaseFile::load(databasePath(), t);
        return t;
    }
};

} // namespace

class tst_StatementLoad : public QObject {
    Q_OBJECT
private slots:
    void ledgerButton_data();
    void ledgerButton();
    void mainWindowMenuItem();
};

void tst_StatementLoad::ledgerButton_data() {
    QTest::addColumn<QString>("file"); // empty: the fixture's statement
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("reviewed");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("written") << QString() << u"cmdWrite"_s << true << QStringList{Summary};
    QTest::newRow("cancelled") << QString() << u"cmdCancel"_s << true << QStringList();
    QTest::newRow("not a statement")
        << u"Дата;Сумма;Плательщик\n14.03.2026;1500;Иванов\n"_s << QString() << false
        << QStringList{u"Файл не похож на выписку банка в формате 1С: первая строка не "
                       u"«1CClientBankExchange»."_s};
}

// A payment typed into the ledger's "Внесено" and not accepted when the
// button is clicked is dropped, as every command of the ledger drops it:
// the written payment adds to what the cell held, and the grid shows it.
void tst_StatementLoad::ledgerButton() {
    QFETCH(QString, file);
    QFETCH(QString, button);
    QFETCH(bool, reviewed);
    QFETCH(QStringList, messages);
    Program p(file.isEmpty() ? StatementFixture::Cp1251(Text()) : file.toUtf8());
    MainWindow* form = p.start();
    QVERIFY(form);
    form->findChild<QAction*>(u"Mnu_LicSchet"_s)->trigger();
    LedgerWindow* ledger = p.app->ledgerWindow();
    QVERIFY(ledger);
    QVERIFY(QTest::qWaitForWindowExposed(ledger));
    // From January, where the ledger opens, to March.
    auto* next = ledger->findChild<QToolButton*>(u"CmdRight"_s);
    QTest::mouseClick(next, Qt::LeftButton);
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(ledger->findChild<QLabel*>(u"lblMes"_s)->text(), u"Март"_s);

    auto* command = ledger->findChild<QToolButton*>(u"CmdVypiska"_s);
    QVERIFY(command);
    QVERIFY(command->geometry().left() > ledger->findChild<QToolButton*>(u"CmdSverka"_s)->x());
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(command, &enter);
    auto* caption = ledger->findChild<QLabel*>(u"LbN(10)"_s);
    QVERIFY(caption->isVisible());
    QCOMPARE(caption->text(), u"Загрузить выписку банка"_s);

    auto* grid = ledger->findChild<QTableView*>(u"g"_s);
    const QModelIndex cell = grid->model()->index(0, LgPaidIn);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    auto* editor = ledger->findChild<QLineEdit*>(u"txtg"_s);
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->text(), u"20,00"_s);
    editor->selectAll();
    QTest::keyClicks(editor, u"99"_s);
    const auto filesBefore = snapshot(p.dir.path());

    auto answer = std::make_shared<ReviewAnswer>();
    answer->button = button;
    AnswerReview(answer);
    QTest::mouseClick(command, Qt::LeftButton);
    answer->done = true;

    QCOMPARE(p.platform.openDialogs, QStringList{OpenDialog});
    QCOMPARE(p.platform.dialogProposals, QStringList{p.dir.path()});
    QCOMPARE(answer->shown, reviewed);
    if (reviewed)
        QCOMPARE(answer->over, ledger);
    QCOMPARE(MessageTexts(p.platform), messages);
    QVERIFY(!editor->isVisible());
    const bool written = button == u"cmdWrite"_s;
    const QString paid = written ? u"1520,00"_s : u"20,00"_s;
    QCOMPARE(ledger->model().text(0, LgPaidIn), paid);
    QCOMPARE(p.app->state().table.cell(1, PaidInColumn()), paid);
    QCOMPARE(p.app->database().journal().entries().size(), size_t(written ? 3 : 1));
    if (!written) {
        QCOMPARE(snapshot(p.dir.path()), filesBefore);
        return;
    }
    // Shown at once: the month's closing credit of the written payment.
    QCOMPARE(ledger->model().text(0, LgCloseCredit), u"1520,00"_s);
    QCOMPARE(ledger->model().text(1, LgPaidIn), u"250,50"_s);
    const SubscriberTable saved = p.saved();
    QCOMPARE(saved.cell(1, PaidInColumn()), u"1520,00"_s);
    QCOMPARE(saved.cell(2, PaidInColumn()), u"250,50"_s);
    // The day's safety copy was taken before the write.
    QCOMPARE(QDir(p.dir.filePath(u"backups"_s)).entryList({u"*.spb"_s}, QDir::Files).size(), 1);
}

// From the main window's menu, with a reading typed and not yet left: the
// reading is stored first, and the file gets both.
void tst_StatementLoad::mainWindowMenuItem() {
    Program p(StatementFixture::Cp1251(Text()));
    MainWindow* form = p.start();
    QVERIFY(form);
    MonthCell* reading = form->entryCell(1, T1Current);
    reading->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(reading, u"777"_s);

    auto* tools = form->findChild<QMenu*>(u"Menu_Tools"_s);
    QMenuBar* bar = form->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(tools->menuAction()).center());
    QTRY_VERIFY(tools->isVisible());
    const QList<QAction*> items = tools->actions();
    QAction* item = form->findChild<QAction*>(u"Menu_Tools_Vypiska"_s);
    QVERIFY(item);
    QCOMPARE(item->text(), u"Загрузить выписку банка..."_s);
    QCOMPARE(items.size() >= 2 ? items[items.size() - 2] : nullptr, item);
    QCOMPARE(items.last()->text(), u"Проверка показаний..."_s);

    auto answer = std::make_shared<ReviewAnswer>();
    answer->button = u"cmdWrite"_s;
    AnswerReview(answer);
    QTest::mouseClick(tools, Qt::LeftButton, {}, tools->actionGeometry(item).center());
    answer->done = true;

    QVERIFY(answer->shown);
    QCOMPARE(answer->over, form);
    QCOMPARE(p.platform.openDialogs, QStringList{OpenDialog});
    QCOMPARE(MessageTexts(p.platform), QStringList{Summary});
    const SubscriberTable saved = p.saved();
    QCOMPARE(saved.cell(1, MonthColumn(Year2026(), 1, T1Current)), u"777"_s);
    QCOMPARE(saved.cell(1, PaidInColumn()), u"1520,00"_s);
    QCOMPARE(saved.cell(2, PaidInColumn()), u"250,50"_s);
    QCOMPARE(p.app->database().journal().entries().size(), size_t(3));
}

QTEST_MAIN(tst_StatementLoad)
#include "tst_StatementLoad.moc"
