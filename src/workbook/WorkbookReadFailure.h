#pragma once

class Platform;
struct WorkbookReadResult;

// The imports' one failure pattern: "Доступ к файлу закрыт!" for a locked or
// unreadable file, "Ошибка импорта!" for anything else. false when the
// workbook was read.
bool ReportWorkbookReadFailure(Platform& platform, const WorkbookReadResult& result);
