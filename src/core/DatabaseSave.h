#pragma once

#include "DatabaseFile.h"

struct AppState;
class Platform;

// Takes the day's safety copy of the database file, unless this run has
// taken it already. A failure is told once per run and stops nothing.
void TakeDailySafetyCopy(AppState& state, Platform& platform,
                         const DatabaseFile::SaveFileFactory& makeFile = {});

// Every write of the table to the database file goes through here: the day's
// safety copy first, then the atomic save. false when the save failed (the
// caller says "Ошибка сохранения").
bool SaveDatabase(AppState& state, Platform& platform,
                  const DatabaseFile::SaveFileFactory& makeFile = {});
