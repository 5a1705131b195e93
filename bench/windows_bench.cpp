// The whole program on the largest database, as its user meets it: from the
// command to the window shown and painted. Each action goes through the same
// wiring as the running program (the application object and the main
// window's requests); closing what was opened is not measured.

#include <memory>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include "BenchSupport.h"
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
    if (!g_fixture)
        g_fixture = std::make_unique<Fixture>();
    return *g_fixture;
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

// Runs `open` against the floor and `close` untimed after each iteration.
template <typename Open, typename Close>
void OpenAndClose(benchmark::State& state, Open&& open, Close&& close) {
    Fixture& f = fixture();
    double workTotal = 0, floorTotal = 0;
    for (auto _ : state) {
        const auto a = Clock::now();
        FloorOnce(f.databasePath());
        const auto b = Clock::now();
        open(f);
        QApplication::processEvents();
        const auto c = Clock::now();
        close(f);
        floorTotal += Seconds(b - a);
        workTotal += Seconds(c - b);
        state.SetIterationTime(Seconds(c - b));
    }
    state.counters["vs_floor"] = workTotal / floorTotal;
    state.counters["floor_ms"] = floorTotal * 1000 / double(state.iterations());
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
    OpenAndClose(
        state,
        [](Fixture& f) {
            emit f.form()->ledgerRequested();
            if (!paintedWindow<frmRedLS>())
                qFatal("the ledger did not open");
        },
        [](Fixture&) { closeWindow<frmRedLS>(); });
}

void BM_OpenImbalance(benchmark::State& state) {
    OpenAndClose(
        state,
        [](Fixture& f) {
            emit f.form()->imbalanceRequested();
            if (!paintedWindow<frmRazbalans>())
                qFatal("the imbalance window did not open");
        },
        [](Fixture&) { closeWindow<frmRazbalans>(); });
}

// The reading sheet of May from the month popup.
void BM_OpenReadingSheet(benchmark::State& state) {
    OpenAndClose(
        state,
        [](Fixture& f) {
            f.app->state().docMonth = 5;
            f.app->state().docYear = u"2020"_s;
            emit f.form()->readingSheetRequested();
            if (!paintedWindow<MDIfrmPrint>())
                qFatal("the reading sheet did not open");
        },
        [](Fixture&) { closeWindow<MDIfrmPrint>(); });
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_fixture.reset();
    return 0;
}
