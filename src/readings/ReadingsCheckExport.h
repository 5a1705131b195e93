#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class WorkbookSheet;

// The readings check's list as a worksheet: a title, the column headings and
// one row per shown line.
WorkbookSheet ReadingsCheckSheet(const QString& yearText, const QList<QStringList>& lines);
// "Проверка показаний " + year
QString ReadingsCheckExportName(const QString& yearText);
