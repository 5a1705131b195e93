#pragma once

#include <thread>

// Loads the system's font configuration on a thread of its own. The main
// window's first text needs it, and reading it is the largest single step
// of building that window; it needs no display, so it can run while the
// application connects to one, below the priority of the display server.
class FontConfigPreload {
public:
    FontConfigPreload();
    ~FontConfigPreload();
    FontConfigPreload(const FontConfigPreload&) = delete;
    FontConfigPreload& operator=(const FontConfigPreload&) = delete;

    // Returns once the configuration is loaded. Call it before any text is
    // laid out: a second load begun meanwhile would read it all again.
    void wait();

private:
    std::thread m_thread;
};
