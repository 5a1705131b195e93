#include "Application.h"

#include <QApplication>
#include <QDir>

#include "app/AfterFirstPaint.h"
#include "storage/DatabaseFile.h"
#include "storage/DatabasePrefetch.h"
#include "core/FileMapping.h"
#include "directory/DirectoryWindow.h"
#include "documents/ReceiptWindow.h"
#include "documents/CashOrderWindow.h"
#include "documents/PayeeDetailsDialog.h"
#include "ledger/YearCarry.h"
#include "ledger/LedgerWindow.h"
#include "ledger/MemberAccountWindow.h"
#include "ledger/StatementLoad.h"
#include "prefs/DesktopTools.h"
#include "prefs/AboutDialog.h"
#include "prefs/ColoursDialog.h"
#include "prefs/HotKeysHelp.h"
#include "prefs/LedgerPrefsDialog.h"
#include "prefs/AutosavePrefsDialog.h"
#include "printing/PrintFrame.h"
#include "printing/LedgerPrintPage.h"
#include "printing/ReadingSheetPage.h"
#include "readings/ConsumptionChartWindow.h"
#include "readings/ReadingsCheckWindow.h"

using namespace Qt::StringLiterals;

Application::Application(Platform& platform, const QString& programFolder)
    : m_platform(platform),
      m_database(m_state.table, platform, QDir(programFolder).filePath(DatabaseFile::FileName)) {
    m_state.programFolder = programFolder;
}

Application::~Application() {
    delete m_form;
}

bool Application::start() {
    if (!m_database.mayGoOn(m_database.lock().take())) {
        end(1);
        return false;
    }
    // Read while the main window is built; its load takes the result.
    DatabasePrefetch prefetch(m_database.path());
    return openMainWindow(&prefetch);
}

void Application::end(int exitCode) {
    // Released before the program is gone, so a new start right after it
    // (after a restore, say) finds the database free.
    m_database.releaseLock();
    emit finished(exitCode);
}

LedgerWindow* Application::ledgerWindow() const {
    return m_ledger;
}

ReadingsCheckWindow* Application::readingsCheckWindow() const {
    return m_check;
}

ConsumptionChartWindow* Application::chartWindow() const {
    return m_chart;
}

bool Application::openMainWindow(DatabasePrefetch* prefetch) {
    m_ledgerMonth = 1;
    auto* form = new MainWindow(m_state, m_database, m_platform);
    m_form = form;
    wire(form);
    if (!form->load(prefetch)) {
        delete form;
        end(1);
        return false;
    }
    form->show();
    // A read that mapped the file left the table's bytes in the file's pages:
    // they are copied once the window is painted, for the copy costs as much
    // as the read saved, and until then a change to the file could reach them.
    if (std::shared_ptr<FileMapping> mapping = m_state.table.fileMapping();
        mapping && !mapping->isPrivate())
        AfterFirstPaint(form, [this, mapping] {
            m_privateCopy = std::async(std::launch::async, [mapping] { mapping->makePrivate(); });
        });
    return true;
}

template <typename Window> Window* Application::openDialog(QWidget* opener) {
    return showDialog(new Window(m_state, m_platform), opener);
}

template <typename Window> Window* Application::showDialog(Window* window, QWidget* opener) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> guard(opener);
    if (opener)
        opener->setEnabled(false);
    connect(window, &Window::closed, this, [guard] {
        if (guard)
            guard->setEnabled(true);
    });
    window->show();
    if (opener)
        window->move(opener->geometry().center() - window->rect().center());
    return window;
}

void Application::wire(MainWindow* form) {
    connect(form, &MainWindow::closing, this, &Application::closeOtherWindows);
    connect(form, &MainWindow::closed, this, &Application::onMainClosed);
    connect(form, &MainWindow::imbalanceRequested, this, &Application::openImbalance);
    connect(form, &MainWindow::directoryRequested, this, [this] { m_form->closeForDirectory(); });
    connect(form, &MainWindow::ledgerRequested, this, &Application::openLedger);
    connect(form, &MainWindow::readingSheetRequested, this, [this](const MonthRequest& month) {
        if (month.month < 1)
            return;
        m_form->hide();
        openInPrintFrame(new ReadingSheetPage(m_state.table, month), [this] {
            if (m_form)
                m_form->show();
        });
    });
    connect(form, &MainWindow::calculatorRequested, this, [this] { StartCalculator(m_platform); });
    connect(form, &MainWindow::helpRequested, this, &Application::openHelp);
    connect(form, &MainWindow::yearCarryRequested, this,
            [this] { CarryReadingsAndTell(m_state.table, m_form->shownYear().year, m_platform); });
    connect(form, &MainWindow::saveOptionsRequested, this,
            [this] { showDialog(new AutosavePrefsDialog(m_database, m_platform), m_form); });
    connect(form, &MainWindow::colorsRequested, this, [this] {
        auto* w = openDialog<ColoursDialog>(m_form);
        connect(w, &ColoursDialog::colorsChanged, m_form, &MainWindow::paintRows);
    });
    connect(form, &MainWindow::aboutRequested, this, [this] { openDialog<AboutDialog>(m_form); });
    connect(form, &MainWindow::readingsCheckRequested, this, &Application::openReadingsCheck);
    // The main window shows nothing a payment changes.
    connect(form, &MainWindow::bankStatementRequested, this,
            [this] { LoadBankStatement(m_state, m_database, m_platform, m_form); });
    connect(form, &MainWindow::chartRequested, this, &Application::openChart);
    connect(form, &MainWindow::memberAccountRequested, this, &Application::openMemberAccount);
    connect(form, &MainWindow::shownChanged, this, [this, form] {
        if (m_chart) {
            const MainWindow::Shown shown = form->shown();
            m_chart->refresh(shown.row, shown.yearText);
        }
    });
    connect(form, &MainWindow::payeeRequested, this,
            [this] { openDialog<PayeeDetailsDialog>(m_form); });
}

void Application::openHelp() {
    OpenManual(m_platform, QCoreApplication::applicationDirPath());
}

void Application::openImbalance() {
    const bool fresh = !m_imbalance;
    ImbalanceWindow* window =
        ImbalanceWindow::showSingle(m_imbalance, m_state, m_platform, m_form->shown().yearText);
    if (!fresh)
        return;
    connect(window, &ImbalanceWindow::closed, this, [this] {
        if (!m_form)
            return;
        m_form->setEnabled(true);
        m_form->computeYear();
    });
}

// One check window beside the main window; opening it again brings it forward.
void Application::openReadingsCheck() {
    if (!m_check) {
        auto* window = new ReadingsCheckWindow(m_state, m_platform, m_form->shown().yearText);
        window->setAttribute(Qt::WA_DeleteOnClose);
        m_check = window;
        connect(window, &ReadingsCheckWindow::becameActive, this, [this, window] {
            if (m_form)
                window->refresh(m_form->shown().yearText);
        });
        connect(window, &ReadingsCheckWindow::cellRequested, this,
                [this](int row, const QString& year, int month, int slot) {
                    // Not while the ledger or a dialog has the main window.
                    if (m_form && m_form->isVisible() && m_form->isEnabled())
                        m_form->showCell(row, year, month, slot);
                });
        window->show();
    } else {
        m_check->refresh(m_form->shown().yearText);
    }
    m_check->raise();
    m_check->activateWindow();
}

void Application::openChart() {
    const MainWindow::Shown shown = m_form->shown();
    if (!m_chart) {
        auto* window = new ConsumptionChartWindow(m_state.table, shown.row, shown.yearText);
        window->setAttribute(Qt::WA_DeleteOnClose);
        m_chart = window;
        window->show();
    } else {
        m_chart->refresh(shown.row, shown.yearText);
    }
    m_chart->raise();
    m_chart->activateWindow();
}

// Beside the main window, which waits until it closes.
void Application::openMemberAccount() {
    const MainWindow::Shown shown = m_form->shown();
    if (shown.row < 1 || shown.row > m_state.table.subscriberCount())
        return;
    showDialog(new MemberAccountWindow(m_state, m_database.journal(), m_platform, shown.row,
                                       shown.yearText),
               m_form);
}

void Application::openLedger() {
    if (m_ledger)
        return;
    m_form->hide();
    auto* ledger = new LedgerWindow(m_state, m_database, m_platform,
                                    {m_form->shown().yearText, m_ledgerMonth});
    ledger->setAttribute(Qt::WA_DeleteOnClose);
    m_ledger = ledger;
    connect(ledger, &LedgerWindow::closed, this, [this, ledger] {
        m_ledgerMonth = ledger->month();
        if (m_form)
            m_form->show();
    });
    connect(ledger, &LedgerWindow::receiptRequested, this, [this](const DocumentRequest& request) {
        openInPrintFrame(new ReceiptWindow(m_state.table, m_platform, request), [] {});
    });
    connect(ledger, &LedgerWindow::orderRequested, this, [this](const DocumentRequest& request) {
        openInPrintFrame(new CashOrderWindow(m_state.table, m_platform, request), [] {});
    });
    connect(ledger, &LedgerWindow::printRequested, this, [this](const MonthRequest& month) {
        openInPrintFrame(new LedgerPrintPage(m_state.table, month), [this] {
            if (m_ledger)
                m_ledger->show();
        });
    });
    connect(ledger, &LedgerWindow::settingsRequested, this, [this] {
        auto* w = openDialog<LedgerPrefsDialog>(m_ledger);
        connect(w, &LedgerPrefsDialog::preferencesChanged, m_ledger,
                &LedgerWindow::applyPreferences);
    });
    // The ledger's help is the keys of its cell editor, not the manual.
    connect(ledger, &LedgerWindow::helpRequested, this,
            [this] { openDialog<HotKeysHelp>(m_ledger); });
    connect(ledger, &LedgerWindow::calculatorRequested, this,
            [this] { StartCalculator(m_platform); });
    ledger->show();
}

void Application::openDirectory() {
    auto* directory = new DirectoryWindow(m_state, m_database, m_platform);
    connect(directory, &DirectoryWindow::closed, this, [this] { openMainWindow(); });
    directory->show();
}

void Application::openInPrintFrame(QWidget* page, const std::function<void()>& done) {
    auto* frame = new PrintFrame(m_platform);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setPage(page);
    connect(frame, &PrintFrame::closed, this, done);
    frame->show();
}

void Application::closeOtherWindows() {
    // They store what they show into the table before it is written.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w != m_form && w->isVisible() && w->isWindow())
            w->close();
}

void Application::onMainClosed(bool directorySwitch) {
    if (m_form)
        m_form->deleteLater();
    if (directorySwitch) {
        openDirectory();
        return;
    }
    closeOtherWindows();
    end(0);
}
