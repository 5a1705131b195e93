#pragma once

#include <QJsonObject>
#include <QString>

// Reads a written workbook with openpyxl, an independent reader, and returns
// its active sheet as JSON: "cells" (address -> value, type, bold, color,
// h, v, wrap, borders [left right top bottom], format), "merges", "widths"
// (column letter -> stored width) and "sheets". Empty on failure.
QJsonObject DumpWorkbook(const QString& path);
QJsonObject DumpedCell(const QJsonObject& dump, const QString& address);
// The width in characters a user sees for a column's stored width.
double ShownColumnWidth(const QJsonObject& dump, const QString& column);
