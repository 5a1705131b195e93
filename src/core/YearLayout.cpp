#include "YearLayout.h"

#include <algorithm>

#include "SubscriberTable.h"

using namespace Qt::StringLiterals;

namespace YearLayout {
namespace {

QStringList& offered() {
    static QStringList years = [] {
        QStringList y;
        for (int i = 0; i < LegacyYearCount; ++i)
            y << QString::number(FirstYear + i);
        return y;
    }();
    return years;
}

} // namespace

int YearOfColumn(int col) {
    if (col <= LegacyLastColumn)
        return -1;
    return LegacyYearCount + (col - BlockStart(LegacyYearCount)) / BlockColumns;
}

std::optional<int> LastLaterYearWithData(const SubscriberTable& table, HoldsData holdsData) {
    int last = -1;
    for (int r = 1; r <= table.subscriberCount(); ++r) {
        // Only what lies beyond the last year found so far can raise it.
        const int from = std::max(LegacyLastColumn + 1, last < 0 ? 0 : BlockStart(last + 1));
        for (int c = std::min(table.heldColumns(r), LastColumn); c >= from; --c)
            if (const CellText v = table.cellView(r, c); holdsData ? holdsData(v) : !v.isEmpty()) {
                last = YearOfColumn(c);
                break;
            }
    }
    if (last < 0)
        return std::nullopt;
    return last;
}

int LastStoredColumn(const SubscriberTable& table, HoldsData holdsData) {
    return LastColumnUpTo(LastLaterYearWithData(table, holdsData).value_or(LegacyYearCount - 1));
}

int LastYearToOffer(int currentYear, const SubscriberTable& table) {
    const int withData = FirstYear + LastLaterYearWithData(table).value_or(0);
    return std::clamp(std::max(currentYear + 1, withData), FirstYear + LegacyYearCount - 1,
                      LastYear);
}

void OfferYearsUpTo(int lastYear) {
    const int last = std::clamp(lastYear, FirstYear + LegacyYearCount - 1, LastYear);
    QStringList& years = offered();
    years.clear();
    for (int y = FirstYear; y <= last; ++y)
        years << QString::number(y);
}

} // namespace YearLayout

using namespace YearLayout;

const QStringList& YearTexts() {
    return offered();
}

std::optional<int> YearIndex(const QString& yearText) {
    const qsizetype i = YearTexts().indexOf(yearText);
    if (i < 0)
        return std::nullopt;
    return int(i);
}

QString YearText(int yearIndex) {
    return QString::number(FirstYear + yearIndex);
}

int MonthColumn(int yearIndex, int month, int slot) {
    if (yearIndex < LegacyYearCount)
        return 8 + 265 * yearIndex + 22 * (month - 1) + slot;
    return BlockStart(yearIndex) + 22 * (month - 1) + slot;
}

int HeadMeterColumn(int yearIndex, int month, int k) {
    if (yearIndex < LegacyYearCount)
        return 2126 + 48 * yearIndex + 4 * (month - 1) + k;
    return BlockStart(yearIndex) + 264 + 4 * (month - 1) + k;
}

bool IsSharedHeadMeterCell(int row, int col) {
    return row == HeadMeterRow && col == HeadMeterColumn(0, 1, 0);
}
