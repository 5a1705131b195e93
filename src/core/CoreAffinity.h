#pragma once

// Keeping a worker thread off the core another thread works on. At start the
// scheduler may leave the database read on the core that builds the window
// while the other core idles; the two then take turns where they could run
// side by side.

// The core the calling thread runs on now; -1 where that is not known.
int CurrentCore();

// Lets the calling thread run on any of its allowed cores but `core`. Does
// nothing when `core` is -1, when no other core is allowed, or where the
// system does not say which core a thread runs on.
void KeepCallingThreadOffCore(int core);
