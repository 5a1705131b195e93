// The whole program on the largest database, as its user meets it: from the
// command to the window shown and painted. Each action goes through the same
// wiring as the running program (the application object and the main
// window's requests); closing what was opened is not measured.

#include <functional>
#include <memory>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "WindowBench.h"
#include "app/Application.h"
#include "core/DatabaseFile.h"
#include "directory/frmSpr.h"
#include "imbalance/frmRazbalans.h"
#include "ledger/frmRedLS.h"
#include "printing/MDIfrmPrint.h"
#include "readings/Form1.h"

using namespace Qt::StringLiterals;

namespace {

using Clock = std::chrono::steady_clock;

struct Fixture {
    QTemporaryDir dir;
    QuietPlatform platform;
    std::unique_ptr<Application> app;

    Fixture() {
        SubscriberTable table = MakeLargestTable();
        if (!DatabaseFile::save(dir.filePath(DatabaseFile::FileName), table))
            qFatal("cannot write the benchmark database");
        platform.settings().setText(u"Nastr"_s, u"Cmb1"_s, u"2020"_s);
        platform.settings().setText(u"Nastr"_s, u"Cmb0"_s, table.cell(250, ColName));
        app = std::make_unique<Application>(platform, dir.path());
        if (!app->start())
            qFatal("cannot start on the benchmark database");
        QApplication::processEvents();
    }
    QString databasePath() const { return dir.filePath(DatabaseFile::FileName); }
    Form1* form() const { return app->mainWindow(); }
};

std::unique_ptr<Fixture> g_fixture;

Fixture& fixture() {
    return MadeOnce(g_fixture);
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
    Fixture& f = fixture();
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
void OpenFromMain(benchmark::State& state, void (Form1::*request)(), const char* failure,
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
    OpenFromMain<frmRedLS>(state, &Form1::ledgerRequested, "the ledger did not open");
}

void BM_OpenImbalance(benchmark::State& state) {
    OpenFromMain<frmRazbalans>(state, &Form1::imbalanceRequested,
                               "the imbalance window did not open");
}

// The reading sheet of May from the month popup.
void BM_OpenReadingSheet(benchmark::State& state) {
    OpenFromMain<MDIfrmPrint>(state, &Form1::readingSheetRequested,
                              "the reading sheet did not open", [](Fixture& f) {
                                  f.app->state().docMonth = 5;
                                  f.app->state().docYear = u"2020"_s;
                              });
}

// The directory: the main window stores and writes the database, closes, and
// the directory opens. Closing it brings a freshly loaded main window back.
void BM_OpenDirectory(benchmark::State& state) {
    OpenAndClose(
        state,
        [](Fixture& f) {
            emit f.form()->directoryRequested();
            QApplication::processEvents();
            if (!paintedWindow<frmSpr>())
                qFatal("the directory did not open");
        },
        [](Fixture& f) {
            closeWindow<frmSpr>();
            if (!f.form() || !f.form()->isVisible())
                qFatal("the main window did not come back");
        });
}

} // namespace

BENCHMARK(BM_SwitchSubscriber)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLedger)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenImbalance)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenReadingSheet)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDirectory)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, [] { g_fixture.reset(); });
}
