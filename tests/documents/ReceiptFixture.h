#pragma once

#include <algorithm>
#include <utility>

#include <QList>
#include <QString>

#include "core/SubscriberTable.h"
#include "core/YearLayout.h"

// Subscribers made by hand for their March 2019 receipt, and what the code
// of such a receipt carries with the sample payee's details (SamplePayee.h).
namespace ReceiptFixture {

inline const QString Year = QStringLiteral("2019");
constexpr int March = 3;

// Subscriber `row` on `plot` with T1 readings and `total` to pay (also the
// electricity charge); the table grows to hold the row.
inline void AddSubscriber(SubscriberTable& t, int row, const QString& name, const QString& plot,
                          const QString& total) {
    const auto column = [](int slot) { return MonthColumn(*YearIndex(Year), March, slot); };
    t.setSubscriberCount(std::max(row, t.subscriberCount()));
    t.setCell(row, ColRowNumber, QString::number(row));
    t.setCell(row, ColName, name);
    t.setCell(row, ColAddress, plot);
    t.setCell(row, column(T1Current), QStringLiteral("1234,5"));
    t.setCell(row, column(T1Previous), QStringLiteral("1200"));
    t.setCell(row, column(ChargeWithComp), total);
    t.setCell(row, column(SlotTotalDue), total);
}

// The fields of the code, in order, as a bank's app reads them.
inline QList<std::pair<QString, QString>> SampleCode(const QString& name, const QString& plot,
                                                     const QString& kopecks) {
    using namespace Qt::StringLiterals;
    return {
        {u"Name"_s, u"СНТ «Остреванка»"_s},
        {u"PersonalAcc"_s, u"40703810538000001234"_s},
        {u"BankName"_s, u"ПАО Сбербанк"_s},
        {u"BIC"_s, u"044525225"_s},
        {u"CorrespAcc"_s, u"30101810400000000225"_s},
        {u"PayeeINN"_s, u"7707083893"_s},
        {u"KPP"_s, u"773601001"_s},
        {u"Sum"_s, kopecks},
        {u"Purpose"_s, u"Оплата электроэнергии за март 2019, участок "_s + plot + u", "_s + name},
        {u"PersAcc"_s, plot},
        {u"LastName"_s, name},
        {u"PaymPeriod"_s, u"032019"_s},
    };
}

} // namespace ReceiptFixture
