#include "EntryText.h"

#include <QDate>

#include "core/YearLayout.h"

using namespace Qt::StringLiterals;

QString ApplySeparatorRule(const QString& text, int slot) {
    QString t = text;
    if (slot == ReadingDate)
        t.replace(u',', u'.');
    else if (slot >= T1Current && slot <= CompCoef2)
        t.replace(u'.', u',');
    return t;
}

std::array<QString, 12> MonthEndDates(const QString& yearText) {
    const QString suffix = u"."_s + yearText.right(2);
    static const char16_t* days[12] = {u"31.01", u"28.02", u"31.03", u"30.04", u"31.05", u"30.06",
                                       u"31.07", u"31.08", u"30.09", u"31.10", u"30.11", u"31.12"};
    std::array<QString, 12> out;
    for (int m = 0; m < 12; ++m)
        out[size_t(m)] = QString::fromUtf16(days[m]) + suffix;
    bool isNumber = false;
    if (const int year = yearText.toInt(&isNumber); isNumber && QDate::isLeapYear(year))
        out[1] = u"29.02"_s + suffix;
    return out;
}
