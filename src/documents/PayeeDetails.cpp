#include "PayeeDetails.h"

#include "core/Settings.h"

using namespace Qt::StringLiterals;

namespace {

// What a bank's letter or a web page puts between groups of digits: any
// space (the non-breaking ones, tabs, line breaks) and the invisible
// zero-width ones.
bool IsBlankInNumber(QChar c) {
    return c.isSpace() || c == QChar(0x200B) || c == QChar(0x2060) || c == QChar(0xFEFF);
}

} // namespace

const QString PayeeDetails::Section = u"Rekv"_s;

QString PayeeDetails::key(PayeeField f) {
    static const std::array<QString, PayeeFieldCount> keys = {
        u"Name"_s,     u"INN"_s, u"KPP"_s,         u"Account"_s,
        u"BankName"_s, u"BIC"_s, u"CorrAccount"_s, u"Purpose"_s};
    return keys[size_t(f)];
}

QString PayeeDetails::defaultPurpose() {
    return Settings::defaultText(Section, key(PayeeField::Purpose));
}

bool PayeeDetails::isEmpty() const {
    for (int i = 0; i < PayeeFieldCount; ++i)
        if (PayeeField(i) != PayeeField::Purpose && !fields[size_t(i)].trimmed().isEmpty())
            return false;
    return true;
}

PayeeDetails PayeeDetails::normalized() const {
    PayeeDetails d;
    for (int i = 0; i < PayeeFieldCount; ++i) {
        const auto f = PayeeField(i);
        QString v = fields[size_t(i)].trimmed();
        if (f == PayeeField::Inn || f == PayeeField::Kpp || f == PayeeField::Account ||
            f == PayeeField::Bic || f == PayeeField::CorrAccount)
            v.removeIf(IsBlankInNumber);
        d[f] = v;
    }
    return d;
}

PayeeDetails LoadPayeeDetails(const Settings& settings) {
    PayeeDetails d;
    for (int i = 0; i < PayeeFieldCount; ++i)
        d.fields[size_t(i)] =
            settings.text(PayeeDetails::Section, PayeeDetails::key(PayeeField(i)));
    return d;
}

void StorePayeeDetails(Settings& settings, const PayeeDetails& details) {
    for (int i = 0; i < PayeeFieldCount; ++i)
        settings.setText(PayeeDetails::Section, PayeeDetails::key(PayeeField(i)),
                         details.fields[size_t(i)]);
    settings.sync();
}
