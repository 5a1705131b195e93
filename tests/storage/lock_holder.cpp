// Takes the database lock in a process of its own and holds it until it is
// killed; says on stdout how the lock went.
#include <cstdio>
#include <thread>

#include <QCoreApplication>

#include "storage/DatabaseLock.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    DatabaseLock lock(QString::fromLocal8Bit(argv[1]));
    switch (lock.take()) {
    case DatabaseLock::Result::Taken:
        std::puts("taken");
        break;
    case DatabaseLock::Result::HeldByOther:
        std::puts("held");
        break;
    case DatabaseLock::Result::HeldElsewhere:
        std::puts("elsewhere");
        break;
    case DatabaseLock::Result::Failed:
        std::puts("failed");
        break;
    }
    std::fflush(stdout);
    if (!lock.isTaken())
        return 1;
    // Held until the test kills the process; a closed stdin ends it cleanly.
    while (std::getchar() != EOF) {
    }
    return 0;
}
