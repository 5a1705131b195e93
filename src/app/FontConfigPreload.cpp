#include "FontConfigPreload.h"

#include <fontconfig/fontconfig.h>

FontConfigPreload::FontConfigPreload() : m_thread([] { FcInit(); }) {}

FontConfigPreload::~FontConfigPreload() {
    wait();
}

void FontConfigPreload::wait() {
    if (m_thread.joinable())
        m_thread.join();
}
