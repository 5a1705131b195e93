#pragma once

#include <array>

#include <QString>

#include "workbook/WorkbookSheet.h"
#include "imbalance/ImbalanceMath.h"

// What the imbalance window shows of each month's results: [month][column].
using ImbalanceShownTexts = std::array<std::array<QString, ImbCol::Count>, 12>;

// The worksheet of the imbalance export. title: "Разбаланс " and the year
// caption; every box text becomes the number it reads as (0 when it reads as
// none).
WorkbookSheet ImbalanceSheet(const QString& title, const HeadMeterTexts& head,
                             const ImbalanceShownTexts& shown);
