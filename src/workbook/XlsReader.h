#pragma once

#include <map>
#include <optional>
#include <utility>

#include <QByteArray>
#include <QString>

// The non-empty cells of the active worksheet of a legacy workbook (Excel
// 97-2003, and Excel 5/95), given the bytes of the whole file; keys are
// 0-based (row, column). Every value becomes text: a number its PlainNumber
// form whatever its display format (a date stays its serial number), a
// formula its stored result, a boolean "ИСТИНА" or "ЛОЖЬ", an error nothing.
// Nothing at all when the file is damaged, encrypted or of another version.
std::optional<std::map<std::pair<int, int>, QString>> ReadXlsCells(const QByteArray& file);
