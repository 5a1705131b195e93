#pragma once

#include <functional>
#include <memory>

// Windows are made once, on first use, and kept for every benchmark of the
// program; they must be gone before the application object.
template <typename Fixture> Fixture& MadeOnce(std::unique_ptr<Fixture>& slot) {
    if (!slot)
        slot = std::make_unique<Fixture>();
    return *slot;
}

// main() of a benchmark of windows: an offscreen application, the selected
// benchmarks, then dropFixtures while the application still exists.
int RunWindowBenchmarks(int argc, char** argv, const std::function<void()>& dropFixtures);
