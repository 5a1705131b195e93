#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "../printing/PdfInspect.h"
#include "DebtorsFixture.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "documents/PayeeDetails.h"
#include "documents/SamplePayee.h"
#include "ledger/DebtorsModel.h"
#include "ledger/LedgerWindow.h"
#include "storage/Database.h"
#include "ledger/ReconciliationWindow.h"
#include "support/ScriptedPlatform.h"
#include "support/WorkbookDump.h"

using namespace Qt::StringLiterals;

// The ledger's payment commands as the treasurer uses them: the month's
// receipts and the debtors' list of the shown month.
class tst_LedgerPayments : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void monthReceiptsAfterAnEdit();
    void receiptPdfsWhileACellIsEdited();
    void debtorsListShowsPrintsAndExports();
    void longListRepeatsTheHeader();
    void plotsSortAsCounted();

private:
    void open();
    QLineEdit* chargeSecondSubscriber();
    ReconciliationWindow* openReconciliation();

    QTemporaryDir m_dir;
    AppState m_state;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<LedgerWindow> m_w;
};

void tst_LedgerPayments::init() {
    m_state = AppState();
    m_platform = std::make_unique<ScriptedPlatform>();
    m_database = std::make_unique<Database>(m_state.table, *m_platform,
                                            m_dir.filePath(u"Ostrevanka21.spb"_s));
    Settings& s = m_platform->settings();
    for (int i = 0; i < PayeeFieldCount; ++i)
        s.setText(PayeeDetails::Section, PayeeDetails::key(PayeeField(i)), QString());
    s.setText(u"Nastr"_s, u"Ch100"_s, u"0"_s);
    DebtorsFixture::fill(m_state.table);
    m_state.programFolder = m_dir.path();
}

void tst_LedgerPayments::cleanup() {
    m_w.reset();
    m_database.reset();
    m_platform.reset();
}

void tst_LedgerPayments::open() {
    m_w = std::make_unique<LedgerWindow>(m_state, *m_database, *m_platform,
                                         MonthRequest{DebtorsFixture::Year, DebtorsFixture::Month});
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w.get()));
}

// Subscriber 2 is charged "Прочее" 75 in the grid, Enter accepts it; the
// editor then stands open on the next cell.
QLineEdit* tst_LedgerPayments::chargeSecondSubscriber() {
    auto* grid = m_w->findChild<QTableView*>(u"g"_s);
    const QModelIndex cell = grid->model()->index(1, LgOtherCharge);
    grid->setCurrentIndex(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->visualRect(cell).center());
    auto* editor = m_w->findChild<QLineEdit*>(u"txtg"_s);
    if (!editor->isVisible())
        return nullptr;
    QTest::keyClicks(editor, u"75"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    return editor;
}

ReconciliationWindow* tst_LedgerPayments::openReconciliation() {
    auto* button = m_w->findChild<QToolButton*>(u"CmdSverka"_s);
    if (!button)
        return nullptr;
    QTest::mouseClick(button, Qt::LeftButton);
    return m_w->sverkaWindow();
}

void tst_LedgerPayments::monthReceiptsAfterAnEdit() {
    PayeeDetails payee;
    payee[PayeeField::Name] = u"СНТ «Остреванка»"_s;
    payee[PayeeField::Inn] = u"7707083893"_s;
    payee[PayeeField::Account] = u"40703810538000001234"_s;
    payee[PayeeField::BankName] = u"ПАО Сбербанк"_s;
    payee[PayeeField::Bic] = u"044525225"_s;
    payee[PayeeField::CorrAccount] = u"30101810400000000225"_s;
    StorePayeeDetails(m_platform->settings(), payee);
    open();
    QVERIFY(chargeSecondSubscriber());

    auto* command = m_w->findChild<QToolButton*>(u"CmdKvitMes"_s);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(command, &enter);
    QVERIFY(m_w->findChild<QLabel*>(u"LbN(6)"_s)->isVisible());
    PdfInspect::screenshot(*m_w, u"ledger-payments.png"_s);
    QTest::mouseClick(command, Qt::LeftButton);
    QCOMPARE(m_platform->printed.size(), size_t(1));
    const auto& printed = m_platform->printed[0];
    QCOMPARE(printed.title, u"Квитанции за Март 2019"_s);
    // Subscribers 1 to 5 owe something; 6 was never billed.
    QCOMPARE(printed.pageCount, 3);
    const QString text = PdfInspect::text(printed.pdfPath);
    const QStringList names = DebtorsFixture::names();
    for (int r = 1; r <= 5; ++r)
        QCOMPARE(text.count(names[r - 1]), 1);
    QVERIFY(!text.contains(names[5]));
    QVERIFY2(text.contains(u"ИТОГО К ОПЛАТЕ 75,00 руб."_s), qPrintable(text));
    QCOMPARE(text.count(u"Получатель: СНТ «Остреванка»"_s), 5);
}

void tst_LedgerPayments::receiptPdfsWhileACellIsEdited() {
    StorePayeeDetails(m_platform->settings(), SamplePayee());
    open();
    // 999 is being typed into the next cell when the command is clicked.
    QLineEdit* editor = chargeSecondSubscriber();
    QVERIFY(editor && editor->isVisible());
    const QModelIndex editing = m_w->findChild<QTableView*>(u"g"_s)->currentIndex();
    QTest::keyClicks(editor, u"999"_s);

    auto* command = m_w->findChild<QToolButton*>(u"CmdKvitPdf"_s);
    QVERIFY(command);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(command, &enter);
    auto* caption = m_w->findChild<QLabel*>(u"LbN(9)"_s);
    QVERIFY(caption->isVisible());
    QCOMPARE(caption->text(), u"Квитанции в PDF по абонентам..."_s);
    // Beside the other tools, clear of the year selector.
    QVERIFY(command->geometry().left() >
            m_w->findChild<QToolButton*>(u"CmdSverka"_s)->geometry().right());
    QVERIFY(command->geometry().right() < m_w->findChild<QWidget*>(u"lbl1(0)"_s)->x());

    const QString folder = m_dir.filePath(u"pdf"_s);
    QVERIFY(QDir().mkpath(folder));
    m_platform->folders.push_back(folder);
    QTest::mouseClick(command, Qt::LeftButton);
    // Leaving the cell drops what was typed into it, as a click elsewhere does.
    QVERIFY(!editor->isVisible());
    QVERIFY(!m_w->model().text(editing.row(), editing.column()).contains(u"999"_s));

    QStringList files = QDir(folder).entryList(QDir::Files);
    files.sort();
    // Subscribers 1 to 5 owe something; 6 was never billed.
    QCOMPARE(files, (QStringList{
                        u"12 Андреев А. А. Март 2019.pdf"_s, u"3 Васильева В. В. Март 2019.pdf"_s,
                        u"3 Григорьев Г. Г. Март 2019.pdf"_s, u"40 Дмитриев Д. Д. Март 2019.pdf"_s,
                        u"7А Борисов Б. Б. Март 2019.pdf"_s}));
    const QString borisov = PdfInspect::text(QDir(folder).filePath(files[4]));
    QVERIFY2(borisov.contains(u"ИТОГО К ОПЛАТЕ 75,00 руб."_s), qPrintable(borisov));
    for (const QString& f : files)
        QVERIFY(!PdfInspect::text(QDir(folder).filePath(f)).contains(u"999"_s));
    QCOMPARE(m_platform->messages.size(), size_t(1));
    QCOMPARE(m_platform->messages[0].text,
             u"Записано квитанций: 5 в папку «"_s + QDir::toNativeSeparators(folder) + u"»."_s);
}

void tst_LedgerPayments::debtorsListShowsPrintsAndExports() {
    open();
    ReconciliationWindow* w = openReconciliation();
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QVERIFY(!m_w->isEnabled());
    QCOMPARE(w->findChild<QLabel*>(u"lblTitle"_s)->text(),
             u"Сверка расчётов за электроэнергию на конец марта 2019 г."_s);
    auto* grid = w->findChild<QTableView*>(u"g"_s);
    // The ledger has just recomputed the month: the text typed into a
    // closing cell of subscriber 6 is gone.
    QCOMPARE(grid->model()->rowCount(), 3);
    QCOMPARE(grid->model()->index(0, 0).data().toString(), u"1. Андреев А. А."_s);
    QCOMPARE(w->findChild<QLabel*>(u"lblDebt"_s)->text(), u"1384,56"_s);
    QCOMPARE(w->findChild<QLabel*>(u"lblCredit"_s)->text(), u"50,00"_s);

    // A click on the debt header sorts by debt; a second turns the order.
    QHeaderView* header = grid->horizontalHeader();
    const QPoint debtHeader(header->sectionViewportPosition(DebtorsModel::ColDebt) + 20,
                            header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, debtHeader);
    const QString afterOne = grid->model()->index(0, 0).data().toString();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, debtHeader);
    const QString afterTwo = grid->model()->index(0, 0).data().toString();
    QCOMPARE(QSet<QString>({afterOne, afterTwo}),
             QSet<QString>({u"4. Григорьев Г. Г."_s, u"3. Васильева В. В."_s}));
    if (afterTwo != u"4. Григорьев Г. Г."_s)
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, debtHeader);
    QCOMPARE(grid->model()->index(0, 2).data().toString(), u"1234,56"_s);
    PdfInspect::screenshot(*w, u"frmSverka.png"_s);

    QTest::mouseClick(w->findChild<QPushButton*>(u"CmdPrint"_s), Qt::LeftButton);
    QCOMPARE(m_platform->printed.size(), size_t(1));
    const QString pdf = m_platform->printed[0].pdfPath;
    QVERIFY(!PdfInspect::isLandscape(pdf));
    PdfInspect::keepPdf(pdf, u"sverka.pdf"_s);
    const QString text = PdfInspect::text(pdf);
    QVERIFY2(text.contains(u"Сверка расчётов за электроэнергию на конец марта 2019 г."_s),
             qPrintable(text));
    QVERIFY(text.contains(u"Абонент Участок Недоплата Переплата"_s));
    // In the shown order, the largest debt first.
    QVERIFY(text.indexOf(u"4. Григорьев Г. Г. 3 1234,56"_s) <
            text.indexOf(u"1. Андреев А. А. 12 150,00"_s));
    QVERIFY(text.contains(u"3. Васильева В. В. 50,00"_s));
    QVERIFY(text.contains(u"Итого 1384,56 50,00"_s));
    QVERIFY(text.contains(u"Страница 1 из 1"_s));
    QVERIFY(!text.contains(u"Борисов"_s));

    const QString xlsx = m_dir.filePath(u"Сверка.xlsx"_s);
    m_platform->fileNames.push_back(xlsx);
    QTest::mouseClick(w->findChild<QPushButton*>(u"CmdExport"_s), Qt::LeftButton);
    QCOMPARE(m_platform->dialogProposals.last(),
             m_dir.filePath(u"Сверка расчётов Март 2019.xlsx"_s));
    const QJsonObject dump = DumpWorkbook(xlsx);
    QCOMPARE(DumpedCell(dump, u"A3"_s)[u"value"_s].toString(), u"4. Григорьев Г. Г."_s);
    QCOMPARE(DumpedCell(dump, u"A6"_s)[u"value"_s].toString(), u"Итого"_s);
    QCOMPARE(DumpedCell(dump, u"C6"_s)[u"value"_s].toDouble(), 1384.56);

    QTest::mouseClick(w->findChild<QPushButton*>(u"CmdClose"_s), Qt::LeftButton);
    QVERIFY(m_w->isEnabled());
    QVERIFY(!m_w->sverkaWindow() || !m_w->sverkaWindow()->isVisible());
}

void tst_LedgerPayments::plotsSortAsCounted() {
    // The three owing or ahead live on plots 12, 2 and 3.
    m_state.table.setCell(3, ColAddress, u"2"_s);
    open();
    ReconciliationWindow* w = openReconciliation();
    QVERIFY(w);
    auto* grid = w->findChild<QTableView*>(u"g"_s);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QHeaderView* header = grid->horizontalHeader();
    const QPoint plotHeader(header->sectionViewportPosition(DebtorsModel::ColPlot) + 20,
                            header->height() / 2);
    auto plots = [grid] {
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->model()->index(r, DebtorsModel::ColPlot).data().toString();
        return out;
    };
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, plotHeader);
    if (header->sortIndicatorOrder() != Qt::AscendingOrder)
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, plotHeader);
    QCOMPARE(header->sortIndicatorSection(), int(DebtorsModel::ColPlot));
    QCOMPARE(plots(), (QStringList{u"2"_s, u"3"_s, u"12"_s}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, plotHeader);
    QCOMPARE(plots(), (QStringList{u"12"_s, u"3"_s, u"2"_s}));
    // The print follows the shown order.
    QTest::mouseClick(w->findChild<QPushButton*>(u"CmdPrint"_s), Qt::LeftButton);
    const QString text = PdfInspect::text(m_platform->printed.at(0).pdfPath);
    QVERIFY2(text.indexOf(u"1. Андреев А. А. 12"_s) < text.indexOf(u"3. Васильева В. В. 2"_s),
             qPrintable(text));
}

void tst_LedgerPayments::longListRepeatsTheHeader() {
    const int n = 120;
    m_state.table = SubscriberTable();
    SubscriberTable& t = m_state.table;
    t.setSubscriberCount(n);
    for (int r = 1; r <= n; ++r) {
        t.setCell(r, ColRowNumber, QString::number(r));
        t.setCell(r, ColName, u"Абонент %1"_s.arg(r, 3, 10, QLatin1Char('0')));
        t.setCell(r, DebtorsFixture::column(SlotOpenDebt), u"10"_s);
    }
    open();
    ReconciliationWindow* w = openReconciliation();
    QVERIFY(w);
    QCOMPARE(w->findChild<QTableView*>(u"g"_s)->model()->rowCount(), n);
    QCOMPARE(w->findChild<QLabel*>(u"lblDebt"_s)->text(), u"1200,00"_s);
    QTest::mouseClick(w->findChild<QPushButton*>(u"CmdPrint"_s), Qt::LeftButton);
    const auto& printed = m_platform->printed.at(0);
    QVERIFY(printed.pageCount >= 3);
    const QString text = PdfInspect::text(printed.pdfPath);
    QCOMPARE(text.count(u"Абонент Участок Недоплата Переплата"_s), printed.pageCount);
    QCOMPARE(text.count(u"Сверка расчётов за электроэнергию"_s), 1);
    for (int p = 1; p <= printed.pageCount; ++p)
        QVERIFY(text.contains(u"Страница %1 из %2"_s.arg(p).arg(printed.pageCount)));
    for (int r = 1; r <= n; ++r)
        QCOMPARE(text.count(u"Абонент %1"_s.arg(r, 3, 10, QLatin1Char('0'))), 1);
    QVERIFY(text.contains(u"Итого 1200,00 0,00"_s));
    w->close();
}

QTEST_MAIN(tst_LedgerPayments)
#include "tst_LedgerPayments.moc"
