// The database file at its largest: 501 subscribers with every month of every
// year filled, for 2017..2024 (argument 2024) and for 2017..2030 (2030).
// BM_Load's "memory_vs_file" is the loaded table's memory against the file. Each benchmark runs the
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

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "storage/DatabaseFile.h"
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

// The bytes written to a fresh file and synced: the least any save costs.
bool WriteWithFsync(const QString& path, const QByteArray& bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            break;
        done += n;
    }
    const bool ok = done == bytes.size() && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

// A table as loaded, saved again unchanged (temporary file, fsync, rename,
// folder sync), against writing the file's bytes with fsync, alternately and
// on the wall clock. The ratio is "vs_write_fsync".
void BM_SaveUnchanged(benchmark::State& state) {
    Fixture& f = fixture(state);
    SubscriberTable loaded;
    if (DatabaseFile::load(f.path, loaded).status != DatabaseFile::Status::Ok) {
        state.SkipWithError("load failed");
        return;
    }
    QFile in(f.path);
    if (!in.open(QIODevice::ReadOnly)) {
        state.SkipWithError("read failed");
        return;
    }
    const QByteArray bytes = in.readAll();
    if (DatabaseFile::serialize(loaded) != bytes) {
        state.SkipWithError("an unchanged table is not written as it was read");
        return;
    }
    const QString plainPath = f.dir.filePath(u"plain.spb"_s);
    double saveTotal = 0, writeTotal = 0;
    for (auto _ : state) {
        const auto a = std::chrono::steady_clock::now();
        if (!WriteWithFsync(plainPath, bytes))
            state.SkipWithError("write failed");
        const auto b = std::chrono::steady_clock::now();
        if (!DatabaseFile::save(f.scratchPath, loaded))
            state.SkipWithError("save failed");
        const auto c = std::chrono::steady_clock::now();
        writeTotal += Seconds(b - a);
        saveTotal += Seconds(c - b);
        state.SetIterationTime(Seconds(c - b));
    }
    state.counters["vs_write_fsync"] = saveTotal / writeTotal;
    state.counters["write_fsync_ms"] = writeTotal * 1000 / double(state.iterations());
    state.counters["file_MB"] = double(f.fileSize) / 1e6;
}

} // namespace

BENCHMARK(BM_Floor)->Arg(2024)->Arg(2030)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(2024)->Arg(2030)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Serialize)->Arg(2024)->Arg(2030)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveNoSync)->Arg(2024)->Arg(2030)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveAtomicFsync)->Arg(2024)->Arg(2030)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveUnchanged)->Arg(2024)->Arg(2030)->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
