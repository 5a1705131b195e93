#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "../printing/PdfInspect.h"
#include "MemberAccountFixture.h"
#include "core/AppState.h"
#include "core/MoneyText.h"
#include "core/Settings.h"
#include "documents/PayeeDetails.h"
#include "core/MonthRequest.h"
#include "ledger/LedgerWindow.h"
#include "ledger/MemberAccountWindow.h"
#include "storage/Database.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;
using F = MemberAccountFixture;

// The member's account as the treasurer reaches it: from the ledger's
// toolbar, for the row being worked on.
class tst_MemberAccountWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openedFromTheLedgerWhileACellIsEdited();
    void yearSelectorChangesTheFigures();
    void staleMonthIsMarkedWithItsReason();
    void savesAPdf();
    void printsPortraitPages_data();
    void printsPortraitPages();
    void failedWriteLeavesTheEarlierFile();

private:
    // Opens the ledger on March 2019 with a cell of subscriber 2 being edited,
    // then the account from the toolbar.
    MemberAccountWindow* openFromLedger();
    QTableWidget* months(QWidget* w) const { return w->findChild<QTableWidget*>(u"gMonths"_s); }
    // The shown text of a month line (0..11, 12 the totals) in a ledger column.
    static QString shown(MemberAccountWindow* w, int line, int ledgerColumn);

    QTemporaryDir m_dir;
    AppState m_state;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<LedgerWindow> m_ledger;
};

void tst_MemberAccountWindow::init() {
    m_state = AppState();
    m_platform = std::make_unique<ScriptedPlatform>();
    m_database = std::make_unique<Database>(m_state.table, *m_platform,
                                            m_dir.filePath(u"Ostrevanka21.spb"_s));
    F::fill(m_state.table, true);
    m_state.programFolder = m_dir.path();
    PayeeDetails payee;
    payee[PayeeField::Name] = u"СНТ «Остреванка»"_s;
    StorePayeeDetails(m_platform->settings(), payee);
    const QString own = F::names()[1];
    m_database->journal().add(F::payment(2, own, 2019, u"11.02.2019"_s, 50000, u"12"_s, 2));
    m_database->journal().add(F::payment(1, F::names()[0], 2019, u"12.02.2019"_s, 1, u"9"_s, 2));
}

void tst_MemberAccountWindow::cleanup() {
    m_ledger.reset();
    m_database.reset();
    m_platform.reset();
}

QString tst_MemberAccountWindow::shown(MemberAccountWindow* w, int line, int ledgerColumn) {
    const std::vector<int> columns = w->account().columns();
    const auto at = std::find(columns.begin(), columns.end(), ledgerColumn);
    if (at == columns.end())
        return u"(not shown)"_s;
    const QTableWidgetItem* item =
        w->findChild<QTableWidget*>(u"gMonths"_s)->item(line, int(at - columns.begin()));
    return item ? item->text() : u"(no item)"_s;
}

MemberAccountWindow* tst_MemberAccountWindow::openFromLedger() {
    m_ledger =
        std::make_unique<LedgerWindow>(m_state, *m_database, *m_platform, MonthRequest{F::Year, 3});
    m_ledger->show();
    if (!QTest::qWaitForWindowExposed(m_ledger.get()))
        return nullptr;
    auto* grid = m_ledger->findChild<QTableView*>(u"g"_s);
    const QModelIndex cell = grid->model()->index(1, LgPaidIn);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    auto* editor = m_ledger->findChild<QLineEdit*>(u"txtg"_s);
    if (!editor->isVisible())
        return nullptr;
    QTest::keyClicks(editor, u"999"_s); // typed, never accepted

    auto* button = m_ledger->findChild<QToolButton*>(u"CmdLsAbonent"_s);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(button, &enter);
    auto* caption = m_ledger->findChild<QLabel*>(u"LbN(8)"_s);
    if (!caption->isVisible() || caption->text() != u"Лицевой счёт абонента"_s)
        return nullptr;
    PdfInspect::screenshot(*m_ledger, u"ledger-member-account.png"_s);
    QTest::mouseClick(button, Qt::LeftButton);
    return m_ledger->memberAccountWindow();
}

void tst_MemberAccountWindow::openedFromTheLedgerWhileACellIsEdited() {
    MemberAccountWindow* w = openFromLedger();
    QVERIFY(w);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->windowTitle(), u"2. Борисов Б. Б., участок 7А"_s);
    QCOMPARE(w->findChild<QComboBox*>(u"cmbYear"_s)->currentText(), F::Year);
    QVERIFY(!m_ledger->isEnabled());
    // The ledger's edit was dropped, as leaving its cell drops it.
    QVERIFY(!m_ledger->findChild<QLineEdit*>(u"txtg"_s)->isVisible());
    QCOMPARE(F::cell(m_state.table, 2, 3, SlotPaidIn), QString());
    QCOMPARE(shown(w, 2, LgPaidIn), QString());
    QCOMPARE(shown(w, 1, LgPaidIn), u"500,00"_s);
    QCOMPARE(shown(w, 3, LgPrepayment), u"120,00"_s);
    QCOMPARE(shown(w, 12, LgLabel), u"Итого"_s);
    QCOMPARE(shown(w, 12, LgCloseDebt), u"1220,00"_s);
    // The bank payments of the subscriber only.
    auto* payments = w->findChild<QTableWidget*>(u"gPayments"_s);
    QVERIFY(payments->isVisible());
    QCOMPARE(payments->rowCount(), 1);
    QCOMPARE(payments->item(0, 0)->text(), u"11.02.2019"_s);
    QCOMPARE(payments->item(0, 1)->text(), u"500,00"_s);
    QCOMPARE(payments->item(0, 2)->text(), u"12"_s);
    QCOMPARE(w->findChild<QLabel*>(u"lblPayments"_s)->text(),
             u"Платежи из выписок банка за 2019 год: 1 на сумму 500,00 руб."_s);
    QVERIFY(!w->findChild<QLabel*>(u"lblStale"_s)->isVisible());
    PdfInspect::screenshot(*w, u"member-account.png"_s);

    QTest::mouseClick(w->findChild<QPushButton*>(u"CmdClose"_s), Qt::LeftButton);
    QTRY_VERIFY(!m_ledger->memberAccountWindow());
    QVERIFY(m_ledger->isEnabled());
}

void tst_MemberAccountWindow::yearSelectorChangesTheFigures() {
    MemberAccountWindow* w = openFromLedger();
    QVERIFY(w);
    QCOMPARE(months(w)->columnCount(), 13); // the prepayment's two columns too
    QCOMPARE(shown(w, 0, LgElectricity), u"150,00"_s);
    auto* year = w->findChild<QComboBox*>(u"cmbYear"_s);
    year->setFocus();
    QTest::keyClick(year, Qt::Key_Down);
    QCOMPARE(year->currentText(), u"2020"_s);
    QCOMPARE(w->account().yearIndex, F::year() + 1);
    QCOMPARE(months(w)->columnCount(), 11);
    QCOMPARE(shown(w, 0, LgElectricity), QString());
    QCOMPARE(shown(w, 12, LgCloseDebt), u"0,00"_s);
    QVERIFY(!w->findChild<QTableWidget*>(u"gPayments"_s)->isVisible());
    QCOMPARE(w->findChild<QLabel*>(u"lblPayments"_s)->text(),
             u"Платежей из выписок банка за 2020 год нет."_s);
    QTest::keyClick(year, Qt::Key_Up);
    QCOMPARE(months(w)->columnCount(), 13);
    QCOMPARE(shown(w, 0, LgElectricity), u"150,00"_s);
    // The whole table fits: no line is scrolled away.
    QVERIFY(months(w)->viewport()->height() >= 13 * months(w)->rowHeight(0));
}

void tst_MemberAccountWindow::staleMonthIsMarkedWithItsReason() {
    // A charge changed in June after the ledger showed the year.
    F::put(m_state.table, 2, 6, ChargeWithComp, u"250,00"_s);
    MemberAccountWindow* w = openFromLedger();
    QVERIFY(w);
    QTableWidget* grid = months(w);
    for (int line = 0; line < 12; ++line) {
        const QTableWidgetItem* item = grid->item(line, 0);
        const bool stale = line >= 5;
        QCOMPARE(item->toolTip().startsWith(u"Месяц ещё не показан"_s), stale);
        QCOMPARE(item->background() != QBrush(), stale);
    }
    QVERIFY(grid->item(5, 4)->toolTip().contains(u"расчёт даёт: долг"_s));
    QVERIFY(w->findChild<QLabel*>(u"lblStale"_s)->isVisible());
    // The computed figure is shown, not the stored one.
    QCOMPARE(shown(w, 5, LgElectricity), u"250,00"_s);
    QCOMPARE(shown(w, 12, LgCloseDebt), u"1320,00"_s);
    // On paper the marked months carry a star and a note says why.
    QTest::mouseClick(w->findChild<QPushButton*>(u"CmdPrint"_s), Qt::LeftButton);
    QCOMPARE(m_platform->printed.size(), size_t(1));
    const QString text = PdfInspect::text(m_platform->printed[0].pdfPath);
    QVERIFY(text.contains(u"Май 140,00"_s));
    QVERIFY(text.contains(u"Июнь * 170,00"_s));
    QVERIFY(text.contains(u"* Месяц ещё не показан в окне «Лицевой счет» после изменения"_s));
}

void tst_MemberAccountWindow::savesAPdf() {
    MemberAccountWindow* w = openFromLedger();
    QVERIFY(w);
    QTemporaryDir out;
    m_platform->fileNames.push_back(out.filePath(u"Борисов"_s));
    QTest::mouseClick(w->findChild<QPushButton*>(u"CmdPdf"_s), Qt::LeftButton);
    QCOMPARE(m_platform->dialogProposals.back(),
             m_dir.filePath(u"7А Борисов Б. Б. 2019 выписка.pdf"_s));
    QCOMPARE(m_platform->messages.size(), size_t(0));
    const QString path = out.filePath(u"Борисов.pdf"_s);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Борисов.pdf"_s});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    file.close();
    PdfInspect::keepPdf(path, u"member-account.pdf"_s);
    QVERIFY(!PdfInspect::isLandscape(path));
    const QString text = PdfInspect::text(path);
    for (const QString& expected :
         {u"СНТ «Остреванка»"_s, u"Лицевой счёт абонента за 2019 год"_s,
          u"2. Борисов Б. Б., участок 7А"_s, u"Январь"_s, u"Декабрь"_s, u"Итого"_s, u"1220,00"_s,
          u"Платежи из выписок банка"_s, u"11.02.2019 500,00 12"_s, u"Сформировано 10.12.2026"_s,
          u"Страница 1 из 1"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected + u" not in: "_s + text));
    // Another subscriber's payment is not there.
    QVERIFY(!text.contains(u"12.02.2019"_s));
}

void tst_MemberAccountWindow::printsPortraitPages_data() {
    QTest::addColumn<int>("payments");
    QTest::addColumn<int>("pages");
    QTest::newRow("none") << 0 << 1;
    QTest::newRow("a few") << 3 << 1;
    QTest::newRow("more than a page holds") << 60 << 2;
}

void tst_MemberAccountWindow::printsPortraitPages() {
    QFETCH(int, payments);
    QFETCH(int, pages);
    PaymentJournal& journal = m_database->journal();
    journal = PaymentJournal();
    for (int i = 1; i <= payments; ++i)
        journal.add(
            F::payment(2, F::names()[1], 2019, u"01.03.2019"_s, 100 * i, u"N%1"_s.arg(i), 3));
    MemberAccountWindow* w = openFromLedger();
    QVERIFY(w);
    QTest::mouseClick(w->findChild<QPushButton*>(u"CmdPrint"_s), Qt::LeftButton);
    QCOMPARE(m_platform->printed.size(), size_t(1));
    const auto& printed = m_platform->printed[0];
    QCOMPARE(printed.orientation, PageOrientation::Portrait);
    QCOMPARE(printed.pageCount, pages);
    QVERIFY(!PdfInspect::isLandscape(printed.pdfPath));
    const QString text = PdfInspect::text(printed.pdfPath);
    QVERIFY(text.contains(u"СНТ «Остреванка»"_s));
    QVERIFY(text.contains(u"Страница %1 из %1"_s.arg(pages)));
    QCOMPARE(text.contains(u"Платежи из выписок банка"_s), payments > 0);
    if (payments > 0) {
        // Every payment and their total, the last on the last page.
        QVERIFY(
            text.contains(u"01.03.2019 %1 N%2"_s.arg(KopecksText(100 * payments)).arg(payments)));
        QVERIFY(text.contains(u"Итого "_s + KopecksText(50 * payments * (payments + 1))));
    }
}

// A disk that fills up under the PDF: the file saved there before stays as
// it was and nothing half-written is left beside it.
void tst_MemberAccountWindow::failedWriteLeavesTheEarlierFile() {
    QTemporaryDir mountPoint;
    if (QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=16k"_s, u"tmpfs"_s,
                                       mountPoint.path()}) != 0)
        QSKIP("a tmpfs could not be mounted (the test needs root and a kernel that lets it)");
    const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {mountPoint.path()}); });
    const QString path = mountPoint.filePath(u"выписка.pdf"_s);
    const QByteArray earlier = "%PDF-1.4 an earlier statement\n";
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(earlier);
    }
    MemberAccountWindow* w = openFromLedger();
    QVERIFY(w);
    m_platform->fileNames.push_back(path);
    QTest::mouseClick(w->findChild<QPushButton*>(u"CmdPdf"_s), Qt::LeftButton);
    QCOMPARE(m_platform->messages.size(), size_t(1));
    QCOMPARE(m_platform->messages[0].icon, MsgIcon::Critical);
    QVERIFY(m_platform->messages[0].text.startsWith(u"Не удалось записать файл\n"_s + path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), earlier);
    QCOMPARE(QDir(mountPoint.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"выписка.pdf"_s});
}

QTEST_MAIN(tst_MemberAccountWindow)
#include "tst_MemberAccountWindow.moc"
