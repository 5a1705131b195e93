#include <thread>

#include <QTest>

#include "app/FontConfigPreload.h"

#ifdef __linux__
#include <sys/resource.h>
#endif

// The configuration is read at a lower priority, by its own thread only.
class tst_FontConfigPreload : public QObject {
    Q_OBJECT
private slots:
    void lowersOnlyItsOwnThread();
};

void tst_FontConfigPreload::lowersOnlyItsOwnThread() {
#ifdef __linux__
    const int before = getpriority(PRIO_PROCESS, 0);
#endif
    {
        FontConfigPreload preload;
        preload.wait();
    }
#ifdef __linux__
    // The lowered priority stays with the thread that read the configuration.
    QCOMPARE(getpriority(PRIO_PROCESS, 0), before);
    int other = -100;
    std::thread([&other] { other = getpriority(PRIO_PROCESS, 0); }).join();
    QCOMPARE(other, before);
#endif
}

QTEST_GUILESS_MAIN(tst_FontConfigPreload)
#include "tst_FontConfigPreload.moc"
