#pragma once

#include <functional>
#include <future>
#include <memory>

#include <QObject>
#include <QPointer>

#include "core/AppState.h"
#include "core/Platform.h"
#include "imbalance/ImbalanceWindow.h"
#include "readings/MainWindow.h"
#include "storage/Database.h"

class DatabasePrefetch;
class ConsumptionChartWindow;
class ReadingsCheckWindow;
class LedgerWindow;

// Owns the shared state and the windows: opens, hides and re-creates them as
// the user moves between the main window and the others.
class Application final : public QObject {
    Q_OBJECT
public:
    Application(Platform& platform, const QString& programFolder);
    ~Application() override;

    // Takes the database's lock, then opens and loads the main window;
    // false when another program has the database or the load failed.
    bool start();

    AppState& state() { return m_state; }
    Database& database() { return m_database; }
    MainWindow* mainWindow() const { return m_form; }
    LedgerWindow* ledgerWindow() const;
    ReadingsCheckWindow* readingsCheckWindow() const;
    ConsumptionChartWindow* chartWindow() const;

signals:
    // The program has ended (main window closed or load failed).
    void finished(int exitCode);

private:
    bool openMainWindow(DatabasePrefetch* prefetch = nullptr);
    void onMainClosed(bool directorySwitch);
    void wire(MainWindow* form);
    void closeOtherWindows();
    void openImbalance();
    void openDirectory();
    void openLedger();
    void openReadingsCheck();
    void openChart();
    void openMemberAccount();
    void openHelp();
    // Shows a page window in a print frame; afterwards runs `done`.
    void openInPrintFrame(QWidget* page, const std::function<void()>& done);
    // Shows a small window beside `opener`, which is disabled until it closes.
    template <typename Window> Window* openDialog(QWidget* opener);
    template <typename Window> Window* showDialog(Window* window, QWidget* opener);
    void end(int exitCode);

    Platform& m_platform;
    AppState m_state;
    Database m_database;
    QPointer<MainWindow> m_form;
    QPointer<ImbalanceWindow> m_imbalance;
    QPointer<LedgerWindow> m_ledger;
    QPointer<ReadingsCheckWindow> m_check;
    QPointer<ConsumptionChartWindow> m_chart;
    // The month the ledger opens on: January after each load of the main
    // window, then the month the ledger was last closed on.
    int m_ledgerMonth = 1;
    // The loaded bytes made the program's own after the window is up
    // (FileMapping::makePrivate); waited for on the way out.
    std::future<void> m_privateCopy;
};
