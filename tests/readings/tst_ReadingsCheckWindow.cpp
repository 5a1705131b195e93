#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "core/SubscriberTable.h"
#include "printing/PdfInspect.h"
#include "readings/ReadingsCheckModel.h"
#include "readings/ReadingsCheckWindow.h"
#include "support/ScriptedPlatform.h"
#include "support/WorkbookDump.h"

using namespace Qt::StringLiterals;

namespace {

// 40 subscribers of 2020, each with a current reading below the previous one
// in March; the even ones also a March without a tariff.
struct Fixture {
    QTemporaryDir dir;
    ScriptedPlatform platform;
    AppState state;
    std::unique_ptr<ReadingsCheckWindow> window;

    Fixture() {
        state.programFolder = dir.path();
        const int y = *YearIndex(u"2020"_s);
        state.table.setSubscriberCount(40);
        for (int r = 1; r <= 40; ++r) {
            state.table.setCell(r, ColName, u"Абонент %1"_s.arg(r));
            state.table.setCell(r, MonthColumn(y, 3, T1Previous), u"500"_s);
            state.table.setCell(r, MonthColumn(y, 3, T1Current), u"400"_s);
            state.table.setCell(r, MonthColumn(y, 4, T1Previous), u"400"_s);
            state.table.setCell(r, MonthColumn(y, 4, T1Current), u"520"_s);
            state.table.setCell(r, MonthColumn(y, 4, Tariff1), r % 2 ? u"5"_s : QString());
        }
        window = std::make_unique<ReadingsCheckWindow>(state, platform, u"2020"_s);
        window->show();
    }
    QCheckBox* kind(FindingKind k) {
        return window->findChild<QCheckBox*>(u"ChKind(%1)"_s.arg(int(k)));
    }
    QString count(FindingKind k) {
        return window->findChild<QLabel*>(u"LbCount(%1)"_s.arg(int(k)))->text();
    }
    int lines() { return window->findChild<QTableView*>(u"gList"_s)->model()->rowCount(); }
};

} // namespace

class tst_ReadingsCheckWindow : public QObject {
    Q_OBJECT
private slots:
    void kindBoxesFilterAndCount();
    void printsEveryPageLandscapeAsText();
    void exportWritesTheShownLines();
};

void tst_ReadingsCheckWindow::kindBoxesFilterAndCount() {
    Fixture f;
    QCOMPARE(f.window->windowTitle(), u"Проверка показаний"_s);
    QCOMPARE(f.window->findChild<QLabel*>(u"Lbyear"_s)->text(), u"2020 г."_s);
    for (int k = 0; k < FindingKindCount; ++k)
        QCOMPARE(f.kind(FindingKind(k))->text(), FindingKindName(FindingKind(k)));
    QCOMPARE(f.count(FindingKind::CurrentBelowPrevious), u"40"_s);
    QCOMPARE(f.count(FindingKind::MissingTariff), u"20"_s);
    QCOMPARE(f.count(FindingKind::Gap), u"0"_s);
    QCOMPARE(f.lines(), 60);
    QTest::mouseClick(f.kind(FindingKind::CurrentBelowPrevious), Qt::LeftButton);
    QCOMPARE(f.lines(), 20);
    QCOMPARE(f.count(FindingKind::CurrentBelowPrevious), u"40"_s);
    QTest::mouseClick(f.kind(FindingKind::MissingTariff), Qt::LeftButton);
    QCOMPARE(f.lines(), 0);
    QTest::mouseClick(f.kind(FindingKind::CurrentBelowPrevious), Qt::LeftButton);
    QCOMPARE(f.lines(), 40);

    // A corrected reading is gone when the list is checked again.
    const int y = *YearIndex(u"2020"_s);
    f.state.table.setCell(7, MonthColumn(y, 3, T1Current), u"510"_s);
    f.state.table.setCell(7, MonthColumn(y, 4, T1Previous), u"510"_s);
    f.window->refresh(u"2020"_s);
    QCOMPARE(f.count(FindingKind::CurrentBelowPrevious), u"39"_s);
    QCOMPARE(f.lines(), 39);
}

void tst_ReadingsCheckWindow::printsEveryPageLandscapeAsText() {
    Fixture f;
    QTest::mouseClick(f.kind(FindingKind::MissingTariff), Qt::LeftButton); // 40 lines shown
    QTest::mouseClick(f.window->findChild<QPushButton*>(u"CmdPrint"_s), Qt::LeftButton);
    QCOMPARE(f.platform.printed.size(), size_t(1));
    const auto& printed = f.platform.printed[0];
    QCOMPARE(printed.orientation, PageOrientation::Landscape);
    QCOMPARE(printed.pageCount, 2);
    QVERIFY(PdfInspect::isLandscape(printed.pdfPath));
    PdfInspect::keepPdf(printed.pdfPath, u"readings-check.pdf"_s);
    const QString text = PdfInspect::text(printed.pdfPath);
    QVERIFY2(text.contains(u"Проверка показаний 2020 г."_s), qPrintable(text));
    QVERIFY(text.contains(u"№ Абонент Месяц Вид Показания"_s));
    QVERIFY(text.contains(
        u"1 Абонент 1 Март Текущее меньше последнего Т1: текущее 400 < последнего 500"_s));
    QVERIFY(text.contains(u"40 Абонент 40 Март"_s));
    QVERIFY(text.contains(u"Лист 1 из 2"_s));
    QVERIFY(text.contains(u"Лист 2 из 2"_s));
    QVERIFY(!text.contains(u"Нет тарифа"_s));
}

void tst_ReadingsCheckWindow::exportWritesTheShownLines() {
    Fixture f;
    QTest::mouseClick(f.kind(FindingKind::CurrentBelowPrevious), Qt::LeftButton);
    const QString path = f.dir.filePath(u"check.xlsx"_s);
    f.platform.fileNames = {QString(), path};
    auto* button = f.window->findChild<QPushButton*>(u"CmdExport"_s);
    QTest::mouseClick(button, Qt::LeftButton); // cancelled
    QVERIFY(!QFile::exists(path));
    QVERIFY(f.platform.dialogProposals.back().endsWith(u"/Проверка показаний 2020.xlsx"_s));
    QTest::mouseClick(button, Qt::LeftButton);
    const QJsonObject d = DumpWorkbook(path);
    QVERIFY(!d.isEmpty());
    QCOMPARE(DumpedCell(d, u"A1"_s)[u"value"_s].toString(), u"Проверка показаний 2020 г."_s);
    QVERIFY(DumpedCell(d, u"A1"_s)[u"bold"_s].toBool());
    const QString heads[] = {u"№"_s, u"Абонент"_s, u"Месяц"_s, u"Вид"_s, u"Показания"_s};
    for (int c = 0; c < 5; ++c)
        QCOMPARE(DumpedCell(d, QChar(u'A' + c) + u"3"_s)[u"value"_s].toString(), heads[c]);
    QCOMPARE(DumpedCell(d, u"A4"_s)[u"value"_s].toDouble(), 2.0);
    QCOMPARE(DumpedCell(d, u"B4"_s)[u"value"_s].toString(), u"Абонент 2"_s);
    QCOMPARE(DumpedCell(d, u"C4"_s)[u"value"_s].toString(), u"Апрель"_s);
    QCOMPARE(DumpedCell(d, u"D4"_s)[u"value"_s].toString(), u"Нет тарифа"_s);
    QCOMPARE(DumpedCell(d, u"E4"_s)[u"value"_s].toString(), u"Т1: расход 120 кВт*ч, тариф пуст"_s);
    QCOMPARE(DumpedCell(d, u"B23"_s)[u"value"_s].toString(), u"Абонент 40"_s);
    QVERIFY(DumpedCell(d, u"B24"_s).isEmpty());
}

QTEST_MAIN(tst_ReadingsCheckWindow)
#include "tst_ReadingsCheckWindow.moc"
