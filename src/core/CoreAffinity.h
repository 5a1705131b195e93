#pragma once

// Where a worker thread runs, and how it gives way. At start the scheduler may
// leave the database read on the core that builds the window while the other
// core idles; the two then take turns where they could run side by side. And
// work nobody waits for yet should not hold up the display server, which the
// window's start talks to.

// The core the calling thread runs on now; -1 where that is not known.
int CurrentCore();

// Lets the calling thread run on any of its allowed cores but `core`. Does
// nothing when `core` is -1, when no other core is allowed, or where the
// system does not say which core a thread runs on.
void KeepCallingThreadOffCore(int core);

// Lowers the calling thread's priority below that of other programs (the
// display server, the window manager), to niceness LoweredNiceness unless it
// is lower already; other threads of the process keep theirs. Does nothing
// where threads have no priority of their own.
inline constexpr int LoweredNiceness = 10;
void LowerCallingThreadPriority();
