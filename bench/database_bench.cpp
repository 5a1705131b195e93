// The database file at its largest: 501 subscribers with every month of every
// year filled. Each benchmark runs the floor (read the file's bytes and count
// its "|") in the same iterations as the measured work and reports the ratio,
// so the figures mean something on a busy machine. Times are the thread's CPU
// time (user and system, page faults included): time spent waiting for a
// core shared with other work is not the program's.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "core/DatabaseFile.h"
#include "core/NumberText.h"

using namespace Qt::StringLiterals;

namespace {

// The calling thread's CPU time.
struct Clock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<Clock, duration>;
    static time_point now() {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return time_point(duration(qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec));
    }
};

const QStringList Surnames = {u"Иванов"_s,   u"Петров"_s,  u"Сидоров"_s,  u"Ёлкин"_s,
                              u"Кузнецов"_s, u"Смирнов"_s, u"Фёдоров"_s,  u"Соколов"_s,
                              u"Михайлов"_s, u"Новиков"_s, u"Морозов"_s,  u"Волков"_s,
                              u"Алексеев"_s, u"Лебедев"_s, u"Семёнов"_s,  u"Егоров"_s,
                              u"Павлов"_s,   u"Козлов"_s,  u"Степанов"_s, u"Николаев"_s};
const QString Initials = u"АБВГДЕЖЗИКЛМНОПРСТУФ"_s;

// Realistic texts for every stored cell of the month blocks, the directory
// fields and the head meter.
SubscriberTable makeLargestTable() {
    SubscriberTable t;
    t.setSubscriberCount(SubscriberTable::MaxRow);
    for (int r = 1; r <= SubscriberTable::MaxRow; ++r) {
        t.setCell(r, ColRowNumber, QString::number(r));
        t.setCell(r, ColName,
                  Surnames.at(r % Surnames.size()) + u' ' + Initials.at(r % Initials.size()) +
                      u". " + Initials.at((r * 7) % Initials.size()) + u'.');
        t.setCell(r, ColAddress, u"уч. №%1, ул. Лесная"_s.arg(r));
        t.setCell(r, ColPhone,
                  u"+7 921 %1-%2-%3"_s.arg(100 + r % 900).arg(10 + r % 90).arg(r % 90 + 10));
        t.setCell(r, ColMeterType, u"Меркурий 200.02"_s);
        t.setCell(r, ColNote, r % 3 ? u"оплата по квитанции"_s : u"льгота"_s);
        double t1 = 10000 + r * 13;
        double t2 = 4000 + r * 7;
        double balance = 0;
        for (int y = 0; y < YearTexts().size(); ++y) {
            for (int m = 1; m <= 12; ++m) {
                const auto col = [&](int s) { return MonthColumn(y, m, s); };
                const double d1 = 150 + (r * m) % 230;
                const double d2 = 60 + (r + m) % 90;
                const double tariff1 = 4.5 + 0.37 * y, tariff2 = 1.8 + 0.12 * y;
                const double coef = 1.0 + double((r + m + y) % 80) / 1520.0;
                const double charge = (d1 * tariff1 + d2 * tariff2) * coef;
                t.setCell(r, col(ReadingDate),
                          u"%1.%2.%3"_s.arg(28 + m % 3, 2, 10, QLatin1Char('0'))
                              .arg(m, 2, 10, QLatin1Char('0'))
                              .arg(17 + y));
                t.setCell(r, col(T1Previous), PlainNumber(t1));
                t1 += d1;
                t.setCell(r, col(T1Current), PlainNumber(t1));
                t.setCell(r, col(T2Previous), PlainNumber(t2));
                t2 += d2;
                t.setCell(r, col(T2Current), PlainNumber(t2));
                t.setCell(r, col(Tariff1), FormatMoney(tariff1));
                t.setCell(r, col(Tariff2), FormatMoney(tariff2));
                t.setCell(r, col(CompCoef1), FormatCoef(coef));
                t.setCell(r, col(CompCoef2), FormatCoef(coef));
                t.setCell(r, col(ChargeWithComp), PlainNumber(charge));
                const double due = charge + 150 + balance;
                const double paid = std::floor(due / 100) * 100;
                t.setCell(r, col(10), LedgerText(std::max(balance, 0.0)));
                t.setCell(r, col(11), LedgerText(std::max(-balance, 0.0)));
                t.setCell(r, col(12), FormatMoney(100));
                t.setCell(r, col(13), FormatMoney(50));
                t.setCell(r, col(14), FormatMoney(r % 5 * 10.5));
                t.setCell(r, col(15), FormatMoney(due));
                t.setCell(r, col(16), FormatMoney(paid));
                t.setCell(r, col(17), FormatMoney(0));
                t.setCell(r, col(18), FormatMoney(r % 7));
                balance = due - paid;
                t.setCell(r, col(19), FormatMoney(std::max(balance, 0.0)));
                t.setCell(r, col(20), FormatMoney(std::max(-balance, 0.0)));
                t.setCell(r, col(21), FormatMoney(100));
            }
        }
    }
    for (int y = 0; y < YearTexts().size(); ++y)
        for (int m = 1; m <= 12; ++m)
            for (int k = 0; k < 4; ++k)
                t.setCell(HeadMeterRow, HeadMeterColumn(y, m, k),
                          PlainNumber(500000 + y * 60000 + m * 5000 + k * 1234));
    return t;
}

struct Fixture {
    QTemporaryDir dir;
    QString path;
    QString scratchPath;
    SubscriberTable table;
    qint64 fileSize = 0;

    Fixture() {
        path = dir.filePath(DatabaseFile::FileName);
        scratchPath = dir.filePath(u"scratch.spb"_s);
        table = makeLargestTable();
        if (!DatabaseFile::save(path, table))
            qFatal("cannot write the benchmark database");
        fileSize = QFile(path).size();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// The floor: the file's bytes read whole and their "|" counted.
qint64 floorOnce(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read the benchmark database");
    const QByteArray bytes = f.readAll();
    const qint64 n = std::count(bytes.cbegin(), bytes.cend(), '|');
    benchmark::DoNotOptimize(n);
    return n;
}

template <typename Duration> double seconds(Duration d) {
    return std::chrono::duration<double>(d).count();
}

// Runs work and the floor alternately; the iteration time is the work's, the
// counter "vs_floor" is work time / floor time over the whole run. `after`
// runs outside the measured time. Waiting for the disk is no CPU time: the
// save with fsync is measured on the wall clock instead.
template <typename Timer = Clock, typename Work, typename After = void (*)()>
void againstFloor(
    benchmark::State& state, Work&& work, After&& after = [] {}) {
    Fixture& f = fixture();
    double workTotal = 0, floorTotal = 0;
    for (auto _ : state) {
        const auto a = Timer::now();
        floorOnce(f.path);
        const auto b = Timer::now();
        work(f);
        const auto c = Timer::now();
        floorTotal += seconds(b - a);
        workTotal += seconds(c - b);
        state.SetIterationTime(seconds(c - b));
        after();
    }
    state.counters["vs_floor"] = workTotal / floorTotal;
    state.counters["floor_ms"] = floorTotal * 1000 / double(state.iterations());
    state.counters["file_MB"] = double(f.fileSize) / 1e6;
    state.SetBytesProcessed(int64_t(state.iterations()) * f.fileSize);
}

void BM_Floor(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        floorOnce(f.path);
    state.counters["file_MB"] = double(f.fileSize) / 1e6;
    state.counters["separators"] = double(floorOnce(f.path));
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
    state.counters["memory_vs_file"] = double(memory) / double(fixture().fileSize);
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

BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Serialize)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveNoSync)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveAtomicFsync)->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
