#include "CoreAffinity.h"

#ifdef __linux__
#include <sched.h>
#include <sys/resource.h>

#include <cerrno>
#endif

int CurrentCore() {
#ifdef __linux__
    return sched_getcpu();
#else
    return -1;
#endif
}

void KeepCallingThreadOffCore(int core) {
#ifdef __linux__
    if (core < 0 || core >= CPU_SETSIZE)
        return;
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0 || !CPU_ISSET(core, &allowed))
        return;
    CPU_CLR(core, &allowed);
    if (CPU_COUNT(&allowed) > 0)
        sched_setaffinity(0, sizeof allowed, &allowed);
#else
    (void)core;
#endif
}

void LowerCallingThreadPriority() {
#ifdef __linux__
    // Linux keeps a niceness for each thread: "0" is the calling one. A
    // thread already lower stays as it is.
    errno = 0;
    const int now = getpriority(PRIO_PROCESS, 0);
    if (errno == 0 && now < LoweredNiceness)
        setpriority(PRIO_PROCESS, 0, LoweredNiceness);
#endif
}
