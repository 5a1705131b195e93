#pragma once

#include <vector>

#include <QString>
#include <QStringView>

class SubscriberTable;

// Readings that would make a wrong bill, found in one year of every
// subscriber. Nothing here writes to the table.
enum class FindingKind {
    CurrentBelowPrevious, // "Текущее меньше последнего"
    Gap,                  // "Разрыв"
    Jump,                 // "Скачок"
    MissingReading,       // "Нет показаний"
    MissingTariff,        // "Нет тарифа"
};
constexpr int FindingKindCount = 5;

QString FindingKindName(FindingKind kind);

struct ReadingFinding {
    int row = 0;    // subscriber
    int month = 0;  // 1..12
    int tariff = 1; // 1 = T1, 2 = T2
    FindingKind kind = FindingKind::CurrentBelowPrevious;
    int slot = 0; // the month's cell to look at (MonthSlot)
    QString values; // the values that show it, e.g. "Т1: текущее 100 < последнего 150"
    bool operator==(const ReadingFinding&) const = default;
};

// A jump is a month's consumption above JumpFactor times the median of the
// months with consumption, when there are at least JumpMinMonths of them and
// the month itself is above JumpMinKwh.
constexpr double JumpFactor = 3;
constexpr int JumpMinMonths = 4;
constexpr double JumpMinKwh = 100;

// Every finding of the year, sorted by row, month, kind and tariff. January
// is compared with December of the year before and December with January of
// the year after, where those years exist.
std::vector<ReadingFinding> CheckReadings(const SubscriberTable& table, int yearIndex);

// Both readings filled and the current one reads lower: the charge counts
// the month's consumption as 0.
bool CurrentBelowPrevious(QStringView current, QStringView previous);
// The tooltip of a current reading below the previous one.
QString CurrentBelowPreviousTip(const QString& previous);
