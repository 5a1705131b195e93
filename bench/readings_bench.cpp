// The main window on the largest database: the computation of the shown
// year for every subscriber, the whole leave-cell sequence a user triggers
// with Enter (store, compute, repaint) and the readings check of a year,
// each against the floor of the database benchmarks in the same run.

#include <memory>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "WindowBench.h"
#include "core/AppState.h"
#include "storage/Database.h"
#include "storage/DatabaseFile.h"
#include "core/NumberText.h"
#include "readings/Charges.h"
#include "readings/MainWindow.h"
#include "readings/MonthCell.h"
#include "readings/ReadingsCheck.h"

using namespace Qt::StringLiterals;

namespace {

struct Fixture {
    QTemporaryDir dir;
    AppState state;
    QuietPlatform platform;
    Database database{state.table, platform, dir.filePath(DatabaseFile::FileName)};
    std::unique_ptr<MainWindow> window;

    Fixture() {
        state.programFolder = dir.path();
        SubscriberTable table = MakeLargestTable();
        if (!DatabaseFile::save(database.path(), table))
            qFatal("cannot write the benchmark database");
        platform.settings().setText(u"Nastr"_s, u"Cmb1"_s, u"2020"_s);
        platform.settings().setText(u"Nastr"_s, u"Cmb0"_s, table.cell(250, ColName));
        window = std::make_unique<MainWindow>(state, database, platform);
        if (!window->load())
            qFatal("cannot load the benchmark database");
        window->show();
        QApplication::processEvents();
    }
};

std::unique_ptr<Fixture> g_fixture;

Fixture& fixture() {
    return MadeOnce(g_fixture);
}

template <typename Work> void AgainstFloor(benchmark::State& state, Work&& work) {
    Fixture& f = fixture();
    RunAgainstFloor<ThreadClock>(state, f.database.path(), [&] { work(f); });
}

// The year recomputed for all 501 subscribers, slot 9 of each stored.
void BM_ComputeYear(benchmark::State& state) {
    std::array<bool, 12> ticked{};
    ticked.fill(true);
    AgainstFloor(state, [&](Fixture& f) {
        benchmark::DoNotOptimize(ComputeCharges(f.state.table, 3, 250, ticked));
    });
}

// A reading typed and Enter pressed: the focus moves to the next month, the
// cell left is stored and the year recomputed; then either the whole window is
// repainted, or only what changed, as the running program does.
template <bool WholeWindow> void LeaveCell(benchmark::State& state) {
    int month = 1;
    int value = 20000;
    AgainstFloor(state, [&](Fixture& f) {
        MonthCell* cell = f.window->entryCell(month, 1);
        cell->setFocus();
        cell->setText(QString::number(++value));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(cell, &enter);
        if (WholeWindow)
            f.window->centralWidget()->repaint();
        else
            QApplication::processEvents();
        month = month % 11 + 1;
    });
}

// The readings check of 2020 for all 501 subscribers: as generated (no
// finding), and with one fault of each kind in every subscriber's year.
void BM_ReadingsCheck(benchmark::State& state) {
    const bool faulty = state.range(0) != 0;
    Fixture& f = fixture();
    SubscriberTable table = f.state.table;
    const int y = 3;
    if (faulty)
        for (int r = 1; r <= table.subscriberCount(); ++r) {
            const auto cell = [&](int m, int s) { return MonthColumn(y, m, s); };
            table.setCell(r, cell(2, T1Current), u"1"_s);    // below previous
            table.setCell(r, cell(4, T1Previous), u"2"_s);   // gap
            table.setCell(r, cell(6, T1Current), QString()); // no reading
            table.setCell(r, cell(8, Tariff1), QString());   // no tariff
            table.setCell(
                r, cell(10, T2Current),
                PlainNumber(ReadNumber(table.cell(r, cell(10, T2Previous))) + 5000)); // jump
        }
    size_t findings = 0;
    RunAgainstFloor<ThreadClock>(state, f.database.path(), [&] {
        const auto found = CheckReadings(table, y);
        findings = found.size();
        benchmark::DoNotOptimize(found.data());
    });
    state.counters["findings"] = double(findings);
}

void BM_LeaveCell(benchmark::State& state) {
    LeaveCell<true>(state);
}

void BM_LeaveCellPaintChanged(benchmark::State& state) {
    LeaveCell<false>(state);
}

} // namespace

BENCHMARK(BM_ComputeYear)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeaveCell)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeaveCellPaintChanged)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadingsCheck)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, [] { g_fixture.reset(); });
}
