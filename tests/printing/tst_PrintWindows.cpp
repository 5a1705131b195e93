#include <QAction>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include "PdfInspect.h"
#include "core/AppState.h"
#include "core/SubscriberTable.h"
#include "printing/LedgerPagePainter.h"
#include "printing/PrintFrame.h"
#include "core/YearLayout.h"
#include "printing/LedgerPrintPage.h"
#include "printing/ReadingSheetPage.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int March = 3;

void fill(AppState& state, int n) {
    SubscriberTable& t = state.table;
    t.setSubscriberCount(n);
    const int col = LedgerColumn(u"2019"_s, March);
    for (int i = 1; i <= n; ++i) {
        t.setCell(i, ColRowNumber, QString::number(i));
        t.setCell(i, ColName, u"Абонент %1"_s.arg(i));
        t.setCell(i, ColAddress, QString::number(200 + i));
        t.setCell(i, col - 10 + 9, u"%1,25"_s.arg(i));
        t.setCell(i, col - 10 + 15, u"%1,25"_s.arg(i));
        t.setCell(i, MonthColumn(2, March, T1Previous), QString::number(5000 + i));
        t.setCell(i, MonthColumn(2, March, T2Previous), QString::number(7000 + i));
    }
}

QPushButton* pageButton(PrintFrame& frame, int k) {
    return frame.findChild<QPushButton*>(u"Cmd1(%1)"_s.arg(k));
}

int visibleButtons(PrintFrame& frame) {
    int n = 0;
    for (int k = 1; k <= PrintFrame::MaxPageButtons; ++k)
        n += pageButton(frame, k)->isVisibleTo(&frame) ? 1 : 0;
    return n;
}

} // namespace

class tst_PrintWindows final : public QObject {
    Q_OBJECT
private slots:
    void ledgerPageButtons_data();
    void ledgerPageButtons();
    void ledgerPrintsTheShownPageLandscape();
    void headerColoursOnScreenOnly();
    void deleteClosesFrameAndPage();
    void sheetPagesAndPortraitPrint();
    void sheetOf501Subscribers();
};

void tst_PrintWindows::ledgerPageButtons_data() {
    QTest::addColumn<int>("subscribers");
    QTest::addColumn<int>("buttons");
    QTest::newRow("10") << 10 << 1;
    QTest::newRow("39") << 39 << 1;
    QTest::newRow("40") << 40 << 2;
    QTest::newRow("501") << 501 << 13;
}

void tst_PrintWindows::ledgerPageButtons() {
    QFETCH(int, subscribers);
    QFETCH(int, buttons);
    AppState state;
    ScriptedPlatform platform;
    fill(state, subscribers);
    PrintFrame frame(platform);
    auto* page = new LedgerPrintPage(state.table, {u"2019"_s, March});
    frame.setPage(page);
    QCOMPARE(frame.windowTitle(), u"Печать лицевого счета"_s);
    QCOMPARE(visibleButtons(frame), buttons);
    QVERIFY(frame.findChild<QToolBar*>(u"Toolbar1"_s)->isVisibleTo(&frame));
    QVERIFY(!pageButton(frame, 1)->isEnabled());
}

void tst_PrintWindows::ledgerPrintsTheShownPageLandscape() {
    AppState state;
    ScriptedPlatform platform;
    fill(state, 40);
    PrintFrame frame(platform);
    auto* page = new LedgerPrintPage(state.table, {u"2019"_s, March});
    frame.setPage(page);
    QCOMPARE(page->dateText(), u"2019   Март"_s);

    frame.show();
    PdfInspect::screenshot(*page, u"ledger-print.png"_s);
    pageButton(frame, 2)->click();
    QCOMPARE(page->shownPage(), 2);
    QVERIFY(!pageButton(frame, 2)->isEnabled());
    QVERIFY(pageButton(frame, 1)->isEnabled());

    frame.findChild<QAction*>(u"Print"_s)->trigger();
    QCOMPARE(platform.printed.size(), size_t(1));
    const auto& printed = platform.printed.front();
    QCOMPARE(printed.orientation, PageOrientation::Landscape);
    QCOMPARE(printed.pageCount, 1);
    QVERIFY(PdfInspect::isLandscape(printed.pdfPath));
    PdfInspect::keepPdf(printed.pdfPath, u"ledger-print.pdf"_s);
    const QString text = PdfInspect::text(printed.pdfPath);
    QVERIFY2(text.contains(u"Лист 2"_s), qPrintable(text));
    QVERIFY(text.contains(u"2019 Март"_s));
    QVERIFY(text.contains(u"Абонент 40"_s));
    QVERIFY(!text.contains(u"Абонент 39"_s));
    QVERIFY(text.contains(u"Сумма столбцов:"_s));
    // 1,25 + 2,25 + ... + 40,25
    QVERIFY(text.contains(u"830,00"_s));
    QVERIFY(text.contains(u"Остаток на нач. мес., р."_s));
    QVERIFY(text.contains(u"ИТОГО к оплате"_s));
}

void tst_PrintWindows::headerColoursOnScreenOnly() {
    AppState state;
    fill(state, 3);
    const LedgerPrintModel model(state.table, LedgerColumn(u"2019"_s, March));
    const auto colours = [&](bool forPrint) {
        QImage image(1115, 775, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(1 / 15.0, 1 / 15.0);
        PaintLedgerPage(painter, model, u"2019   Март"_s, forPrint);
        painter.end();
        std::pair<int, int> blueRed{0, 0};
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.blue() > 200 && c.red() < 80 && c.green() < 80)
                    ++blueRed.first;
                if (c.red() > 200 && c.blue() < 80 && c.green() < 80)
                    ++blueRed.second;
            }
        return blueRed;
    };
    const auto screen = colours(false);
    QVERIFY(screen.first > 50);
    QVERIFY(screen.second > 50);
    QCOMPARE(colours(true), (std::pair<int, int>{0, 0}));
}

void tst_PrintWindows::deleteClosesFrameAndPage() {
    AppState state;
    ScriptedPlatform platform;
    fill(state, 5);
    PrintFrame frame(platform);
    auto* page = new LedgerPrintPage(state.table, {u"2019"_s, March});
    frame.setPage(page);
    frame.show();
    QSignalSpy pageClosed(page, &PrintPage::closed);
    QSignalSpy frameClosed(&frame, &PrintFrame::closed);
    frame.findChild<QAction*>(u"Delete"_s)->trigger();
    QCOMPARE(pageClosed.count(), 1);
    QCOMPARE(frameClosed.count(), 1);
    QVERIFY(!frame.isVisible());
}

void tst_PrintWindows::sheetPagesAndPortraitPrint() {
    AppState state;
    ScriptedPlatform platform;
    fill(state, 70);
    PrintFrame frame(platform);
    auto* page = new ReadingSheetPage(state.table, {u"2019"_s, March});
    frame.setPage(page);
    QCOMPARE(frame.windowTitle(), u"Печать ведомости для снятия показаний счетчиков"_s);
    QCOMPARE(visibleButtons(frame), 2);
    QCOMPARE(page->dateText(), u"Март 2019"_s);
    frame.show();
    PdfInspect::screenshot(*page, u"reading-sheet.png"_s);

    frame.findChild<QAction*>(u"Print"_s)->trigger();
    QCOMPARE(platform.printed.size(), size_t(1));
    QVERIFY(!PdfInspect::isLandscape(platform.printed[0].pdfPath));
    PdfInspect::keepPdf(platform.printed[0].pdfPath, u"reading-sheet.pdf"_s);
    QCOMPARE(platform.printed[0].orientation, PageOrientation::Portrait);
    QString text = PdfInspect::text(platform.printed[0].pdfPath);
    QVERIFY2(text.contains(u"Лист 1"_s), qPrintable(text));
    QVERIFY(text.contains(u"Март 2019"_s));
    QVERIFY(text.contains(u"Тек. показ. по Т1"_s));
    QVERIFY(text.contains(u"Предыд. пок. по Т2"_s));
    QVERIFY(text.contains(u"Абонент 63 263 5063 7063"_s));
    QVERIFY(!text.contains(u"Абонент 64"_s));

    pageButton(frame, 2)->click();
    frame.findChild<QAction*>(u"Print"_s)->trigger();
    text = PdfInspect::text(platform.printed[1].pdfPath);
    QVERIFY(text.contains(u"Лист 2"_s));
    QVERIFY(text.contains(u"Абонент 70"_s));
    QVERIFY(!text.contains(u"Абонент 63"_s));

    QSignalSpy closed(page, &PrintPage::closed);
    frame.close();
    QCOMPARE(closed.count(), 1);
}

void tst_PrintWindows::sheetOf501Subscribers() {
    AppState state;
    ScriptedPlatform platform;
    fill(state, 501);
    PrintFrame frame(platform);
    auto* page = new ReadingSheetPage(state.table, {u"2019"_s, March});
    frame.setPage(page);
    QCOMPARE(visibleButtons(frame), 8);
    pageButton(frame, 8)->click();
    QCOMPARE(page->model().rowCount(), 60);
    QCOMPARE(page->model().text(0, 0), u"442"_s);
}

QTEST_MAIN(tst_PrintWindows)
#include "tst_PrintWindows.moc"
