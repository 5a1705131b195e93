#pragma once

#include <chrono>

#include <benchmark/benchmark.h>

#include <QString>

#include "core/Platform.h"
#include "core/Settings.h"
#include "core/SubscriberTable.h"

// The calling thread's CPU time: time spent waiting for a core shared with
// other work is not the program's.
struct ThreadClock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<ThreadClock, duration>;
    static time_point now();
};

// The largest database: 501 subscribers with realistic texts in every stored
// cell of the month blocks, the directory fields and the head meter, for every
// year from 2017 to lastYear.
SubscriberTable MakeLargestTable(int lastYear = 2024);

// The floor every figure is measured against: the file's bytes read whole
// and their "|" counted. Returns the count.
qint64 FloorOnce(const QString& path);

template <typename Duration> double Seconds(Duration d) {
    return std::chrono::duration<double>(d).count();
}

// Runs the floor and the work alternately: the iteration time is the work's,
// the counter "vs_floor" is work time / floor time over the run. `after` runs
// outside the measured time (to close what the work opened).
template <typename Clock = ThreadClock, typename Floor, typename Work, typename After = void (*)()>
void RunAgainstFloorOf(
    benchmark::State& state, Floor&& floor, Work&& work, After&& after = [] {}) {
    double workTotal = 0, floorTotal = 0;
    for (auto _ : state) {
        const auto a = Clock::now();
        floor();
        const auto b = Clock::now();
        work();
        const auto c = Clock::now();
        floorTotal += Seconds(b - a);
        workTotal += Seconds(c - b);
        state.SetIterationTime(Seconds(c - b));
        after();
    }
    state.counters["vs_floor"] = workTotal / floorTotal;
    state.counters["floor_ms"] = floorTotal * 1000 / double(state.iterations());
}

// The same against the database floor on `path`.
template <typename Clock = ThreadClock, typename Work, typename After = void (*)()>
void RunAgainstFloor(
    benchmark::State& state, const QString& path, Work&& work, After&& after = [] {}) {
    RunAgainstFloorOf<Clock>(
        state, [&path] { FloorOnce(path); }, std::forward<Work>(work), std::forward<After>(after));
}

// Answers nothing: the measured paths ask nothing.
class QuietPlatform final : public Platform {
public:
    MsgAnswer message(const QString&, const QString&, MsgIcon, MsgButtons, MsgAnswer d) override {
        return d;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<int> chooseColor(int) override { return std::nullopt; }
    bool print(const PrintJob&) override { return false; }
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&, const QStringList&) override { return false; }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    Settings& settings() override { return m_settings; }
    void quit(int) override {}

private:
    Settings m_settings{QStringLiteral("ostrevanka-bench")};
};
