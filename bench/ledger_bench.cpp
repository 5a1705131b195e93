// The ledger window on the largest database: 501 subscribers with every month
// of every year filled. Showing a month (load, compute, store, repaint) and
// accepting one typed value (compute, store, reopen the editor) are each
// measured against the floor of the database benchmarks (read the file's bytes
// and count its "|") in the same run.

#include <algorithm>
#include <chrono>
#include <memory>

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "WindowBench.h"
#include "core/AppState.h"
#include "storage/Database.h"
#include "storage/DatabaseFile.h"
#include "core/NumberText.h"
#include "core/Platform.h"
#include "core/Settings.h"
#include "ledger/LedgerMath.h"
#include "ledger/LedgerWindow.h"

using namespace Qt::StringLiterals;

namespace {

using Clock = std::chrono::steady_clock;

struct Fixture {
    QTemporaryDir dir;
    AppState state;
    QuietPlatform platform;
    Database database{state.table, platform, dir.filePath(DatabaseFile::FileName)};
    std::unique_ptr<LedgerWindow> window;
    QTableView* grid = nullptr;
    QLineEdit* editor = nullptr;
    QAbstractButton* right = nullptr;
    QAbstractButton* left = nullptr;

    Fixture() {
        state.table = MakeLargestTable();
        state.programFolder = dir.path();
        if (!DatabaseFile::save(database.path(), state.table))
            qFatal("cannot write the benchmark database");
        window =
            std::make_unique<LedgerWindow>(state, database, platform, MonthRequest{u"2020"_s, 5});
        window->show();
        grid = window->findChild<QTableView*>(u"g"_s);
        editor = window->findChild<QLineEdit*>(u"txtg"_s);
        right = window->findChild<QAbstractButton*>(u"CmdRight"_s);
        left = window->findChild<QAbstractButton*>(u"CmdLeft"_s);
        QApplication::processEvents();
    }
};

std::unique_ptr<Fixture> g_fixture;

Fixture& fixture() {
    return MadeOnce(g_fixture);
}

template <typename Work> void AgainstFloor(benchmark::State& state, Work&& work) {
    Fixture& f = fixture();
    RunAgainstFloor<Clock>(state, f.database.path(), [&] { work(f); });
}

void SendKey(QWidget* to, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(to, &release);
}

// One month shown: the month button, then the grid painted.
void BM_ShowMonth(benchmark::State& state) {
    bool forward = true;
    AgainstFloor(state, [&](Fixture& f) {
        (forward ? f.right : f.left)->click();
        forward = !forward;
        f.grid->viewport()->repaint();
    });
}

// One value typed and accepted with Enter; the editor moves down and reopens.
void BM_AcceptEdit(benchmark::State& state) {
    int row = 0;
    AgainstFloor(state, [&](Fixture& f) {
        if (!f.editor->isVisible()) {
            f.grid->setCurrentIndex(f.grid->model()->index(row, LgPaidIn));
            f.grid->setFocus();
            SendKey(f.grid, Qt::Key_Return);
        }
        f.editor->setText(QString::number(100 + row));
        SendKey(f.editor, Qt::Key_Return);
        f.grid->viewport()->repaint();
        row = (row + 1) % 500;
    });
}

} // namespace

BENCHMARK(BM_ShowMonth)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AcceptEdit)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, [] { g_fixture.reset(); });
}
