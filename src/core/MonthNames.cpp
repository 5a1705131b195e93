#include "MonthNames.h"

using namespace Qt::StringLiterals;

const QStringList& MonthNames() {
    static const QStringList names = {
        u"Январь"_s, u"Февраль"_s, u"Март"_s,     u"Апрель"_s,  u"Май"_s,    u"Июнь"_s,
        u"Июль"_s,   u"Август"_s,  u"Сентябрь"_s, u"Октябрь"_s, u"Ноябрь"_s, u"Декабрь"_s,
    };
    return names;
}

QString MonthName(int month) {
    if (month < 1 || month > 12)
        return {};
    return MonthNames().at(month - 1);
}
