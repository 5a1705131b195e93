#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

#include <QTemporaryDir>
#include <QTest>

#include "core/CoreAffinity.h"
#include "storage/DatabasePrefetch.h"
#include "support/TestFiles.h"

#ifdef __linux__
#include <sched.h>
#include <sys/resource.h>
#endif

class tst_CoreAffinity : public QObject {
    Q_OBJECT
private slots:
    void keepsOffTheGivenCoreOnly();
    void prefetchWorkerLeavesTheBuildersCore();
    void lowersOnlyTheCallingThread();
    void prefetchStepRunsLowered();
};

namespace {

#ifdef __linux__
std::vector<int> allowedCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    sched_getaffinity(0, sizeof set, &set);
    std::vector<int> cores;
    for (int c = 0; c < CPU_SETSIZE; ++c)
        if (CPU_ISSET(c, &set))
            cores.push_back(c);
    return cores;
}

void allowOnly(const std::vector<int>& cores) {
    cpu_set_t set;
    CPU_ZERO(&set);
    for (int c : cores)
        CPU_SET(c, &set);
    sched_setaffinity(0, sizeof set, &set);
}

// What a fresh thread is allowed after `step` has run on it.
std::vector<int> allowedAfter(const std::function<void()>& step) {
    std::vector<int> cores;
    std::thread([&] {
        step();
        cores = allowedCores();
    }).join();
    return cores;
}
#endif

} // namespace

void tst_CoreAffinity::keepsOffTheGivenCoreOnly() {
#ifdef __linux__
    const std::vector<int> all = allowedCores();
    QVERIFY(!all.empty());
    QVERIFY(CurrentCore() >= 0);
    // Nothing to keep off: unknown core, or one that is not allowed anyway.
    QCOMPARE(allowedAfter([] { KeepCallingThreadOffCore(-1); }), all);
    QCOMPARE(allowedAfter([] { KeepCallingThreadOffCore(CPU_SETSIZE + 5); }), all);
    // The only core it may use is kept.
    allowOnly({all.front()});
    const std::vector<int> one =
        allowedAfter([core = all.front()] { KeepCallingThreadOffCore(core); });
    allowOnly(all);
    QCOMPARE(one, std::vector<int>{all.front()});
    if (all.size() < 2)
        QSKIP("one core only: nothing to move to");
    std::vector<int> rest(all.begin() + 1, all.end());
    QCOMPARE(allowedAfter([core = all.front()] { KeepCallingThreadOffCore(core); }), rest);
    // Only the calling thread moves.
    QCOMPARE(allowedCores(), all);
#else
    QSKIP("cores are placed by the system here");
#endif
}

void tst_CoreAffinity::prefetchWorkerLeavesTheBuildersCore() {
#ifdef __linux__
    const std::vector<int> all = allowedCores();
    if (all.size() < 2)
        QSKIP("one core only: nothing to move to");
    QTemporaryDir dir;
    const QString path = dir.filePath(DatabaseFile::FileName);
    QVERIFY(writeFile(path, TaggedDatabase(QStringLiteral("Первый"), 1)));
    const int builder = all.back();
    std::vector<int> workerCores;
    // The thread that starts the read runs on `builder` only.
    allowOnly({builder});
    {
        DatabasePrefetch prefetch(
            path, [&workerCores](const SubscriberTable&) { workerCores = allowedCores(); });
        SubscriberTable table;
        QCOMPARE(prefetch.load(path, table).status, DatabaseFile::Status::Ok);
        prefetch.alsoDone();
    }
    allowOnly(all);
    // A new thread takes its starter's cores: the worker was allowed `builder`
    // alone, and moved off it would have had no core, so it kept it.
    QCOMPARE(workerCores, std::vector<int>{builder});
    // Started from a thread that may run anywhere but is on `builder` now,
    // the worker is kept off it.
    std::vector<int> expected(all.begin(), all.end() - 1);
    for (int attempt = 0; attempt < 50; ++attempt) {
        allowOnly({builder});
        QCOMPARE(CurrentCore(), builder);
        allowOnly(all);
        workerCores.clear();
        {
            DatabasePrefetch prefetch(
                path, [&workerCores](const SubscriberTable&) { workerCores = allowedCores(); });
            SubscriberTable table;
            QCOMPARE(prefetch.load(path, table).status, DatabaseFile::Status::Ok);
            prefetch.alsoDone();
        }
        if (workerCores == expected)
            return;
    }
    QFAIL("the worker was never kept off the core its starter ran on");
#else
    QSKIP("cores are placed by the system here");
#endif
}

void tst_CoreAffinity::lowersOnlyTheCallingThread() {
#ifdef __linux__
    const int before = getpriority(PRIO_PROCESS, 0);
    int lowered = before, sibling = -100;
    std::thread([&] {
        LowerCallingThreadPriority();
        lowered = getpriority(PRIO_PROCESS, 0);
        std::thread([&sibling] { sibling = getpriority(PRIO_PROCESS, 0); }).join();
    }).join();
    QCOMPARE(lowered, std::max(before, LoweredNiceness));
    QVERIFY(lowered > before || before >= LoweredNiceness);
    // A thread it starts inherits it; the process's other threads do not.
    QCOMPARE(sibling, lowered);
    QCOMPARE(getpriority(PRIO_PROCESS, 0), before);
    int other = -100;
    std::thread([&other] { other = getpriority(PRIO_PROCESS, 0); }).join();
    QCOMPARE(other, before);
#else
    QSKIP("threads have no priority of their own here");
#endif
}

// The read runs at the window's priority; the step after it, which nothing
// waits for yet, gives way.
void tst_CoreAffinity::prefetchStepRunsLowered() {
#ifdef __linux__
    QTemporaryDir dir;
    const QString path = dir.filePath(DatabaseFile::FileName);
    QVERIFY(writeFile(path, TaggedDatabase(QStringLiteral("Первый"), 1)));
    const int mine = getpriority(PRIO_PROCESS, 0);
    int stepPriority = mine;
    {
        DatabasePrefetch prefetch(path, [&stepPriority](const SubscriberTable&) {
            stepPriority = getpriority(PRIO_PROCESS, 0);
        });
        SubscriberTable table;
        QCOMPARE(prefetch.load(path, table).status, DatabaseFile::Status::Ok);
        prefetch.alsoDone();
    }
    QCOMPARE(stepPriority, std::max(mine, LoweredNiceness));
    QCOMPARE(getpriority(PRIO_PROCESS, 0), mine);
#else
    QSKIP("threads have no priority of their own here");
#endif
}

QTEST_GUILESS_MAIN(tst_CoreAffinity)
#include "tst_CoreAffinity.moc"
