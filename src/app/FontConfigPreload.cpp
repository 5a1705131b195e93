#include "FontConfigPreload.h"

#include <fontconfig/fontconfig.h>

#include "core/CoreAffinity.h"

FontConfigPreload::FontConfigPreload()
    : m_thread([] {
          // The application talks to the display server meanwhile: a reply
          // held up by this thread costs the start more than this reading
          // done a little later.
          LowerCallingThreadPriority();
          FcInit();
      }) {}

FontConfigPreload::~FontConfigPreload() {
    wait();
}

void FontConfigPreload::wait() {
    if (m_thread.joinable())
        m_thread.join();
}
