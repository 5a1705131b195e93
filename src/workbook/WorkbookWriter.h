#pragma once

#include <QString>

class WorkbookSheet;

// Writes the sheet as the only worksheet of an .xlsx workbook at path
// (whatever its extension says). The file is first written beside the
// target and then renamed over it, so a failed write leaves an existing
// file as it was. false on any failure.
bool WriteWorkbook(const WorkbookSheet& sheet, const QString& path);

// Save and open dialogs: the filter, and the proposed path with the ".xlsx"
// extension ("Справочник абонентов" -> folder/"Справочник абонентов.xlsx").
QString WorkbookFilter();
QString WorkbookProposedPath(const QString& folder, const QString& baseName);
// The path to write for a name chosen in the save dialog: a name ending in
// ".xlsx" or ".xls" (any case) is taken as it is, anything else gets ".xlsx".
// Empty (the dialog was cancelled) stays empty.
QString WorkbookSavePath(const QString& chosen);
