// The month cell paints itself until its editor is needed: it must look
// the same before and after, and a user's keys, clicks and Tab must reach
// the editor as they reached the line edit the cell used to be.
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include "readings/MonthCell.h"

using namespace Qt::StringLiterals;

class tst_MonthCell : public QObject {
    Q_OBJECT
private slots:
    void looksTheSameWithItsEditor_data();
    void looksTheSameWithItsEditor();
    void textAndSignalBeforeAndAfterTheEditor();
    void keysAndClicksReachTheEditor();
    void dragMakesAnEditorThatTakesTheDrop();
    void tabRunsThroughCellsBothWays();
    void editorEventsGoToTheWatcher();
};

namespace {

// A window of cells laid out as the main window lays out a month row.
struct Row {
    QWidget window;
    std::vector<MonthCell*> cells;
    explicit Row(int count, bool result = false) {
        QFont f(u"Liberation Sans"_s);
        f.setPointSizeF(8);
        window.setFont(f);
        for (int i = 0; i < count; ++i) {
            auto* c = new MonthCell(1, i, result, &window);
            c->setGeometry(10 + i * 60, 10, 57, 21);
            cells.push_back(c);
        }
        window.resize(20 + count * 60, 41);
    }
};

} // namespace

void tst_MonthCell::looksTheSameWithItsEditor_data() {
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("warning");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<QColor>("background");
    const QColor cyan(0x80, 0xff, 0xff), yellow(0xff, 0xff, 0xc0);
    QTest::newRow("entry, centred") << false << u"23310"_s << false << false << true << cyan;
    QTest::newRow("entry, empty") << false << QString() << false << false << true << cyan;
    // After a cell of the same size in another colour.
    QTest::newRow("entry, other colour") << false << u"23310"_s << false << false << true << yellow;
    QTest::newRow("entry, red") << false << u"9739"_s << false << true << true << cyan;
    QTest::newRow("entry, wider than the cell")
        << false << u"1234567890123456789"_s << false << false << true << cyan;
    QTest::newRow("result, right") << true << u"1234,27"_s << false << false << true << cyan;
    QTest::newRow("result, bold") << true << u"15601,75"_s << true << false << true << cyan;
    QTest::newRow("result, no frame") << true << u"1878"_s << false << false << false << cyan;
}

void tst_MonthCell::looksTheSameWithItsEditor() {
    QFETCH(bool, result);
    QFETCH(QString, text);
    QFETCH(bool, bold);
    QFETCH(bool, warning);
    QFETCH(bool, frame);
    QFETCH(QColor, background);
    Row row(1, result);
    MonthCell* cell = row.cells[0];
    // Painted once before: what it keeps of that paint must not show.
    cell->setText(u"8"_s);
    cell->grab();
    cell->setText(text);
    cell->grab();
    cell->setBackground(background);
    if (bold) {
        QFont f = cell->font();
        f.setBold(true);
        cell->setFont(f);
    }
    if (warning)
        cell->setWarning(u"меньше"_s);
    cell->setFrame(frame);
    // Not shown: a shown window would give the first cell its focus.

    const QImage painted = cell->grab().toImage();
    QVERIFY(!cell->hasEditor());
    cell->editor();
    QVERIFY(cell->hasEditor());
    const QImage edited = cell->grab().toImage();
    QCOMPARE(edited.size(), painted.size());
    QCOMPARE(edited, painted);
    // Not two blank pictures: the cell shows its colour and its text.
    QCOMPARE(painted.pixelColor(painted.width() / 2, 4), background);
    if (!text.isEmpty()) {
        // Text pixels, smoothed at their edges: dark, or for a warning red.
        const auto isInk = [warning](QColor c) {
            return warning ? c.red() > 150 && c.green() < 100 && c.blue() < 100
                           : qGray(c.rgb()) < 100;
        };
        bool inked = false;
        for (int y = 2; y < painted.height() - 2 && !inked; ++y)
            for (int x = 2; x < painted.width() - 2 && !inked; ++x)
                inked = isInk(painted.pixelColor(x, y));
        QVERIFY(inked);
    }
}

void tst_MonthCell::textAndSignalBeforeAndAfterTheEditor() {
    Row row(1);
    MonthCell* cell = row.cells[0];
    QSignalSpy changed(cell, &MonthCell::textChanged);
    cell->setText(u"100"_s);
    cell->setText(u"100"_s); // the same text is no change
    QCOMPARE(changed.size(), 1);
    QCOMPARE(cell->cursorPosition(), 3);
    cell->setCursorPosition(1);

    QLineEdit* editor = cell->editor();
    QCOMPARE(editor->text(), u"100"_s);
    QCOMPARE(editor->cursorPosition(), 1);
    QVERIFY(editor->alignment() & Qt::AlignHCenter);
    QVERIFY(!editor->isReadOnly());
    cell->setText(u"200"_s);
    QCOMPARE(editor->text(), u"200"_s);
    QCOMPARE(changed.size(), 2);
    editor->setText(u"300"_s);
    QCOMPARE(cell->text(), u"300"_s);
    QCOMPARE(changed.size(), 3);
    QCOMPARE(changed.last().at(0).toString(), u"300"_s);
    cell->clear();
    QVERIFY(editor->text().isEmpty());

    Row results(1, true);
    QVERIFY(results.cells[0]->editor()->isReadOnly());
    QCOMPARE(results.cells[0]->editor()->focusPolicy(), Qt::ClickFocus);
}

void tst_MonthCell::keysAndClicksReachTheEditor() {
    Row row(2);
    row.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&row.window));
    MonthCell* cell = row.cells[0];
    cell->setText(u"12345"_s);

    // A click on a cell with no editor yet focuses the editor and puts the
    // cursor where the click was, as a line edit would.
    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(3, 10));
    QVERIFY(cell->hasEditor());
    QVERIFY(cell->hasFocus());
    QCOMPARE(QApplication::focusWidget(), cell->editor());
    QCOMPARE(cell->cursorPosition(), 0);
    QTest::keyClicks(cell, u"9"_s);
    QCOMPARE(cell->text(), u"912345"_s);
    cell->selectAll();
    QTest::keyClicks(cell, u"77"_s);
    QCOMPARE(cell->text(), u"77"_s);

    // Keys sent to a cell that has no editor yet make it and are typed.
    MonthCell* other = row.cells[1];
    other->setFocus(Qt::MouseFocusReason);
    QVERIFY(other->hasFocus());
    QVERIFY(!cell->hasFocus());
    QTest::keyClicks(other, u"5"_s);
    QCOMPARE(other->text(), u"5"_s);
}

// A drag over a cell makes its editor, which lies under the pointer from
// then on and takes the drop, and leaves the entry to it.
void tst_MonthCell::dragMakesAnEditorThatTakesTheDrop() {
    Row row(1);
    MonthCell* cell = row.cells[0];
    cell->setText(u"12"_s);
    QVERIFY(cell->acceptDrops());
    QMimeData data;
    data.setText(u"345"_s);
    const QPoint at(cell->width() - 3, cell->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(cell, &enter);
    QVERIFY(!enter.isAccepted());
    QVERIFY(cell->hasEditor());
    QCOMPARE(cell->childAt(at), cell->editor());
    QVERIFY(cell->editor()->acceptDrops());
    Row results(1, true);
    QVERIFY(!results.cells[0]->acceptDrops());
}

void tst_MonthCell::tabRunsThroughCellsBothWays() {
    Row row(4);
    for (size_t i = 1; i < row.cells.size(); ++i)
        QWidget::setTabOrder(row.cells[i - 1], row.cells[i]);
    row.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&row.window));
    row.cells[0]->setFocus(Qt::OtherFocusReason);
    for (size_t i = 1; i < row.cells.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(row.cells[i]->hasFocus(), qPrintable(QString::number(i)));
    }
    // Back over cells that have editors now: none holds the focus on itself.
    for (size_t i = row.cells.size() - 1; i-- > 0;) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QVERIFY2(row.cells[i]->hasFocus(), qPrintable(QString::number(i)));
    }
}

void tst_MonthCell::editorEventsGoToTheWatcher() {
    struct Watcher : QObject {
        std::vector<std::pair<MonthCell*, QEvent::Type>> seen;
        bool eventFilter(QObject* watched, QEvent* event) override {
            const QEvent::Type t = event->type();
            if (t == QEvent::FocusIn || t == QEvent::FocusOut || t == QEvent::KeyPress)
                seen.emplace_back(MonthCell::of(watched), t);
            return false;
        }
    } watcher;
    Row row(2);
    for (MonthCell* c : row.cells)
        c->setEditorWatcher(&watcher);
    row.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&row.window));
    QVERIFY(!MonthCell::of(nullptr));
    QVERIFY(!MonthCell::of(&row.window));

    // The cell's own passing focus is not seen: one entry, one leaving.
    row.cells[0]->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(row.cells[0], Qt::Key_1);
    row.cells[1]->setFocus(Qt::MouseFocusReason);
    const std::vector<std::pair<MonthCell*, QEvent::Type>> expected = {
        {row.cells[0], QEvent::FocusIn},
        {row.cells[0], QEvent::KeyPress},
        {row.cells[0], QEvent::FocusOut},
        {row.cells[1], QEvent::FocusIn},
    };
    QCOMPARE(watcher.seen, expected);
}

QTEST_MAIN(tst_MonthCell)
#include "tst_MonthCell.moc"
