#pragma once

#include <QString>

// Flushes a folder's entries to the disk, so that a file just renamed into it
// survives a power cut under its new name. false when the folder could not be
// opened or synced; where the platform has no such call it does nothing.
bool SyncFolder(const QString& folder);
