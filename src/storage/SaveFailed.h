#pragma once

class Platform;

// "Ошибка сохранения": the database or a backup could not be written.
void TellSaveFailed(Platform& platform);
