#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "LedgerFixture.h"
#include "ledger/LedgerMath.h"
#include "ledger/YearCarryWindow.h"
#include "ledger/LedgerWindow.h"
#include "storage/Database.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;

// The balance carry window as the ledger opens it from December 2017.
class tst_YearCarryWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void filledFromTheLedger();
    void enterMovesDownAndStopsOnTheLastRow();
    void escapeDrops();
    void separatorIsDropped();
    void writeOnlyOnce();
    void clearedFieldsWriteEmptyBalances();
    void fromDecember2026IntoJanuary2027();

private:
    QTableView* grid() const { return m_w->findChild<QTableView*>(u"g1"_s); }
    QLineEdit* editor() const { return m_w->findChild<QLineEdit*>(u"txtg1"_s); }
    QPushButton* ok() const { return m_w->findChild<QPushButton*>(u"CmdOk"_s); }
    void clickCell(int row, int col) {
        const QRect r = grid()->visualRect(grid()->model()->index(row, col));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, r.center());
    }
    void type(const QString& text, Qt::Key end = Qt::Key_Return) {
        QTest::keyClicks(editor(), text);
        QTest::keyClick(editor(), end);
    }
    QString january(int row, int slot) const {
        return m_state.table.cell(row, MonthColumn(1, 1, slot));
    }

    QTemporaryDir m_dir;
    AppState m_state;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<LedgerWindow> m_ledger;
    YearCarryWindow* m_w = nullptr;
};

void tst_YearCarryWindow::init() {
    m_state = AppState();
    m_platform = std::make_unique<ScriptedPlatform>();
    m_database = std::make_unique<Database>(m_state.table, *m_platform,
                                            m_dir.filePath(u"Ostrevanka21.spb"_s));
    FillSubscribers(m_state, 3, m_dir);
    m_state.table.setCell(1, MonthColumn(0, 12, 9), u"120,5"_s); // closes in debt
    m_state.table.setCell(2, MonthColumn(0, 12, 16), u"30"_s);   // closes in credit
    m_state.table.setCell(3, MonthColumn(1, 1, 10), u"old"_s);
    m_ledger = std::make_unique<LedgerWindow>(m_state, *m_database, *m_platform,
                                              MonthRequest{u"2017"_s, 12});
    m_ledger->show();
    QTest::mouseClick(m_ledger->findChild<QPushButton*>(u"CmdPerenos"_s), Qt::LeftButton);
    m_w = m_ledger->perenosWindow();
    QVERIFY(m_w);
    QVERIFY(QTest::qWaitForWindowExposed(m_w));
}

void tst_YearCarryWindow::cleanup() {
    m_ledger.reset();
    m_database.reset();
    m_platform.reset();
}

void tst_YearCarryWindow::filledFromTheLedger() {
    QCOMPARE(m_w->windowTitle(), u"Перенос данных на следующий год"_s);
    QCOMPARE(m_w->findChild<QLabel*>(u"Lblgod"_s)->text(), u"Перенести на январь "_s);
    QCOMPARE(m_w->findChild<QLabel*>(u"lblYear"_s)->text(), u"2018"_s);
    auto& m = m_w->model();
    QCOMPARE(m.rowCount(), 3);
    QCOMPARE(m.text(0, 0), u"1. Иванов И. И."_s);
    QCOMPARE(m.text(0, 1), u"120,50"_s);
    QCOMPARE(m.text(0, 2), QString());
    QCOMPARE(m.text(1, 1), QString());
    QCOMPARE(m.text(1, 2), u"30,00"_s);
    QVERIFY(ok()->isEnabled());
    QVERIFY(!m_ledger->isEnabled());
    // A click in the label column opens nothing.
    clickCell(1, 0);
    QVERIFY(!editor()->isVisible());
}

void tst_YearCarryWindow::enterMovesDownAndStopsOnTheLastRow() {
    clickCell(1, 2);
    QVERIFY(editor()->isVisible());
    QCOMPARE(editor()->text(), u"30,00"_s);
    editor()->clear();
    type(u"12.5"_s); // written exactly as typed
    QCOMPARE(m_w->model().text(1, 2), u"12.5"_s);
    QVERIFY(editor()->isVisible());
    QCOMPARE(grid()->currentIndex().row(), 2);
    QCOMPARE(grid()->currentIndex().column(), 2);
    type(u"7"_s);
    QCOMPARE(m_w->model().text(2, 2), u"7"_s);
    QVERIFY(!editor()->isVisible());
    QCOMPARE(grid()->currentIndex().row(), 2);
    QVERIFY(grid()->hasFocus());
}

void tst_YearCarryWindow::escapeDrops() {
    clickCell(0, 1);
    QVERIFY(editor()->isVisible());
    type(u"999"_s, Qt::Key_Escape);
    QVERIFY(!editor()->isVisible());
    QCOMPARE(m_w->model().text(0, 1), u"120,50"_s);
}

// A "|" would split the subscriber's line in the database file.
void tst_YearCarryWindow::separatorIsDropped() {
    clickCell(0, 1);
    editor()->clear();
    type(u"1|20"_s);
    QCOMPARE(m_w->model().text(0, 1), u"120"_s);
    QTest::mouseClick(ok(), Qt::LeftButton);
    QCOMPARE(january(1, 10), u"120"_s);
}

void tst_YearCarryWindow::writeOnlyOnce() {
    QTest::mouseClick(ok(), Qt::LeftButton);
    QCOMPARE(january(1, 10), u"120,50"_s);
    QCOMPARE(january(2, 11), u"30,00"_s);
    QCOMPARE(january(3, 10), QString()); // the closing text of December, empty
    QVERIFY(!ok()->isEnabled());
    // A second press cannot write again until a cell is chosen.
    m_state.table.setCell(1, MonthColumn(1, 1, 10), u"changed"_s);
    QTest::mouseClick(ok(), Qt::LeftButton);
    QCOMPARE(january(1, 10), u"changed"_s);
    clickCell(2, 1);
    QVERIFY(ok()->isEnabled());
    QTest::keyClick(editor(), Qt::Key_Escape);
    QTest::mouseClick(ok(), Qt::LeftButton);
    QCOMPARE(january(1, 10), u"120,50"_s);
    // Closing gives the ledger back.
    m_w->close();
    QVERIFY(m_ledger->isEnabled());
}

void tst_YearCarryWindow::clearedFieldsWriteEmptyBalances() {
    QTest::mouseClick(ok(), Qt::LeftButton);
    QVERIFY(!ok()->isEnabled());
    QTest::mouseClick(m_w->findChild<QPushButton*>(u"CmdClear"_s), Qt::LeftButton);
    QVERIFY(ok()->isEnabled());
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(m_w->model().text(r, 1), QString());
        QCOMPARE(m_w->model().text(r, 2), QString());
    }
    QTest::mouseClick(ok(), Qt::LeftButton);
    for (int r = 1; r <= 3; ++r) {
        QCOMPARE(january(r, 10), QString());
        QCOMPARE(january(r, 11), QString());
    }
}

// Balances carry from a year after 2024 into the next one; the last offered
// year has no next year and its button opens nothing.
void tst_YearCarryWindow::fromDecember2026IntoJanuary2027() {
    m_ledger.reset();
    m_state.table.setOfferedYears(OfferedYears(2027));
    m_state.table.setCell(1, MonthColumn(9, 12, 9), u"80"_s);
    m_ledger = std::make_unique<LedgerWindow>(m_state, *m_database, *m_platform,
                                              MonthRequest{u"2026"_s, 12});
    m_ledger->show();
    auto* button = m_ledger->findChild<QPushButton*>(u"CmdPerenos"_s);
    QTest::mouseClick(button, Qt::LeftButton);
    m_w = m_ledger->perenosWindow();
    QVERIFY(m_w);
    QCOMPARE(m_w->findChild<QLabel*>(u"lblYear"_s)->text(), u"2027"_s);
    QCOMPARE(m_w->model().text(0, 1), u"80,00"_s);
    QTest::mouseClick(ok(), Qt::LeftButton);
    QCOMPARE(m_state.table.cell(1, MonthColumn(10, 1, 10)), u"80,00"_s);
    QVERIFY(m_state.table.cell(1, MonthColumn(9, 1, 10)).isEmpty());
    m_w->close();
    QTRY_VERIFY(!m_ledger->perenosWindow());

    auto* year = m_ledger->findChild<QComboBox*>(u"Cmb1(0)"_s);
    QCOMPARE(year->itemText(year->count() - 1), u"2027"_s);
    year->setCurrentIndex(year->count() - 1);
    QCOMPARE(m_ledger->findChild<QLabel*>(u"lblMes"_s)->text(), u"Декабрь"_s);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!m_ledger->perenosWindow());
    QVERIFY(m_ledger->isEnabled());
    m_w = nullptr;
}

QTEST_MAIN(tst_YearCarryWindow)
#include "tst_YearCarryWindow.moc"
