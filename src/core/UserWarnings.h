#pragma once

#include <QString>

class Platform;
struct WorkbookReadResult;

// Warns before a text with characters that have no Windows-1251 form is
// stored (the file keeps them as "?"). Says nothing for a storable text.
void WarnIfNotStorable(Platform& platform, const QString& text);
// The imports' one failure pattern: "Доступ к файлу закрыт!" for a locked or
// unreadable file, "Ошибка импорта!" for anything else. false when the
// workbook was read.
bool ReportWorkbookReadFailure(Platform& platform, const WorkbookReadResult& result);
