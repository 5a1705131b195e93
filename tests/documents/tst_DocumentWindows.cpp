#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include "../printing/PdfInspect.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "core/SubscriberTable.h"
#include "documents/ReceiptWindow.h"
#include "documents/CashOrderWindow.h"
#include "printing/PrintFrame.h"
#include "core/YearLayout.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int Row = 3;
constexpr int March = 3;
const QString Section = u"Nastr"_s;
// The documents of subscriber 3 for March 2019.
const DocumentRequest Document{Row, March, u"2019"_s};

int slotColumn(int slot) {
    return LedgerColumn(u"2019"_s, March) - 10 + slot;
}

// Subscriber 3 with March 2019 filled in.
void fill(AppState& state) {
    SubscriberTable& t = state.table;
    t.setSubscriberCount(5);
    t.setCell(Row, ColName, u"Иванов Иван Иванович"_s);
    t.setCell(Row, slotColumn(T1Current), u"1234,5"_s);
    t.setCell(Row, slotColumn(T1Previous), u"1200"_s);
    t.setCell(Row, slotColumn(T2Current), u"150"_s);
    t.setCell(Row, slotColumn(Tariff1), u"5,92"_s);
    t.setCell(Row, slotColumn(Tariff2), u"3,02"_s);
    t.setCell(Row, slotColumn(CompCoef1), u"1,052632"_s);
    t.setCell(Row, slotColumn(CompCoef2), u"1,000000"_s);
    t.setCell(Row, slotColumn(ChargeWithComp), u"1134,50"_s);
    t.setCell(Row, slotColumn(14), u"100,00"_s);
    t.setCell(Row, slotColumn(15), u"1234,50"_s);
}

void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::KeyAction::Click, w, Qt::Key_unknown, c, Qt::NoModifier);
}

void doubleClickLabel(CashOrderWindow& order, int i) {
    QTest::mouseDClick(&order, Qt::LeftButton, Qt::NoModifier,
                       CashOrderWindow::labelGeometry(i).center());
}

} // namespace

class tst_DocumentWindows final : public QObject {
    Q_OBJECT
private slots:
    void init();

    void receiptPrintsOneCopy();
    void receiptPrintsTwoCopiesOnOnePage();
    void receiptMessagesForEmptyT1_data();
    void receiptMessagesForEmptyT1();
    void receiptKeepsPayByAndCopies();
    void cancelledPrintKeepsReceiptOpen();
    void receiptInFrameHidesToolbarAndClosesIt();

    void orderPrintsOnItsBlank();
    void orderNumberAdvancesAndIsStored();
    void orderWithoutVat();
    void orderFormatErrorShownOnce();
    void twinsAreEditedTogether();
    void enterWalksThroughEveryLabel();
    void escapeDropsTheEdit();
};

void tst_DocumentWindows::init() {
    // Each test starts from the defaults of the settings store.
    ScriptedPlatform platform;
    for (const QString& key : {u"txtOPL"_s, u"Ch100"_s, u"lb0"_s, u"lb1"_s, u"lb4"_s, u"lb14"_s,
                               u"lb19"_s, u"lb20"_s, u"BezNDS"_s})
        platform.settings().setText(Section, key, Settings::defaultText(Section, key));
    platform.settings().sync();
}

void tst_DocumentWindows::receiptPrintsOneCopy() {
    AppState state;
    ScriptedPlatform platform;
    fill(state);
    ReceiptWindow receipt(state.table, platform, Document);
    QVERIFY(platform.messages.empty());
    QCOMPARE(receipt.content().values[3], u"34,5"_s);
    QCOMPARE(receipt.content().values[6], u"150"_s);
    QCOMPARE(receipt.height(), 8000 / 15);

    receipt.findChild<QLineEdit*>(u"txtOPL(0)"_s)->setText(u"25.04.2019"_s);
    receipt.show();
    QSignalSpy closed(&receipt, &ReceiptWindow::closed);
    receipt.findChild<QPushButton*>(u"Command1"_s)->click();
    QCOMPARE(platform.printed.size(), size_t(1));
    QCOMPARE(closed.count(), 1);
    QVERIFY(!receipt.isVisible());

    const QString pdf = platform.printed[0].pdfPath;
    QVERIFY(!PdfInspect::isLandscape(pdf));
    const QString text = PdfInspect::text(pdf);
    QVERIFY2(text.contains(u"Март 2019"_s), qPrintable(text));
    QVERIFY(text.contains(u"Иванов Иван Иванович"_s));
    QVERIFY(text.contains(u"Показания сч-ка на конец месяца по Т1 1234,5 кВт*Ч"_s));
    QVERIFY(text.contains(u"Расход по Т1 34,5 кВт*Ч"_s));
    QVERIFY(text.contains(u"Коэфициент компенсации разбаланса по Т1 1,052632 -------"_s));
    QVERIFY(text.contains(u"ИТОГО К ОПЛАТЕ 1234,50 руб."_s));
    QVERIFY(text.contains(u"Оплата до 25.04.2019"_s));
    QCOMPARE(text.count(u"Иванов Иван Иванович"_s), 1);
    // The print button and the copies box stay off the paper.
    QVERIFY(!text.contains(u"2 экземпляра"_s));
    QVERIFY(!text.contains(u"Печать"_s));
}

void tst_DocumentWindows::receiptPrintsTwoCopiesOnOnePage() {
    AppState state;
    ScriptedPlatform platform;
    fill(state);
    ReceiptWindow receipt(state.table, platform, Document);
    receipt.findChild<QCheckBox*>(u"Ch1"_s)->setChecked(true);
    QCOMPARE(receipt.height(), 16825 / 15);
    receipt.show();
    PdfInspect::screenshot(receipt, u"receipt.png"_s);
    receipt.findChild<QPushButton*>(u"Command1"_s)->click();
    QCOMPARE(platform.printed.size(), size_t(1));
    QCOMPARE(platform.printed[0].pageCount, 1);
    PdfInspect::keepPdf(platform.printed[0].pdfPath, u"receipt.pdf"_s);
    const QString text = PdfInspect::text(platform.printed[0].pdfPath);
    QCOMPARE(text.count(u"Иванов Иван Иванович"_s), 2);
    QCOMPARE(text.count(u"Расход по Т1 34,5"_s), 2);
    QVERIFY(text.contains(u"ИТОГО К ОПЛАТЕ, Руб 1234,50"_s));
    // No pay-by date: no caption on either copy.
    QVERIFY2(!text.contains(u"Оплата до"_s), qPrintable(text));
}

void tst_DocumentWindows::receiptMessagesForEmptyT1_data() {
    QTest::addColumn<bool>("endEmpty");
    QTest::addColumn<bool>("startEmpty");
    QTest::addColumn<QStringList>("messages");
    const QString end = u"Поле (показания счетчика на комец месяца) не заполнено!"_s;
    const QString start = u"Поле (показания счетчика на начало месяца) не заполнено!"_s;
    QTest::newRow("end") << true << false << QStringList{end};
    QTest::newRow("start") << false << true << QStringList{start};
    QTest::newRow("both") << true << true << QStringList{end, start};
}

void tst_DocumentWindows::receiptMessagesForEmptyT1() {
    QFETCH(bool, endEmpty);
    QFETCH(bool, startEmpty);
    QFETCH(QStringList, messages);
    AppState state;
    ScriptedPlatform platform;
    fill(state);
    if (endEmpty)
        state.table.setCell(Row, slotColumn(T1Current), QString());
    if (startEmpty)
        state.table.setCell(Row, slotColumn(T1Previous), QString());
    ReceiptWindow receipt(state.table, platform, Document);
    QStringList shown;
    for (const auto& m : platform.messages) {
        QCOMPARE(m.title, u"Ошибка ввода"_s);
        QCOMPARE(m.icon, MsgIcon::Critical);
        shown << m.text;
    }
    QCOMPARE(shown, messages);
    // The receipt opens all the same.
    QCOMPARE(receipt.content().name, u"Иванов Иван Иванович"_s);
}

void tst_DocumentWindows::receiptKeepsPayByAndCopies() {
    AppState state;
    ScriptedPlatform platform;
    fill(state);
    {
        ReceiptWindow receipt(state.table, platform, Document);
        QVERIFY(!receipt.twoCopies());
        receipt.findChild<QLineEdit*>(u"txtOPL(0)"_s)->setText(u"до 25 числа"_s);
        receipt.findChild<QCheckBox*>(u"Ch1"_s)->setChecked(true);
        receipt.close();
    }
    QCOMPARE(platform.settings().text(Section, u"txtOPL"_s), u"до 25 числа"_s);
    QCOMPARE(platform.settings().text(Section, u"Ch100"_s), u"1"_s);
    fill(state);
    ReceiptWindow again(state.table, platform, Document);
    QCOMPARE(again.payBy(), u"до 25 числа"_s);
    QVERIFY(again.twoCopies());
    QCOMPARE(again.height(), 16825 / 15);
}

void tst_DocumentWindows::cancelledPrintKeepsReceiptOpen() {
    AppState state;
    ScriptedPlatform platform;
    platform.printAccepted = false;
    fill(state);
    ReceiptWindow receipt(state.table, platform, Document);
    receipt.show();
    QSignalSpy closed(&receipt, &ReceiptWindow::closed);
    receipt.findChild<QPushButton*>(u"Command1"_s)->click();
    QCOMPARE(closed.count(), 0);
    QVERIFY(receipt.isVisible());
}

void tst_DocumentWindows::receiptInFrameHidesToolbarAndClosesIt() {
    AppState state;
    ScriptedPlatform platform;
    fill(state);
    PrintFrame frame(platform);
    auto* receipt = new ReceiptWindow(state.table, platform, Document);
    frame.setPage(receipt);
    frame.show();
    QCOMPARE(frame.windowTitle(), u"Квитанция"_s);
    QVERIFY(!frame.findChild<QToolBar*>(u"Toolbar1"_s)->isVisible());
    QVERIFY(!frame.findChild<QPushButton*>(u"Cmd1(1)"_s)->isVisible());
    QSignalSpy frameClosed(&frame, &PrintFrame::closed);
    receipt->findChild<QPushButton*>(u"Command1"_s)->click();
    QTRY_COMPARE(frameClosed.count(), 1);
    QVERIFY(!frame.isVisible());
}

void tst_DocumentWindows::orderPrintsOnItsBlank() {
    AppState state;
    ScriptedPlatform platform;
    fill(state);
    CashOrderWindow order(state.table, platform, Document);
    QVERIFY(platform.messages.empty());
    QCOMPARE(order.label(2), u"10 декабря 2026 г."_s);
    QCOMPARE(order.label(11), u"10.12.2026"_s);
    QCOMPARE(order.label(12), u"1234,50 руб."_s);
    QCOMPARE(order.label(15), u" Одна тысяча двести тридцать четыре рубля 50 копеек"_s);
    QCOMPARE(order.label(16), u"НДС 22% - 222,61 руб."_s);
    order.show();
    PdfInspect::screenshot(order, u"order.png"_s);

    QSignalSpy closed(&order, &CashOrderWindow::closed);
    order.findChild<QPushButton*>(u"Command1"_s)->click();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(platform.printed.size(), size_t(1));
    const QString pdf = platform.printed[0].pdfPath;
    PdfInspect::keepPdf(pdf, u"order.pdf"_s);
    QVERIFY(PdfInspect::isLandscape(pdf));
    const QString text = PdfInspect::text(pdf);
    for (const QString& key :
         {u"Унифицированная форма № КО-1"_s, u"0310001"_s, u"ПРИХОДНЫЙ КАССОВЫЙ ОРДЕР"_s,
          u"КВИТАНЦИЯ"_s, u"к приходному кассовому ордеру №"_s, u"Главный бухгалтер"_s,
          u"Получил кассир"_s, u"М. П. (штампа)"_s, u"Иванов Иван Иванович"_s,
          u"Принято от: Иванов Иван Иванович"_s, u"10 декабря 2026 г."_s, u"10.12.2026"_s,
          u"1234,50 руб."_s, u"В том числе НДС 22% - 222,61 руб."_s})
        QVERIFY2(text.contains(key), qPrintable(key + u" not in: "_s + text));
    QVERIFY(text.contains(u"Одна тысяча двести тридцать четыре рубля"_s));
    QVERIFY(!text.contains(u"Печать"_s));
}

void tst_DocumentWindows::orderNumberAdvancesAndIsStored() {
    AppState state;
    ScriptedPlatform platform;
    fill(state);
    platform.settings().setText(Section, u"lb1"_s, u"41"_s);
    {
        CashOrderWindow order(state.table, platform, Document);
        QCOMPARE(order.label(1), u"42"_s);
        QCOMPARE(order.label(10), u"42"_s);
        order.close();
    }
    QCOMPARE(platform.settings().text(Section, u"lb1"_s), u"42"_s);

    // An unreadable stored number starts again at 1.
    platform.settings().setText(Section, u"lb1"_s, u"б/н"_s);
    fill(state);
    CashOrderWindow next(state.table, platform, Document);
    QCOMPARE(next.label(1), u"1"_s);
}

void tst_DocumentWindows::orderWithoutVat() {
    AppState state;
    ScriptedPlatform platform;
    platform.clock = QDateTime(QDate(2025, 6, 30), QTime(10, 0));
    fill(state);
    {
        CashOrderWindow order(state.table, platform, Document);
        order.show();
        QVERIFY(QTest::qWaitForWindowExposed(&order));
        auto* noVat = order.findChild<QCheckBox*>(u"ChNDS"_s);
        QVERIFY(noVat && noVat->isVisible());
        QCOMPARE(noVat->text(), u"без НДС"_s);
        QVERIFY(!noVat->isChecked());
        // The rate of the order's date.
        QCOMPARE(order.label(7), u"В том числе НДС 20% - 205,75 руб."_s);
        QCOMPARE(order.label(16), u"НДС 20% - 205,75 руб."_s);

        QTest::mouseClick(noVat, Qt::LeftButton, Qt::NoModifier, QPoint(8, noVat->height() / 2));
        QVERIFY(noVat->isChecked());
        QCOMPARE(order.label(7), u"Без налога (НДС)"_s);
        QCOMPARE(order.label(16), u"Без налога (НДС)"_s);
        QCOMPARE(platform.settings().text(Section, u"BezNDS"_s), u"1"_s);
        order.findChild<QPushButton*>(u"Command1"_s)->click();
    }
    QCOMPARE(platform.printed.size(), size_t(1));
    const QString text = PdfInspect::text(platform.printed[0].pdfPath);
    QCOMPARE(text.count(u"Без налога (НДС)"_s), 2);
    QVERIFY2(!text.contains(u"НДС 20%"_s), qPrintable(text));

    // The next order keeps the choice until it is taken back.
    fill(state);
    CashOrderWindow next(state.table, platform, Document);
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    auto* noVat = next.findChild<QCheckBox*>(u"ChNDS"_s);
    QVERIFY(noVat->isChecked());
    QCOMPARE(next.label(16), u"Без налога (НДС)"_s);
    QTest::mouseClick(noVat, Qt::LeftButton, Qt::NoModifier, QPoint(8, noVat->height() / 2));
    QCOMPARE(next.label(7), u"В том числе НДС 20% - 205,75 руб."_s);
    QCOMPARE(next.label(16), u"НДС 20% - 205,75 руб."_s);
    QCOMPARE(platform.settings().text(Section, u"BezNDS"_s), u"0"_s);
}

void tst_DocumentWindows::orderFormatErrorShownOnce() {
    AppState state;
    ScriptedPlatform platform;
    fill(state);
    state.table.setCell(Row, slotColumn(15), u"-50,00"_s);
    CashOrderWindow order(state.table, platform, Document);
    QCOMPARE(platform.messages.size(), size_t(1));
    QCOMPARE(platform.messages[0].title, u"Ошибка формата"_s);
    QCOMPARE(platform.messages[0].text, u"Неправильный формат введенной суммы"_s);
    QCOMPARE(platform.messages[0].icon, MsgIcon::Critical);
    QCOMPARE(order.label(12), u"-50,00 руб."_s);
    QVERIFY(order.label(15).isEmpty());
    QVERIFY(order.label(6).isEmpty());
    QVERIFY(order.label(16).isEmpty());
}

void tst_DocumentWindows::twinsAreEditedTogether() {
    AppState state;
    ScriptedPlatform platform;
    fill(state);
    CashOrderWindow order(state.table, platform, Document);
    order.show();
    QVERIFY(QTest::qWaitForWindowExposed(&order));
    auto* editor = order.findChild<QLineEdit*>(u"txt1"_s);

    // The organisation on the receipt half changes the order half too.
    doubleClickLabel(order, 0);
    QVERIFY(editor->isVisible());
    QCOMPARE(order.editedLabel(), 0);
    editor->clear();
    typeText(editor, u"ТСН Рассвет"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(order.label(0), u"ТСН Рассвет"_s);
    QCOMPARE(order.label(9), u"ТСН Рассвет"_s);
    QCOMPARE(order.editedLabel(), 1); // Enter goes on to the next label

    // A date has no twin.
    doubleClickLabel(order, 11);
    QCOMPARE(order.editedLabel(), 11);
    editor->clear();
    typeText(editor, u"01.01.2027"_s);
    QTest::mouseDClick(editor, Qt::LeftButton);
    QCOMPARE(order.editedLabel(), -1); // a double click commits and stops
    QCOMPARE(order.label(11), u"01.01.2027"_s);
    QCOMPARE(order.label(2), u"10 декабря 2026 г."_s);
    QCOMPARE(order.label(8), u"10 декабря 2026 г."_s);

    // The signatory on the order half changes the receipt half, and is kept.
    doubleClickLabel(order, 20);
    editor->clear();
    typeText(editor, u"Кассир К. К."_s);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(order.editedLabel(), -1); // the last label ends the walk
    QCOMPARE(order.label(18), u"Кассир К. К."_s);
    order.close();
    QCOMPARE(platform.settings().text(Section, u"lb20"_s), u"Кассир К. К."_s);
    QCOMPARE(platform.settings().text(Section, u"lb0"_s), u"ТСН Рассвет"_s);
}

void tst_DocumentWindows::enterWalksThroughEveryLabel() {
    AppState state;
    ScriptedPlatform platform;
    fill(state);
    CashOrderWindow order(state.table, platform, Document);
    order.show();
    QVERIFY(QTest::qWaitForWindowExposed(&order));
    auto* editor = order.findChild<QLineEdit*>(u"txt1"_s);
    std::array<QString, OrderLayout::Labels> before;
    for (int i = 0; i < OrderLayout::Labels; ++i)
        before[size_t(i)] = order.label(i);
    doubleClickLabel(order, 0);
    for (int i = 0; i < OrderLayout::Labels; ++i) {
        QCOMPARE(order.editedLabel(), i);
        QCOMPARE(editor->text(), before[size_t(i)]);
        QTest::keyClick(editor, Qt::Key_Return);
    }
    QCOMPARE(order.editedLabel(), -1);
    QVERIFY(!editor->isVisible());
    for (int i = 0; i < OrderLayout::Labels; ++i)
        QCOMPARE(order.label(i), before[size_t(i)]);
}

void tst_DocumentWindows::escapeDropsTheEdit() {
    AppState state;
    ScriptedPlatform platform;
    fill(state);
    CashOrderWindow order(state.table, platform, Document);
    order.show();
    QVERIFY(QTest::qWaitForWindowExposed(&order));
    auto* editor = order.findChild<QLineEdit*>(u"txt1"_s);
    doubleClickLabel(order, 13);
    editor->clear();
    typeText(editor, u"Петров"_s);
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!editor->isVisible());
    QCOMPARE(order.label(13), u"Иванов Иван Иванович"_s);

    // A click on the blank drops it as well.
    doubleClickLabel(order, 13);
    typeText(editor, u"Петров"_s);
    QTest::mouseClick(&order, Qt::LeftButton, Qt::NoModifier, QPoint(470, 300));
    QVERIFY(!editor->isVisible());
    QCOMPARE(order.label(13), u"Иванов Иван Иванович"_s);
}

QTEST_MAIN(tst_DocumentWindows)
#include "tst_DocumentWindows.moc"
