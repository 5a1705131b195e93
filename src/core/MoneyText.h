#pragma once

#include <optional>

#include <QString>
#include <QStringView>

// Money texts of bank statements and the payment journal: digits with a
// decimal point or comma, at most two decimals (more only as zeros). Spaces
// between digit groups are allowed.
std::optional<qint64> ReadKopecks(QStringView text);
// 123456 -> "1234,56"
QString KopecksText(qint64 kopecks);
