// The database file at its largest: 501 subscribers with every month of every
// year filled, for 2017..2024 (argument 2024) and for 2017..2030 (2030). Each benchmark runs the
// floor (read the file's bytes and count its "|") in the same iterations as the measured work and
// reports the ratio, so the figures mean something on a busy machine. Times are the thread's CPU
// time (user and system, page faults included): time spent waiting for a
// core shared with other work is not the program's.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "core/DatabaseFile.h"
#include "core/NumberText.h"

using namespace Qt::StringLiterals;

namespace {

struct Fixture {
    QTemporaryDir dir;
    QString path;
    QString scratchPath;
    SubscriberTable table;
    qint64 fileSize = 0;

    explicit Fixture(int lastYear) {
        path = dir.filePath(DatabaseFile::FileName);
        scratchPath = dir.filePath(u"scratch.spb"_s);
        table = MakeLargestTable(lastYear);
        if (!DatabaseFile::save(path, table))
            qFatal("cannot write the benchmark database");
        fileSize = QFile(path).size();
    }
};

Fixture& fixture(const benchmark::State& state) {
    static std::map<int, std::unique_ptr<Fixture>> made;
    const int lastYear = int(state.range(0));
    auto& f = made[lastYear];
    if (!f)
        f = std::make_unique<Fixture>(lastYear);
    return *f;
}

// Waiting for the disk is no CPU time: the save with fsync is measured on
// the wall clock instead.
template <typename Timer = ThreadClock, typename Work, typename After = void (*)()>
void againstFloor(
    benchmark::State& state, Work&& work, After&& after = [] {}) {
    Fixture& f = fixture(state);
    RunAgainstFloor<Timer>(
        state, f.path, [&] { work(f); }, after);
    state.counters["file_MB"] = double(f.fileSize) / 1e6;
    state.SetBytesProcessed(int64_t(state.iterations()) * f.fileSize);
}

void BM_Floor(benchmark::State& state) {
    Fixture& f = fixture(state);
    for (auto _ : state)
        FloorOnce(f.path);
    state.counters["file_MB"] = double(f.fileSize) / 1e6;
    state.counters["separators"] = double(FloorOnce(f.path));
    state.SetBytesProcessed(int64_t(state.iterations()) * f.fileSize);
}

// As at start-up: a fresh table each time (its memory is part of the cost).
// The table is dropped outside the measured time.
void BM_Load(benchmark::State& state) {
    std::unique_ptr<SubscriberTable> loaded;
    std::size_t memory = 0;
    againstFloor(
        state,
        [&](Fixture& f) {
            loaded = std::make_unique<SubscriberTable>();
            if (DatabaseFile::load(f.path, *loaded).status != DatabaseFile::Status::Ok)
                state.SkipWithError("load failed");
            memory = loaded->memoryBytes();
        },
        [&] { loaded.reset(); });
    state.counters["table_MB"] = double(memory) / 1e6;
    state.counters["memory_vs_file"] = double(memory) / double(fixture(state).fileSize);
}

void BM_Serialize(benchmark::State& state) {
    againstFloor(state, [](Fixture& f) {
        const QByteArray bytes = DatabaseFile::serialize(f.table);
        benchmark::DoNotOptimize(bytes.constData());
    });
}

// The writer without fsync: the bytes (the save cleans line breaks only when
// they turn up while encoding) and a plain write.
void BM_SaveNoSync(benchmark::State& state) {
    againstFloor(state, [&](Fixture& f) {
        const QByteArray bytes = DatabaseFile::serialize(f.table);
        QFile out(f.scratchPath);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(bytes) != bytes.size())
            state.SkipWithError("write failed");
    });
}

// The real save: temporary file, fsync, rename; wall-clock time.
void BM_SaveAtomicFsync(benchmark::State& state) {
    againstFloor<std::chrono::steady_clock>(state, [&](Fixture& f) {
        if (!DatabaseFile::save(f.scratchPath, f.table))
            state.SkipWithError("save failed");
    });
}

} // namespace

BENCHMARK(BM_Floor)->Arg(2024)->Arg(2030)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(2024)->Arg(2030)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Serialize)->Arg(2024)->Arg(2030)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveNoSync)->Arg(2024)->Arg(2030)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveAtomicFsync)->Arg(2024)->Arg(2030)->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
