#pragma once

#include "DatabaseFile.h"

struct AppState;
class Platform;

// Takes the day's safety copy of the database file, unless this run has
// taken it already. A failure is told once per run and stops nothing; nor
// does a disk without room for the copy and the next save together: the copy
// is skipped and that is told as any failed copy.
void TakeDailySafetyCopy(AppState& state, Platform& platform,
                         const DatabaseFile::SaveFileFactory& makeFile = {});

// Every write of the table to the database file goes through here: the day's
// safety copy first, then the atomic save. A save short of room right after
// this run's copy takes the copy back and is tried once more. false when the
// save failed (the caller says "Ошибка сохранения"). After a restore nothing
// is written, and that is no failure.
bool SaveDatabase(AppState& state, Platform& platform,
                  const DatabaseFile::SaveFileFactory& makeFile = {});

// Before a restore replaces the database file: writes the table as it is in
// memory, unsaved changes included, into the safety copies. false, after
// telling the user why, when that copy could not be made: the restore must
// then replace nothing.
bool KeepTableBeforeRestore(AppState& state, Platform& platform,
                            const DatabaseFile::SaveFileFactory& makeFile = {});
