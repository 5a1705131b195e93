#include "YearLayout.h"

#include <algorithm>
#include <span>
#include <vector>

#include "NumberText.h"
#include "SubscriberTable.h"

using namespace Qt::StringLiterals;

namespace YearLayout {

int YearOfColumn(int col) {
    if (col <= LegacyLastColumn)
        return -1;
    return LegacyYearCount + (col - BlockStart(LegacyYearCount)) / BlockColumns;
}

bool HoldsLaterYearData(int col, QStringView text) {
    if (text.isEmpty() || col <= LegacyLastColumn)
        return !text.isEmpty();
    const int inBlock = col - BlockStart(YearOfColumn(col));
    const bool charge = inBlock < 12 * SlotCount && inBlock % SlotCount == ChargeWithComp;
    return !charge || !IsNumberText(text) || ReadNumber(text) != 0;
}

std::optional<int> LastLaterYearWithData(const SubscriberTable& table, HoldsData holdsData) {
    if (!holdsData)
        holdsData = HoldsLaterYearData;
    int last = -1;
    // A row kept as loaded is read a year's block at a time from its end: one
    // pass over its bytes instead of a search per cell.
    std::vector<QStringView> cells(static_cast<size_t>(BlockColumns));
    QString scratch;
    for (int r = 1; r <= table.subscriberCount(); ++r) {
        const int held = std::min(table.heldColumns(r), LastColumn);
        // Only what lies beyond the last year found so far can raise it.
        const int stop = std::max(LegacyLastColumn, last < 0 ? 0 : LastColumnUpTo(last));
        if (!table.heldAsLoaded(r)) {
            for (int c = held; c > stop; --c)
                if (holdsData(c, table.textView(r, c))) {
                    last = YearOfColumn(c);
                    break;
                }
            continue;
        }
        for (int y = YearOfColumn(held); y > last && y >= LegacyYearCount; --y) {
            const int from = BlockStart(y);
            const int to = std::min(held, from + BlockColumns - 1);
            const std::span<QStringView> block(cells.data(), size_t(to - from + 1));
            table.cellRange(r, from, to, block, scratch);
            for (size_t i = block.size(); i-- > 0;)
                if (holdsData(from + int(i), block[i])) {
                    last = y;
                    break;
                }
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

} // namespace YearLayout

using namespace YearLayout;

std::optional<int> YearIndex(const QString& yearText) {
    // Four characters in range are four digits: " 2019" or "2019.0" is no year.
    if (yearText.size() != 4)
        return std::nullopt;
    bool ok = false;
    const int year = yearText.toInt(&ok);
    if (!ok || year < FirstYear || year > LastYear)
        return std::nullopt;
    return year - FirstYear;
}

QString YearText(int yearIndex) {
    return QString::number(FirstYear + yearIndex);
}

int MonthColumn(int yearIndex, int month, int slot) {
    if (yearIndex < LegacyYearCount)
        return 8 + 265 * yearIndex + SlotCount * (month - 1) + slot;
    return BlockStart(yearIndex) + SlotCount * (month - 1) + slot;
}

int LedgerColumn(int yearIndex, int month) {
    return MonthColumn(yearIndex, month, SlotOpenDebt);
}

int LedgerColumn(const QString& yearText, int month) {
    const auto year = YearIndex(yearText);
    if (!year || month < 1 || month > 12)
        return LedgerColumn(0, 1);
    return LedgerColumn(*year, month);
}

int HeadMeterColumn(int yearIndex, int month, int k) {
    if (yearIndex < LegacyYearCount)
        return 2126 + 48 * yearIndex + 4 * (month - 1) + k;
    return BlockStart(yearIndex) + 12 * SlotCount + 4 * (month - 1) + k;
}

bool IsSharedHeadMeterCell(int row, int col) {
    return row == HeadMeterRow && col == HeadMeterColumn(0, 1, 0);
}
