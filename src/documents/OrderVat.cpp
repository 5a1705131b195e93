#include "OrderVat.h"

#include "core/NumberText.h"
#include "core/Settings.h"

using namespace Qt::StringLiterals;

namespace {

const QString Section = u"Nastr"_s;
const QString Key = u"BezNDS"_s;

} // namespace

int VatRateOn(const QDate& date) {
    if (date < QDate(2019, 1, 1))
        return 18;
    if (date < QDate(2026, 1, 1))
        return 20;
    return 22;
}

QString VatAmountText(const QString& total, int rate) {
    const QString vat = FormatMoney(ReadNumber(total) * rate / (100 + rate));
    if (ReadNumber(vat) <= 0)
        return {};
    return vat;
}

VatLines MakeVatLines(const QString& total, const QDate& orderDate, VatMode mode) {
    if (mode == VatMode::None) {
        if (ReadNumber(total) <= 0)
            return {};
        const QString none = u"Без налога (НДС)"_s;
        return {none, none};
    }
    const int rate = VatRateOn(orderDate);
    const QString vat = VatAmountText(total, rate);
    if (vat.isEmpty())
        return {};
    const QString line = u"НДС %1% - "_s.arg(rate) + vat + u" руб."_s;
    return {u"В том числе "_s + line, line};
}

VatMode LoadVatMode(const Settings& settings) {
    return settings.flag(Section, Key) ? VatMode::None : VatMode::ByDate;
}

void StoreVatMode(Settings& settings, VatMode mode) {
    settings.setNumber(Section, Key, mode == VatMode::None ? 1 : 0);
}
