#include "OfferedYears.h"

#include <algorithm>

#include "YearLayout.h"

using namespace YearLayout;

OfferedYears::OfferedYears() : OfferedYears(FirstYear + LegacyYearCount - 1) {}

OfferedYears::OfferedYears(int lastYear) {
    const int last = std::clamp(lastYear, FirstYear + LegacyYearCount - 1, LastYear);
    for (int y = FirstYear; y <= last; ++y)
        m_texts << QString::number(y);
}

std::optional<int> OfferedYears::indexOf(const QString& yearText) const {
    const qsizetype i = m_texts.indexOf(yearText);
    if (i < 0)
        return std::nullopt;
    return int(i);
}
