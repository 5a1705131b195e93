#pragma once

#include <QString>

// A "|" ends a cell in the database file and would split the line on the
// next load: the table's editors keep what is typed or pasted without it.
QString WithoutCellSeparator(const QString& text);
