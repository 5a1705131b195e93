#include <QSettings>
#include <QTest>

#include "core/Settings.h"
#include "documents/PayeeDetails.h"
#include "documents/PayeeValidation.h"
#include "SamplePayee.h"

using namespace Qt::StringLiterals;

namespace {

using Problems = std::vector<PayeeProblem>;

} // namespace

Q_DECLARE_METATYPE(PayeeField)
Q_DECLARE_METATYPE(Problems)

class tst_PayeeDetails : public QObject {
    Q_OBJECT
private slots:
    void validation_data();
    void validation();
    void everyErrorHasText();
    void storedUnderRekv();
};

void tst_PayeeDetails::validation_data() {
    QTest::addColumn<PayeeField>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<Problems>("expected");
    using F = PayeeField;
    using E = PayeeError;

    QTest::newRow("published bank details") << F::Name << u"СНТ «Остреванка»"_s << Problems{};
    QTest::newRow("12-digit ИНН") << F::Inn << u"500100732259"_s << Problems{};
    QTest::newRow("КПП with letters") << F::Kpp << u"7736AB001"_s << Problems{};
    QTest::newRow("no КПП") << F::Kpp << QString() << Problems{};
    QTest::newRow("numbers pasted with blanks")
        << F::Account << u" 40703 810 5 3800 0001234 "_s << Problems{};

    QTest::newRow("БИК one digit short")
        << F::Bic << u"04452522"_s << Problems{{F::Bic, E::BicDigits}};
    QTest::newRow("БИК with a letter")
        << F::Bic << u"04452522O"_s << Problems{{F::Bic, E::BicDigits}};
    // Another bank's БИК: neither account's key matches it any more.
    QTest::newRow("БИК of another bank")
        << F::Bic << u"044030653"_s
        << Problems{{F::Account, E::AccountKey}, {F::CorrAccount, E::AccountKey}};
    QTest::newRow("account: one digit damaged")
        << F::Account << u"40703810538000001235"_s << Problems{{F::Account, E::AccountKey}};
    QTest::newRow("account: two digits swapped")
        << F::Account << u"40703810538000002134"_s << Problems{{F::Account, E::AccountKey}};
    QTest::newRow("account 19 digits")
        << F::Account << u"4070381053800000123"_s << Problems{{F::Account, E::AccountDigits}};
    QTest::newRow("корр. счёт damaged")
        << F::CorrAccount << u"30101810400000000226"_s << Problems{{F::CorrAccount, E::AccountKey}};
    QTest::newRow("корр. счёт not 301")
        << F::CorrAccount << u"40101810400000000225"_s << Problems{{F::CorrAccount, E::CorrPrefix}};
    QTest::newRow("корр. счёт 21 digits") << F::CorrAccount << u"301018104000000002250"_s
                                          << Problems{{F::CorrAccount, E::AccountDigits}};
    QTest::newRow("ИНН check digit")
        << F::Inn << u"7707083894"_s << Problems{{F::Inn, E::InnCheck}};
    QTest::newRow("12-digit ИНН, last digit")
        << F::Inn << u"500100732258"_s << Problems{{F::Inn, E::InnCheck}};
    QTest::newRow("ИНН 11 digits")
        << F::Inn << u"77070838931"_s << Problems{{F::Inn, E::InnDigits}};
    QTest::newRow("КПП small letters")
        << F::Kpp << u"7736ab001"_s << Problems{{F::Kpp, E::KppForm}};
    QTest::newRow("КПП letter at the 3rd place")
        << F::Kpp << u"77A601001"_s << Problems{{F::Kpp, E::KppForm}};
    QTest::newRow("КПП 8 characters") << F::Kpp << u"77360100"_s << Problems{{F::Kpp, E::KppForm}};
    QTest::newRow("no name") << F::Name << QString() << Problems{{F::Name, E::Missing}};
    QTest::newRow("no bank") << F::BankName << u"  "_s << Problems{{F::BankName, E::Missing}};
    QTest::newRow("no БИК") << F::Bic << QString() << Problems{{F::Bic, E::Missing}};
}

void tst_PayeeDetails::validation() {
    QFETCH(PayeeField, field);
    QFETCH(QString, value);
    QFETCH(Problems, expected);
    PayeeDetails d = SamplePayee();
    d[field] = value;
    QCOMPARE(ValidatePayee(d.normalized()), expected);
}

void tst_PayeeDetails::everyErrorHasText() {
    // Empty details are allowed: receipts then look as without them.
    PayeeDetails empty;
    empty[PayeeField::Purpose] = PayeeDetails::defaultPurpose();
    QVERIFY(empty.isEmpty());
    QVERIFY(ValidatePayee(empty).empty());
    // Any one field filled asks for the rest.
    PayeeDetails one;
    one[PayeeField::Name] = u"СНТ"_s;
    QCOMPARE(ValidatePayee(one).size(), size_t(5));

    for (PayeeError e : {PayeeError::Missing, PayeeError::BicDigits, PayeeError::AccountDigits,
                         PayeeError::AccountKey, PayeeError::CorrPrefix, PayeeError::InnDigits,
                         PayeeError::InnCheck, PayeeError::KppForm})
        QVERIFY(!PayeeErrorText(e).isEmpty());
}

void tst_PayeeDetails::storedUnderRekv() {
    Settings settings(u"ostrevanka"_s);
    PayeeDetails d = SamplePayee();
    d[PayeeField::Name] = u"СНТ «Остреванка» | Ромашка"_s;
    StorePayeeDetails(settings, d);

    QSettings raw(settings.fileName(), QSettings::IniFormat);
    QCOMPARE(raw.value(u"Rekv/INN"_s).toString(), u"7707083893"_s);
    QCOMPARE(raw.value(u"Rekv/CorrAccount"_s).toString(), u"30101810400000000225"_s);
    QCOMPARE(raw.value(u"Rekv/Name"_s).toString(), d[PayeeField::Name]);
    for (int i = 0; i < PayeeFieldCount; ++i)
        QVERIFY2(raw.contains(u"Rekv/"_s + PayeeDetails::key(PayeeField(i))),
                 qPrintable(PayeeDetails::key(PayeeField(i))));

    const PayeeDetails back = LoadPayeeDetails(Settings(u"ostrevanka"_s));
    QCOMPARE(back.fields, d.fields);
}

QTEST_GUILESS_MAIN(tst_PayeeDetails)
#include "tst_PayeeDetails.moc"
