#pragma once

#include <array>

#include <QString>

class Platform;
class WorkbookSheet;

// What the main window shows for one subscriber and year, as on the screen.
struct ShownYear {
    QString name;
    QString year;
    std::array<std::array<QString, 9>, 12> entries; // slots 0..8 of each month
    std::array<std::array<QString, 5>, 12> results; // result cells 0..4
};

// The worksheet of the main window's table export.
WorkbookSheet TableExportSheet(const ShownYear& shown);
// "Учет эл. энергии  " + name + " " + year
QString TableExportName(const QString& name, const QString& year);
// "Экспорт таблицы в Excel": asks where, in the documents folder first, and
// writes the workbook; a cancelled dialog writes nothing.
void ExportTable(Platform& platform, const ShownYear& shown);
