#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "LedgerFixture.h"
#include "core/MonthNames.h"
#include "storage/DatabaseFile.h"
#include "core/Settings.h"
#include "ledger/LedgerMath.h"
#include "ledger/LedgerModel.h"
#include "ledger/YearCarryWindow.h"
#include "ledger/LedgerWindow.h"
#include "storage/Database.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;

class tst_LedgerWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void enterStoresTwoDecimals_data();
    void enterStoresTwoDecimals();
    void moveAfterEnter_data();
    void moveAfterEnter();
    void escapeDropsTheEdit();
    void monthStepping();
    void yearChangeReloads();
    void perenosOnlyInDecember();
    void search();
    void highlight();
    void receiptAndOrderQuestions_data();
    void receiptAndOrderQuestions();
    void sumsRow();
    void saveButton();
    void exportProposesName();
    void unloadStoresAndWrites();

private:
    void open(int subscribers = 3);
    QTableView* grid() const { return m_w->findChild<QTableView*>(u"g"_s); }
    QLineEdit* editor() const { return m_w->findChild<QLineEdit*>(u"txtg"_s); }
    void clickCell(int row, int col, Qt::MouseButton button = Qt::LeftButton);
    void typeAndEnter(const QString& text);
    QString slot(int row, int month, int slot) const {
        return m_state.table.cell(row, MonthColumn(0, month, slot));
    }

    QTemporaryDir m_dir;
    AppState m_state;
    // What the main window asks the ledger to open on.
    MonthRequest m_start;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<LedgerWindow> m_w;
};

void tst_LedgerWindow::init() {
    m_state = AppState();
    m_start = {u"2017"_s, 1};
    m_platform = std::make_unique<ScriptedPlatform>();
    m_database = std::make_unique<Database>(m_state.table, *m_platform,
                                            m_dir.filePath(u"Ostrevanka21.spb"_s));
}

void tst_LedgerWindow::cleanup() {
    m_w.reset();
    m_database.reset();
    m_platform.reset();
}

void tst_LedgerWindow::open(int subscribers) {
    if (m_state.table.subscriberCount() == 0)
        FillSubscribers(m_state, subscribers, m_dir);
    m_w = std::make_unique<LedgerWindow>(m_state, *m_database, *m_platform, m_start);
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w.get()));
}

void tst_LedgerWindow::clickCell(int row, int col, Qt::MouseButton button) {
    const QRect r = grid()->visualRect(grid()->model()->index(row, col));
    QTest::mouseClick(grid()->viewport(), button, {}, r.center());
}

void tst_LedgerWindow::typeAndEnter(const QString& text) {
    QTest::keyClicks(editor(), text);
    QTest::keyClick(editor(), Qt::Key_Return);
}

void tst_LedgerWindow::enterStoresTwoDecimals_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("closeCredit");
    QTest::newRow("point becomes comma") << u"12.5"_s << u"12,50"_s << u"12,50"_s;
    QTest::newRow("whole") << u"7"_s << u"7,00"_s << u"7,00"_s;
    QTest::newRow("empty stays empty") << QString() << QString() << QString();
    QTest::newRow("no pipe in a cell") << u"1|5"_s << u"15,00"_s << u"15,00"_s;
}

void tst_LedgerWindow::enterStoresTwoDecimals() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, closeCredit);
    FillSubscribers(m_state, 3, m_dir);
    m_state.table.setCell(2, MonthColumn(0, 1, 16), u"3"_s);
    open();
    clickCell(1, LgPaidIn);
    QVERIFY(editor()->isVisible());
    QCOMPARE(editor()->text(), u"3,00"_s);
    editor()->clear();
    typeAndEnter(typed);
    QCOMPARE(m_w->model().text(1, LgPaidIn), stored);
    QCOMPARE(slot(2, 1, 16), stored);
    QCOMPARE(slot(2, 1, 20), closeCredit); // computed and stored at once
    QCOMPARE(slot(2, 2, 11), closeCredit); // and carried into February
}

void tst_LedgerWindow::moveAfterEnter_data() {
    QTest::addColumn<bool>("down");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("nextRow"); // -1: the editor stays hidden
    QTest::addColumn<int>("nextCol");
    QTest::newRow("down") << true << 0 << 8 << 1 << 8;
    QTest::newRow("down, last row") << true << 2 << 8 << -1 << 0;
    QTest::newRow("right") << false << 0 << 6 << 0 << 8;
    QTest::newRow("right wraps to the next row") << false << 1 << 10 << 2 << 5;
    QTest::newRow("right, last row, last column") << false << 2 << 10 << -1 << 0;
    QTest::newRow("right, hidden column stays") << false << 1 << 4 << 1 << 4;
}

void tst_LedgerWindow::moveAfterEnter() {
    QFETCH(bool, down);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(int, nextRow);
    QFETCH(int, nextCol);
    m_state.flPls = down;
    open();
    // Enter in the grid opens the editor on the current editable cell.
    grid()->setCurrentIndex(grid()->model()->index(row, col));
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_Return);
    QVERIFY(editor()->isVisible());
    typeAndEnter(u"5"_s);
    QCOMPARE(m_w->model().text(row, col), u"5,00"_s);
    if (nextRow < 0) {
        QVERIFY(!editor()->isVisible());
        QCOMPARE(grid()->currentIndex().row(), row);
        return;
    }
    QVERIFY(editor()->isVisible());
    QCOMPARE(grid()->currentIndex().row(), nextRow);
    QCOMPARE(grid()->currentIndex().column(), nextCol);
    QVERIFY(editor()->hasFocus());
    // The editor sits over the new cell.
    const QRect cell = grid()->visualRect(grid()->currentIndex());
    const QPoint at = grid()->viewport()->mapTo(m_w.get(), cell.topLeft());
    QCOMPARE(editor()->geometry().top(), at.y());
}

void tst_LedgerWindow::escapeDropsTheEdit() {
    FillSubscribers(m_state, 3, m_dir);
    m_state.table.setCell(1, MonthColumn(0, 1, 13), u"4"_s);
    open();
    clickCell(0, LgElectrician);
    QVERIFY(editor()->isVisible());
    QTest::keyClicks(editor(), u"99"_s);
    QTest::keyClick(editor(), Qt::Key_Escape);
    QVERIFY(!editor()->isVisible());
    QCOMPARE(m_w->model().text(0, LgElectrician), u"4,00"_s);
    QCOMPARE(slot(1, 1, 13), u"4,00"_s);
    // Clicking a non-editable cell opens nothing.
    clickCell(0, LgTotalDue);
    QVERIFY(!editor()->isVisible());
}

void tst_LedgerWindow::monthStepping() {
    open();
    auto* left = m_w->findChild<QToolButton*>(u"CmdLeft"_s);
    auto* right = m_w->findChild<QToolButton*>(u"CmdRight"_s);
    auto* perenos = m_w->findChild<QPushButton*>(u"CmdPerenos"_s);
    auto* label = m_w->findChild<QLabel*>(u"lblMes"_s);
    QVERIFY(!left->isEnabled());
    QVERIFY(right->isEnabled());
    QVERIFY(!perenos->isVisible());
    QCOMPARE(label->text(), u"Январь"_s);
    for (int m = 1; m <= 11; ++m) {
        QVERIFY(!perenos->isVisible());
        QTest::mouseClick(right, Qt::LeftButton);
        QCOMPARE(label->text(), MonthNames().at(m));
        QCOMPARE(m_w->model().ledgerCol(), LedgerColumn(0, m + 1));
    }
    QCOMPARE(label->text(), u"Декабрь"_s);
    QVERIFY(!right->isEnabled());
    QVERIFY(left->isEnabled());
    QVERIFY(perenos->isVisible());
    QTest::mouseClick(left, Qt::LeftButton);
    QCOMPARE(label->text(), u"Ноябрь"_s);
    QVERIFY(!perenos->isVisible());
    QVERIFY(right->isEnabled());
    // The month the next ledger opens on.
    m_w->close();
    QCOMPARE(m_w->month(), 11);
}

void tst_LedgerWindow::yearChangeReloads() {
    FillSubscribers(m_state, 2, m_dir);
    m_state.table.setCell(1, MonthColumn(3, 1, 9), u"42"_s);
    open();
    auto* year = m_w->findChild<QComboBox*>(u"Cmb1(0)"_s);
    QCOMPARE(year->currentText(), u"2017"_s);
    QCOMPARE(m_w->model().text(0, LgElectricity), QString());
    year->setCurrentText(u"2020"_s);
    QCOMPARE(m_w->model().text(0, LgElectricity), u"42,00"_s);
    QCOMPARE(m_w->model().ledgerCol(), LedgerColumn(3, 1));
    QCOMPARE(m_state.table.cell(1, MonthColumn(3, 1, 9)), u"42,00"_s);
}

void tst_LedgerWindow::perenosOnlyInDecember() {
    FillSubscribers(m_state, 3, m_dir);
    m_start = {u"2024"_s, 12};
    open();
    auto* perenos = m_w->findChild<QPushButton*>(u"CmdPerenos"_s);
    QVERIFY(perenos->isVisible());
    QTest::mouseClick(perenos, Qt::LeftButton);
    QVERIFY(!m_w->perenosWindow());
    QVERIFY(m_w->isEnabled());

    m_w->findChild<QComboBox*>(u"Cmb1(0)"_s)->setCurrentText(u"2017"_s);
    QVERIFY(perenos->isVisible());
    QTest::mouseClick(perenos, Qt::LeftButton);
    QVERIFY(m_w->perenosWindow());
    QVERIFY(!m_w->isEnabled());
    QCOMPARE(m_w->perenosWindow()->findChild<QLabel*>(u"lblYear"_s)->text(), u"2018"_s);
    m_w->perenosWindow()->close();
    QVERIFY(m_w->isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_w->perenosWindow());
}

void tst_LedgerWindow::search() {
    open(4);
    auto* find = m_w->findChild<QLineEdit*>(u"txtfind"_s);
    auto* button = m_w->findChild<QPushButton*>(u"Cmdfind"_s);
    using Mark = LedgerModel::RowMark;
    auto marks = [&] {
        QList<Mark> l;
        for (int r = 0; r < 4; ++r)
            l << m_w->model().rowMark(r);
        return l;
    };
    // Capitals find the same rows as small letters.
    for (const QString& text : {u"ИВАН"_s, u"иван"_s}) {
        find->clear();
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::KeyAction::Click, find, Qt::Key_unknown, c, {});
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(marks(), (QList<Mark>{Mark::Found, Mark::None, Mark::None, Mark::Found}));
        const auto& msg = m_platform->messages.back();
        QCOMPARE(msg.title, u"Результаты поиска    \"иван\""_s);
        QCOMPARE(msg.text, u" Количество найденых строк = 2.  Номер первой найденной строки = 1"_s);
        QCOMPARE(msg.buttons, MsgButtons::Ok);
    }
    // A second search clears the first one; Enter in the box searches too.
    find->setText(u"Петров"_s);
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(marks(), (QList<Mark>{Mark::None, Mark::Found, Mark::None, Mark::None}));
    QCOMPARE(m_platform->messages.back().text,
             u" Количество найденых строк = 1.  Номер первой найденной строки = 2"_s);
    const QColor blue = grid()->model()->index(1, 12).data(Qt::BackgroundRole).value<QColor>();
    QCOMPARE(blue, QColor(0, 0, 255));

    find->setText(u"Нет"_s);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_platform->messages.back().title, u"Результаты поиска    "_s);
    QCOMPARE(m_platform->messages.back().text, u"Выражение   \"нет\"   не найдено."_s);
    QCOMPARE(marks(), (QList<Mark>(4, Mark::None)));

    // An empty search does nothing; "сброс " clears the marks.
    const size_t shown = m_platform->messages.size();
    find->setText(u"Петров"_s);
    QTest::mouseClick(button, Qt::LeftButton);
    find->clear();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_platform->messages.size(), shown + 1);
    QTest::mouseClick(m_w->findChild<QPushButton*>(u"CmdRes"_s), Qt::LeftButton);
    QCOMPARE(marks(), (QList<Mark>(4, Mark::None)));
}

void tst_LedgerWindow::highlight() {
    open();
    auto background = [&](int row, int col) {
        return grid()->model()->index(row, col).data(Qt::BackgroundRole).value<QColor>();
    };
    const QColor yellow(255, 255, 0);
    clickCell(1, LgLabel);
    QCOMPARE(background(1, 0), yellow);
    QCOMPARE(background(1, 12), yellow);
    QVERIFY(!background(1, 13).isValid());
    clickCell(2, LgTotalDue);
    QVERIFY(!background(1, 0).isValid());
    QCOMPARE(background(2, 3), yellow);

    m_state.flPs = false;
    m_w->applyPreferences();
    QVERIFY(!background(2, 3).isValid());
    QCOMPARE(grid()->currentIndex().row(), 2);
    clickCell(0, LgLabel);
    QVERIFY(!background(0, 0).isValid());
}

void tst_LedgerWindow::receiptAndOrderQuestions_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("question");
    const QString receipt = u"Сформировать квитанцию для 2. Петров П. П. за Март 2017 г."_s;
    const QString order = u"Сформировать ОРДЕР для 2. Петров П. П. за Март 2017 г."_s;
    QTest::newRow("receipt, yes") << int(Qt::RightButton) << 0 << true
                                  << u"Формирование квитанции"_s << receipt;
    QTest::newRow("receipt, no") << int(Qt::RightButton) << 0 << false
                                 << u"Формирование квитанции"_s << receipt;
    QTest::newRow("order, yes") << int(Qt::MiddleButton) << 0 << true << u"Формирование ордера"_s
                                << order;
    QTest::newRow("right click off the first column")
        << int(Qt::RightButton) << 3 << true << QString() << QString();
}

void tst_LedgerWindow::receiptAndOrderQuestions() {
    QFETCH(int, button);
    QFETCH(int, column);
    QFETCH(bool, yes);
    QFETCH(QString, title);
    QFETCH(QString, question);
    FillSubscribers(m_state, 3, m_dir);
    m_start.month = 3;
    open();
    QSignalSpy receipt(m_w.get(), &LedgerWindow::receiptRequested);
    QSignalSpy order(m_w.get(), &LedgerWindow::orderRequested);
    m_platform->answers.push_back(yes ? MsgAnswer::Yes : MsgAnswer::No);
    // An edit not yet stored by the model is stored before the document opens.
    m_w->model().setText(1, LgPaidIn, u"8,00"_s);
    clickCell(1, column, Qt::MouseButton(button));
    if (title.isEmpty()) {
        QVERIFY(m_platform->messages.empty());
        QCOMPARE(receipt.count() + order.count(), 0);
        return;
    }
    QCOMPARE(m_platform->messages.size(), size_t(1));
    QCOMPARE(m_platform->messages[0].title, title);
    QCOMPARE(m_platform->messages[0].text, question);
    QCOMPARE(m_platform->messages[0].buttons, MsgButtons::YesNo);
    const bool isReceipt = button == int(Qt::RightButton);
    QCOMPARE(receipt.count(), yes && isReceipt ? 1 : 0);
    QCOMPARE(order.count(), yes && !isReceipt ? 1 : 0);
    if (yes) {
        const auto request = (isReceipt ? receipt : order).at(0).at(0).value<DocumentRequest>();
        QCOMPARE(request.row, 2);
        QCOMPARE(request.month, 3);
        QCOMPARE(request.year, u"2017"_s);
        QCOMPARE(slot(2, 3, 16), u"8,00"_s);
    }
}

void tst_LedgerWindow::sumsRow() {
    FillSubscribers(m_state, 30, m_dir);
    for (int r = 1; r <= 30; ++r)
        m_state.table.setCell(r, MonthColumn(0, 1, 9), u"1,5"_s);
    open();
    auto sum = [&](int k) { return m_w->findChild<QLineEdit*>(u"tS(%1)"_s.arg(k)); };
    QCOMPARE(sum(2)->text(), u"45,00"_s);
    QCOMPARE(sum(10)->text(), u"45,00"_s);
    QCOMPARE(sum(11)->text(), u"0,00"_s);
    for (int k : {3, 8, 12})
        QVERIFY(!sum(k)->isVisible());
    QVERIFY(sum(0)->isVisible());
    QVERIFY(sum(0)->palette().color(QPalette::Base) != sum(1)->palette().color(QPalette::Base));
    // Each sum box sits under its column; 25 rows show, then the grid scrolls.
    const QRect col3 = grid()->visualRect(grid()->model()->index(0, 3));
    QCOMPARE(sum(2)->x(), grid()->viewport()->mapTo(m_w.get(), col3.topLeft()).x());
    QVERIFY(sum(2)->y() >= grid()->geometry().bottom());
    QCOMPARE(grid()->viewport()->height(), 25 * 19);
    QCOMPARE(grid()->rowAt(25 * 19 - 1), 24);
    QVERIFY(grid()->verticalScrollBar()->isVisible());
    // Scrolling hides the editor.
    clickCell(0, LgPaidIn);
    QVERIFY(editor()->isVisible());
    grid()->verticalScrollBar()->setValue(3);
    QVERIFY(!editor()->isVisible());
}

void tst_LedgerWindow::saveButton() {
    open();
    auto* save = m_w->findChild<QToolButton*>(u"Cmd6"_s);
    QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY(m_platform->messages.empty());
    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(m_database->path(), back).status, DatabaseFile::Status::Ok);
    QCOMPARE(back.cell(2, ColName), u"Петров П. П."_s);

    // A folder in the database file's place: the file cannot be written.
    QVERIFY(QFile::remove(m_database->path()));
    QVERIFY(QDir().mkpath(m_database->path()));
    QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY(QDir(m_database->path()).removeRecursively());
    QCOMPARE(m_platform->messages.size(), size_t(1));
    QCOMPARE(m_platform->messages[0].text, u"Ошибка сохранения"_s);

    // Hovering a button shows its caption; the bare window hides it.
    auto* caption = m_w->findChild<QLabel*>(u"LbN(3)"_s);
    QVERIFY(!caption->isVisible());
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(m_w->findChild<QToolButton*>(u"Command1"_s), &enter);
    QVERIFY(caption->isVisible());
    QCOMPARE(caption->text(), u"Экспорт"_s);
    QTest::mouseMove(m_w.get(), QPoint(m_w->width() - 5, m_w->height() - 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(m_w->width() - 5, m_w->height() - 5), QPointF(),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m_w.get(), &move);
    QVERIFY(!caption->isVisible());
}

void tst_LedgerWindow::exportProposesName() {
    FillSubscribers(m_state, 3, m_dir);
    m_start.month = 5;
    open();
    auto* button = m_w->findChild<QToolButton*>(u"Command1"_s);
    m_platform->fileNames.push_back(QString()); // cancelled
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_platform->dialogProposals.size(), 1);
    QCOMPARE(m_platform->dialogProposals[0], m_dir.filePath(u"Лицевой счет  Май 2017.xlsx"_s));
    QVERIFY(m_platform->messages.empty());

    const QString path = m_dir.filePath(u"out"_s);
    m_platform->fileNames.push_back(path);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(QFile::exists(path + u".xlsx"_s));
    QVERIFY(m_platform->messages.empty());
}

void tst_LedgerWindow::unloadStoresAndWrites() {
    FillSubscribers(m_state, 2, m_dir);
    m_start = {u"2019"_s, 7};
    open();
    QSignalSpy closed(m_w.get(), &LedgerWindow::closed);
    clickCell(0, LgOtherIncome);
    typeAndEnter(u"3"_s);
    m_w->close();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(m_platform->settings().text(u"Nastr"_s, u"Cmb10"_s), u"2019"_s);
    QCOMPARE(m_platform->settings().text(u"Nastr"_s, u"Li"_s), u"6"_s);
    SubscriberTable back;
    QCOMPARE(DatabaseFile::load(m_database->path(), back).status, DatabaseFile::Status::Ok);
    QCOMPARE(back.cell(1, MonthColumn(2, 7, 18)), u"3,00"_s);
    QCOMPARE(back.cell(1, MonthColumn(2, 7, 20)), u"3,00"_s);
    QCOMPARE(back.cell(1, MonthColumn(2, 8, 11)), u"3,00"_s);
}

QTEST_MAIN(tst_LedgerWindow)
#include "tst_LedgerWindow.moc"
