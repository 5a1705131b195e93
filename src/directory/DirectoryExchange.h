#pragma once

#include <QList>
#include <QString>

#include "DirectoryOps.h"

class SubscriberTable;
class WorkbookSheet;
struct WorkbookReadResult;

// The directory written to a workbook: a bold centred header row, then one
// row per subscriber (fields 1..6 in columns A..F), thin borders round every
// cell, columns fitted to their texts.
WorkbookSheet DirectoryExportSheet(const SubscriberTable& table);
inline const QString DirectoryExportName = QStringLiteral("Справочник абонентов");

// The directory read from a workbook's active sheet: the rows from sheet row
// 2 down to the first empty A cell, columns B..F.
struct DirectoryImport {
    enum class Status {
        Ok,
        Empty,   // A2 is empty: nothing to import
        TooMany, // more rows than the table holds
    };
    Status status = Status::Empty;
    QList<DirectoryFields> rows;
};
DirectoryImport ReadDirectoryImport(const WorkbookReadResult& sheet);
// Makes the rows subscribers 1..n: numbers and fields 2..6 are replaced, the
// rest of each row stays with it. A row past the former count belonged to no
// one, so it starts empty rather than with a deleted subscriber's leftovers.
void ApplyDirectoryImport(SubscriberTable& table, const QList<DirectoryFields>& rows);
