#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "core/AppState.h"
#include "imbalance/ImbalanceWindow.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int Y2019 = 2;

QColor bgr(int colour) {
    return QColor(QRgb(BgrToRgb(colour)));
}

} // namespace

class tst_ImbalanceWindow final : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void loadShowsStoredReadingsAndResults();
    void pointBecomesComma();
    void cellSeparatorRefused_data();
    void cellSeparatorRefused();
    void carryForward_data();
    void carryForward();
    void navigation_data();
    void navigation();
    void focusColour();
    void closeWritesBackIntoItsYear();
    void oneWindow();
    void exportUsesTheBoxes();
    void exportHintAndChart();

private:
    [[nodiscard]] bool open();
    QLineEdit* box(const QString& name) const;
    void typeInto(QLineEdit* edit, const QString& text);

    std::unique_ptr<AppState> m_state;
    std::unique_ptr<ScriptedPlatform> m_platform;
    QPointer<ImbalanceWindow> m_window;
};

void tst_ImbalanceWindow::init() {
    m_state = std::make_unique<AppState>();
    m_platform = std::make_unique<ScriptedPlatform>();
    SubscriberTable& t = m_state->table;
    t.setSubscriberCount(2);
    // January 2019: the head meter read 1000 kWh by day and 500 by night;
    // the two subscribers 950 and 480 at 4 and 2 roubles.
    t.setCell(1, MonthColumn(Y2019, 1, T1Current), u"1700"_s);
    t.setCell(1, MonthColumn(Y2019, 1, T1Previous), u"1000"_s);
    t.setCell(2, MonthColumn(Y2019, 1, T1Current), u"250"_s);
    t.setCell(1, MonthColumn(Y2019, 1, T2Current), u"480"_s);
    t.setCell(1, MonthColumn(Y2019, 1, Tariff1), u"4"_s);
    t.setCell(1, MonthColumn(Y2019, 1, Tariff2), u"2"_s);
    t.setCell(HeadMeterRow, HeadMeterColumn(Y2019, 1, 0), u"11000"_s);
    t.setCell(HeadMeterRow, HeadMeterColumn(Y2019, 1, 1), u"10000"_s);
    t.setCell(HeadMeterRow, HeadMeterColumn(Y2019, 1, 2), u"5500"_s);
    t.setCell(HeadMeterRow, HeadMeterColumn(Y2019, 1, 3), u"5000"_s);
    t.setCell(HeadMeterRow, HeadMeterColumn(Y2019, 7, 3), u"7,5"_s);
    t.setCell(HeadMeterRow, HeadMeterColumn(Y2019 + 1, 1, 0), u"99999"_s); // 2020
}

void tst_ImbalanceWindow::cleanup() {
    delete m_window;
    m_platform.reset();
    m_state.reset();
}

// false when the window did not become active: its focus checks would test nothing.
bool tst_ImbalanceWindow::open() {
    m_window = new ImbalanceWindow(*m_state, *m_platform, u"2019"_s);
    m_window->show();
    m_window->activateWindow();
    return QTest::qWaitForWindowActive(m_window);
}

QLineEdit* tst_ImbalanceWindow::box(const QString& name) const {
    auto* e = m_window->findChild<QLineEdit*>(name);
    if (!e)
        qWarning() << "no box" << name;
    return e;
}

void tst_ImbalanceWindow::typeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

void tst_ImbalanceWindow::loadShowsStoredReadingsAndResults() {
    QVERIFY(open());
    QCOMPARE(m_window->findChild<QLabel*>(u"Lbyear"_s)->text(), u"2019 г."_s);
    QCOMPARE(m_window->windowTitle(), u"Разбаланс"_s);
    QCOMPARE(box(u"txt1(1)"_s)->text(), u"11000"_s);
    QCOMPARE(box(u"txt1(4)"_s)->text(), u"5000"_s);
    QCOMPARE(box(u"txt7(4)"_s)->text(), u"7,5"_s);
    QVERIFY(box(u"txt2(1)"_s)->text().isEmpty());

    QCOMPARE(box(u"txtR1(0)"_s)->text(), u"1000,00"_s);
    QCOMPARE(box(u"txtR1(2)"_s)->text(), u"950,00"_s);
    QCOMPARE(box(u"txtR1(6)"_s)->text(), u"1,052632"_s);
    QCOMPARE(box(u"txtR1(7)"_s)->text(), u"1,041667"_s);
    QCOMPARE(box(u"txtR1(9)"_s)->text(), u"4760,00"_s);
    QCOMPARE(box(u"txtR1(10)"_s)->text(), u"240,00"_s);
    QCOMPARE(box(u"txtR2(0)"_s)->text(), u"0,00"_s);
    QCOMPARE(box(u"txtR13(8)"_s)->text(), u"5000,00"_s);
    QVERIFY(!m_window->findChild<QLineEdit*>(u"txtR13(6)"_s));
    QVERIFY(!m_window->findChild<QLineEdit*>(u"txtR13(7)"_s));
    QVERIFY(box(u"txtR5(3)"_s)->isReadOnly());

    // Odd months take Color2, even months Color1, the year the tooltip colour.
    const auto& c = m_state->cellColors;
    QCOMPARE(box(u"txt3(2)"_s)->palette().color(QPalette::Base), bgr(c[1]));
    QCOMPARE(box(u"txtR3(10)"_s)->palette().color(QPalette::Base), bgr(c[1]));
    QCOMPARE(box(u"txt12(4)"_s)->palette().color(QPalette::Base), bgr(c[0]));
    QCOMPARE(m_window->findChild<QWidget*>(u"Shape1(12)"_s)->palette().color(QPalette::Window),
             bgr(c[0]));
    QCOMPARE(box(u"txtR13(0)"_s)->palette().color(QPalette::Base),
             m_window->palette().color(QPalette::ToolTipBase));
}

void tst_ImbalanceWindow::pointBecomesComma() {
    QVERIFY(open());
    QLineEdit* e = box(u"txt3(2)"_s);
    typeInto(e, u"1234.5"_s);
    QCOMPARE(e->text(), u"1234,5"_s);
    QCOMPARE(e->cursorPosition(), 6);
    // Pasted text with several points.
    e->setText(u"1.2.3"_s);
    QCOMPARE(e->text(), u"1,2,3"_s);
}

void tst_ImbalanceWindow::cellSeparatorRefused_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::newRow("typed inside") << u"12|34"_s << false << u"1234"_s;
    QTest::newRow("typed alone") << u"|"_s << false << u""_s;
    QTest::newRow("typed after a point") << u"1.5|"_s << false << u"1,5"_s;
    QTest::newRow("pasted") << u"|9|9.5|"_s << true << u"99,5"_s;
}

// A "|" would split the line of row 1 when the file is next read.
void tst_ImbalanceWindow::cellSeparatorRefused() {
    QFETCH(QString, input);
    QFETCH(bool, pasted);
    QFETCH(QString, kept);
    QVERIFY(open());
    QVERIFY(m_window->isActiveWindow());
    QLineEdit* e = box(u"txt5(3)"_s);
    if (pasted) {
        QGuiApplication::clipboard()->setText(input);
        e->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    } else {
        typeInto(e, input);
    }
    QCOMPARE(e->text(), kept);
    QCOMPARE(e->cursorPosition(), int(kept.size()));
    QTest::keyClick(e, Qt::Key_Tab);
    m_window->close();
    QCOMPARE(m_state->table.cell(HeadMeterRow, HeadMeterColumn(Y2019, 5, 2)), kept);
}

void tst_ImbalanceWindow::carryForward_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    QTest::newRow("T1 into an empty box") << u"txt1(1)"_s << u"txt2(2)"_s << u""_s << u"1500"_s;
    QTest::newRow("T2 into an empty box") << u"txt4(3)"_s << u"txt5(4)"_s << u""_s << u"1500"_s;
    QTest::newRow("a filled box is left") << u"txt1(1)"_s << u"txt2(2)"_s << u"1490"_s << u"1490"_s;
    QTest::newRow("from a previous reading") << u"txt3(2)"_s << u"txt4(2)"_s << u""_s << u""_s;
}

void tst_ImbalanceWindow::carryForward() {
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QVERIFY(open());
    box(target)->setText(before);
    typeInto(box(source), u"1500"_s);
    QTest::keyClick(box(source), Qt::Key_Tab);
    QVERIFY(!box(source)->hasFocus());
    QCOMPARE(box(target)->text(), after);
}

void tst_ImbalanceWindow::navigation_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");

    QTest::newRow("Enter in January") << u"txt1(2)"_s << int(Qt::Key_Return) << u"txt2(2)"_s;
    QTest::newRow("keypad Enter") << u"txt6(3)"_s << int(Qt::Key_Enter) << u"txt7(3)"_s;
    QTest::newRow("Down") << u"txt5(4)"_s << int(Qt::Key_Down) << u"txt6(4)"_s;
    QTest::newRow("Up") << u"txt5(4)"_s << int(Qt::Key_Up) << u"txt4(4)"_s;
    QTest::newRow("Up in January") << u"txt1(1)"_s << int(Qt::Key_Up) << u"txt1(1)"_s;
    QTest::newRow("Enter in December") << u"txt12(3)"_s << int(Qt::Key_Return) << u"txt12(3)"_s;
    QTest::newRow("Down in December") << u"txt12(1)"_s << int(Qt::Key_Down) << u"txt12(1)"_s;
    QTest::newRow("Tab goes along the row") << u"txt3(4)"_s << int(Qt::Key_Tab) << u"txt4(1)"_s;
}

void tst_ImbalanceWindow::navigation() {
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(QString, to);
    QVERIFY(open());
    box(from)->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(box(from), Qt::Key(key));
    QCOMPARE(QApplication::focusWidget(), box(to));
}

void tst_ImbalanceWindow::focusColour() {
    QVERIFY(open());
    const auto& c = m_state->cellColors;
    QLineEdit* e = box(u"txt2(1)"_s);
    e->setFocus(Qt::MouseFocusReason);
    QCOMPARE(e->palette().color(QPalette::Base), bgr(c[2]));

    // Leaving recomputes: February's head reading now counts.
    QTest::keyClicks(e, u"11900"_s);
    QCOMPARE(box(u"txtR2(0)"_s)->text(), u"0,00"_s);
    QTest::keyClick(e, Qt::Key_Return);
    QCOMPARE(e->palette().color(QPalette::Base), bgr(c[0]));
    // January's reading went on into February's previous one when the
    // focus first left January.
    QCOMPARE(box(u"txt2(2)"_s)->text(), u"11000"_s);
    QCOMPARE(box(u"txtR2(0)"_s)->text(), u"900,00"_s);
    QCOMPARE(box(u"txt3(1)"_s)->palette().color(QPalette::Base), bgr(c[2]));
}

void tst_ImbalanceWindow::closeWritesBackIntoItsYear() {
    QVERIFY(open());
    QSignalSpy closed(m_window.data(), &ImbalanceWindow::closed);
    typeInto(box(u"txt6(3)"_s), u"321.5"_s);
    box(u"txt7(4)"_s)->clear();
    // Cells not shown as boxes are written too, so a stale one gets the box text.
    m_state->table.setCell(HeadMeterRow, HeadMeterColumn(Y2019, 1, 0), u"stale"_s);

    QVERIFY(m_window->close());
    QCOMPARE(closed.count(), 1);
    const SubscriberTable& t = m_state->table;
    QCOMPARE(t.cell(HeadMeterRow, HeadMeterColumn(Y2019, 6, 2)), u"321,5"_s);
    QVERIFY(t.cell(HeadMeterRow, HeadMeterColumn(Y2019, 7, 3)).isEmpty());
    QCOMPARE(t.cell(HeadMeterRow, HeadMeterColumn(Y2019, 1, 0)), u"11000"_s);
    QCOMPARE(t.cell(HeadMeterRow, HeadMeterColumn(Y2019, 1, 3)), u"5000"_s);
    QCOMPARE(t.cell(HeadMeterRow, HeadMeterColumn(Y2019 + 1, 1, 0)), u"99999"_s);
    QVERIFY(t.cell(HeadMeterRow, HeadMeterColumn(Y2019 + 1, 6, 2)).isEmpty());
    // Nothing but the head-meter cells changed in the subscriber's row.
    QCOMPARE(t.cell(1, MonthColumn(Y2019, 1, T1Current)), u"1700"_s);
}

void tst_ImbalanceWindow::oneWindow() {
    QPointer<ImbalanceWindow> slot;
    ImbalanceWindow* first = ImbalanceWindow::showSingle(slot, *m_state, *m_platform, u"2019"_s);
    m_window = first;
    QVERIFY(first);
    box(u"txt2(1)"_s)->setText(u"777"_s);

    // The main window has moved on to 2020 meanwhile.
    QCOMPARE(ImbalanceWindow::showSingle(slot, *m_state, *m_platform, u"2020"_s), first);
    const QWidgetList tops = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(
                 tops.begin(), tops.end(),
                 [](QWidget* w) { return qobject_cast<ImbalanceWindow*>(w) && w->isVisible(); }),
             1);
    // Brought forward as it was, not loaded again.
    QCOMPARE(box(u"txt2(1)"_s)->text(), u"777"_s);
    QCOMPARE(first->yearIndex(), Y2019);

    first->close();
    QVERIFY(QTest::qWaitFor([&] { return slot.isNull(); }));
    QCOMPARE(m_state->table.cell(HeadMeterRow, HeadMeterColumn(Y2019, 2, 0)), u"777"_s);

    // Opened again: a new window for the main window's year of now.
    m_window = ImbalanceWindow::showSingle(slot, *m_state, *m_platform, u"2020"_s);
    QCOMPARE(m_window->yearIndex(), Y2019 + 1);
    QCOMPARE(box(u"txt1(1)"_s)->text(), u"99999"_s);
}

void tst_ImbalanceWindow::exportUsesTheBoxes() {
    QTemporaryDir dir;
    QVERIFY(open());
    typeInto(box(u"txt2(1)"_s), u"11950"_s); // typed, not stored yet
    const QString path = dir.filePath(u"out"_s);
    m_platform->fileNames.push_back(path);
    m_platform->fileNames.push_back(u""_s);
    QTest::mouseClick(m_window->findChild<QPushButton*>(u"Command6"_s), Qt::LeftButton);

    QCOMPARE(m_platform->dialogProposals, QStringList{u"Разбаланс 2019 г..xlsx"_s});
    QVERIFY(QFile::exists(path + u".xlsx"_s));
    QProcess read;
    read.start(u"/usr/bin/python3"_s,
               {u"-c"_s,
                u"import sys, openpyxl\n"
                u"ws = openpyxl.load_workbook(sys.argv[1]).active\n"
                u"print(ws['F1'].value, ws['B5'].value, ws['C5'].value, ws['D5'].value, "
                u"ws['L4'].value, sep='|')"_s,
                path + u".xlsx"_s});
    QVERIFY(read.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(read.readAllStandardOutput()).trimmed(),
             u"Разбаланс 2019 г.|11950|11000|950|1.052632"_s);
    // The export stores nothing.
    QVERIFY(m_state->table.cell(HeadMeterRow, HeadMeterColumn(Y2019, 2, 0)).isEmpty());
    // Clicking the button left the box first, so February was recomputed.
    QCOMPARE(box(u"txtR2(0)"_s)->text(), u"950,00"_s);

    // Cancelled: nothing written.
    QTest::mouseClick(m_window->findChild<QPushButton*>(u"Command6"_s), Qt::LeftButton);
    QCOMPARE(m_platform->dialogProposals.size(), 2);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void tst_ImbalanceWindow::exportHintAndChart() {
    QVERIFY(open());
    auto* cmd = m_window->findChild<QPushButton*>(u"Command6"_s);
    auto* hint = m_window->findChild<QLabel*>(u"Label1(6)"_s);
    QCOMPARE(cmd->size(), QSize(37, 37));
    // Pointer over the button, then over the free area at the top.
    QWindow* window = m_window->windowHandle();
    QTest::mouseMove(window, QPoint(300, 30));
    QVERIFY(!hint->isVisible());
    QTest::mouseMove(window, cmd->geometry().center());
    QVERIFY(hint->isVisible());
    QCOMPARE(hint->text(), u"Экспорт"_s);
    QTest::mouseMove(window, QPoint(300, 30));
    QVERIFY(!hint->isVisible());

    auto* chart = m_window->findChild<QWidget*>(u"chart"_s);
    const int height = m_window->height();
    QVERIFY(!chart->isVisible());
    QTest::mouseClick(m_window->findChild<QPushButton*>(u"CmdChart"_s), Qt::LeftButton);
    QVERIFY(chart->isVisible());
    QVERIFY(m_window->height() > height);
    QVERIFY(m_window->rect().contains(chart->geometry()));
    QTest::mouseClick(m_window->findChild<QPushButton*>(u"CmdChart"_s), Qt::LeftButton);
    QVERIFY(!chart->isVisible());
    QCOMPARE(m_window->height(), height);
}

QTEST_MAIN(tst_ImbalanceWindow)
#include "tst_ImbalanceWindow.moc"
