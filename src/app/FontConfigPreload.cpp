#include "FontConfigPreload.h"

#include <fontconfig/fontconfig.h>

#ifdef __linux__
#include <sys/resource.h>
#endif

FontConfigPreload::FontConfigPreload()
    : m_thread([] {
#ifdef __linux__
          // Yields to the display server, which the application is talking
          // to meanwhile: a reply waiting for this thread holds up the start
          // more than this reading done a little later. Linux gives each
          // thread its own niceness.
          setpriority(PRIO_PROCESS, 0, 10);
#endif
          FcInit();
      }) {
}

FontConfigPreload::~FontConfigPreload() {
    wait();
}

void FontConfigPreload::wait() {
    if (m_thread.joinable())
        m_thread.join();
}
