#pragma once

#include "documents/PayeeDetails.h"

// A bank's published details: ПАО Сбербанк, Москва. The settlement account
// is one with a correct key in that bank.
inline PayeeDetails SamplePayee() {
    using namespace Qt::StringLiterals;
    PayeeDetails d;
    d[PayeeField::Name] = u"СНТ «Остреванка»"_s;
    d[PayeeField::Inn] = u"7707083893"_s;
    d[PayeeField::Kpp] = u"773601001"_s;
    d[PayeeField::Account] = u"40703810538000001234"_s;
    d[PayeeField::BankName] = u"ПАО Сбербанк"_s;
    d[PayeeField::Bic] = u"044525225"_s;
    d[PayeeField::CorrAccount] = u"30101810400000000225"_s;
    d[PayeeField::Purpose] = PayeeDetails::defaultPurpose();
    return d;
}
