// The whole program on the largest database, as its user meets it: from the
// command to the window shown and painted. Each action goes through the same
// wiring as the running program (the application object and the main
// window's requests); closing what was opened is not measured.

#include <functional>
#include <map>
#include <memory>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "WindowBench.h"
#include "app/Application.h"
#include "storage/DatabaseFile.h"
#include "directory/DirectoryWindow.h"
#include "imbalance/ImbalanceWindow.h"
#include "ledger/LedgerWindow.h"
#include "printing/PrintFrame.h"
#include "readings/MainWindow.h"

using namespace Qt::StringLiterals;

namespace {

using Clock = std::chrono::steady_clock;

struct Fixture {
    QTemporaryDir dir;
    QuietPlatform platform;
    std::unique_ptr<Application> app;

    // lastYear 2024: the database of 2017..2024, shown at 2020; 2030: the
    // database of 2017..2030, shown at 2030.
    explicit Fixture(int lastYear) {
        SubscriberTable table = MakeLargestTable(lastYear);
        if (!DatabaseFile::save(dir.filePath(DatabaseFile::FileName), table))
            qFatal("cannot write the benchmark database");
        platform.settings().setText(u"Nastr"_s, u"Cmb1"_s,
                                    lastYear == 2024 ? u"2020"_s : QString::number(lastYear));
        platform.settings().sync();
        platform.settings().setText(u"Nastr"_s, u"Cmb0"_s, table.cell(250, ColName));
        app = std::make_unique<Application>(platform, dir.path());
        if (!app->start())
            qFatal("cannot start on the benchmark database");
        const QString shown = lastYear == 2024 ? u"2020"_s : QString::number(lastYear);
        if (app->mainWindow()->shown().yearText != shown)
            qFatal("the main window does not show %s", qPrintable(shown));
        QApplication::processEvents();
    }
    QString databasePath() const { return dir.filePath(DatabaseFile::FileName); }
    MainWindow* form() const { return app->mainWindow(); }
};

std::map<int, std::unique_ptr<Fixture>> g_fixtures;

// The benchmark's argument is the database's last year.
Fixture& fixture(const benchmark::State& state) {
    const int lastYear = int(state.range(0));
    auto& slot = g_fixtures[lastYear];
    if (!slot)
        slot = std::make_unique<Fixture>(lastYear);
    return *slot;
}

// The shown top-level window of the given class, painted; null if none.
template <typename Window> Window* paintedWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<Window*>(w); found && found->isVisible()) {
            found->repaint();
            return found;
        }
    return nullptr;
}

template <typename Window> void closeWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<Window*>(w); found && found->isVisible())
            found->close();
    QApplication::processEvents();
}

// Runs `open` against the floor, then `close` untimed.
template <typename Open, typename Close>
void OpenAndClose(benchmark::State& state, Open&& open, Close&& close) {
    Fixture& f = fixture(state);
    RunAgainstFloor<Clock>(
        state, f.databasePath(),
        [&] {
            open(f);
            QApplication::processEvents();
        },
        [&] { close(f); });
}

// A request of the main window that opens a window of class Window, shown and
// painted; the window is closed again untimed.
template <typename Window>
void OpenFromMain(benchmark::State& state, void (MainWindow::*request)(), const char* failure,
                  const std::function<void(Fixture&)>& prepare = {}) {
    OpenAndClose(
        state,
        [&](Fixture& f) {
            if (prepare)
                prepare(f);
            (f.form()->*request)();
            if (!paintedWindow<Window>())
                qFatal("%s", failure);
        },
        [](Fixture&) { closeWindow<Window>(); });
}

// Another subscriber picked in the main window's selector: stored, loaded,
// computed and painted.
void BM_SwitchSubscriber(benchmark::State& state) {
    int row = 0;
    OpenAndClose(
        state,
        [&](Fixture& f) {
            auto* selector = f.form()->findChild<QComboBox*>(u"Cmb1(0)"_s);
            row = (row + 37) % selector->count();
            selector->setCurrentIndex(row);
            emit selector->activated(row);
            f.form()->repaint();
        },
        [](Fixture&) {});
}

void BM_OpenLedger(benchmark::State& state) {
    OpenFromMain<LedgerWindow>(state, &MainWindow::ledgerRequested, "the ledger did not open");
}

void BM_OpenImbalance(benchmark::State& state) {
    OpenFromMain<ImbalanceWindow>(state, &MainWindow::imbalanceRequested,
                                  "the imbalance window did not open");
}

// The reading sheet of May from the month popup.
void BM_OpenReadingSheet(benchmark::State& state) {
    OpenAndClose(
        state,
        [](Fixture& f) {
            emit f.form()->readingSheetRequested({u"2020"_s, 5});
            if (!paintedWindow<PrintFrame>())
                qFatal("the reading sheet did not open");
        },
        [](Fixture&) { closeWindow<PrintFrame>(); });
}

// The directory: the main window stores and writes the database, closes, and
// the directory opens. Closing it brings a freshly loaded main window back.
void BM_OpenDirectory(benchmark::State& state) {
    OpenAndClose(
        state,
        [](Fixture& f) {
            emit f.form()->directoryRequested();
            QApplication::processEvents();
            if (!paintedWindow<DirectoryWindow>())
                qFatal("the directory did not open");
        },
        [](Fixture& f) {
            closeWindow<DirectoryWindow>();
            if (!f.form() || !f.form()->isVisible())
                qFatal("the main window did not come back");
        });
}

} // namespace

BENCHMARK(BM_SwitchSubscriber)
    ->Arg(2024)
    ->Arg(2030)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLedger)->Arg(2024)->Arg(2030)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenImbalance)->Arg(2024)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenReadingSheet)->Arg(2024)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDirectory)->Arg(2024)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, [] { g_fixtures.clear(); });
}
