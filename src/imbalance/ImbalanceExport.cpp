#include "ImbalanceExport.h"

#include "core/NumberText.h"

using namespace Qt::StringLiterals;

WorkbookSheet ImbalanceSheet(const QString& title, const HeadMeterTexts& head,
                             const ImbalanceShownTexts& shown) {
    WorkbookSheet s;
    s.set(u"F1", title);
    s.merge(u"F1:I1");
    s.bold(u"A1:L1");

    const QStringList months = {u"Январь"_s,   u"Февраль"_s, u"Март"_s,   u"Апрель"_s,
                                u"Май"_s,      u"Июнь"_s,    u"Июль"_s,   u"Август"_s,
                                u"Сентябрь"_s, u"Октябрь"_s, u"Ноябрь"_s, u"Декабрь"_s};
    for (int m = 0; m < 12; ++m)
        s.set(3 + m, 0, months[m]);

    const std::pair<const char16_t*, QString> headings[] = {
        {u"A3", u"Месяц"_s},
        {u"B2", u"Показ. Головного сч-ка по Т1, кВт*Ч"_s},
        {u"B3", u"Текущее"_s},
        {u"C3", u"Последнее"_s},
        {u"D3", u"Разница с учетом КТ = 1"_s},
        {u"E2", u"Показ. Головного сч-ка по Т2, кВт*Ч"_s},
        {u"E3", u"Текущее  "_s},
        {u"F3", u"Последнее"_s},
        {u"G3", u"Разница с учетом КТ = 1"_s},
        {u"H2", u"Расход по сч. абонентов, кВт*ч"_s},
        {u"H3", u"По Т1"_s},
        {u"I3", u"По Т2"_s},
        {u"J2", u"Разбаланс, кВт*ч"_s},
        {u"J3", u"По Т1"_s},
        {u"K3", u"По Т2"_s},
        {u"L2", u"К-т компенсации разбаланса"_s},
        {u"L3", u"По Т1"_s},
        {u"M3", u"По Т2"_s},
        {u"N2", u"К оплате по учетному счетчику, р."_s},
        {u"O2", u"К оплате по опорным счетчикам, р."_s},
        {u"P2", u"Разбаланс с учетным счетчиком, р."_s},
    };
    for (const auto& [cell, text] : headings)
        s.set(QStringView(cell), text);
    for (const char16_t* range :
         {u"B2:D2", u"E2:G2", u"H2:I2", u"J2:K2", u"L2:M2", u"N2:N3", u"O2:O3", u"P2:P3"})
        s.merge(QStringView(range));
    for (const char16_t* cell : {u"D3", u"G3", u"N2", u"O2", u"P2"})
        s.wrap(QStringView(cell));

    s.bold(u"A2:P3");
    s.hAlign(u"A2:P3", WorkbookSheet::Centre);
    s.hAlign(u"A2:M2", WorkbookSheet::Left);
    s.vAlignTop(u"N2");

    // Columns B..P of a month row, in order: four readings, then the results
    // as the boxes show them.
    for (int m = 0; m < 12; ++m) {
        const auto& h = head[size_t(m)];
        const auto& r = shown[size_t(m)];
        const QString values[] = {h[0],
                                  h[1],
                                  r[ImbCol::HeadT1],
                                  h[2],
                                  h[3],
                                  r[ImbCol::HeadT2],
                                  r[ImbCol::SubsT1],
                                  r[ImbCol::SubsT2],
                                  r[ImbCol::ImbT1],
                                  r[ImbCol::ImbT2],
                                  r[ImbCol::CoefT1],
                                  r[ImbCol::CoefT2],
                                  r[ImbCol::PayHead],
                                  r[ImbCol::PaySubs],
                                  r[ImbCol::PayImb]};
        for (int c = 0; c < 15; ++c)
            s.setNumber(3 + m, 1 + c, ReadNumber(values[c]));
    }

    s.borders(u"A2:P15");
    s.numberFormat(u"B4:M15", WorkbookSheet::GeneralFormat);
    s.numberFormat(u"N4:P15", WorkbookSheet::MoneyFormat);
    s.autoFit(u"A:P");
    s.columnWidth(u"N:P", 12);
    return s;
}
