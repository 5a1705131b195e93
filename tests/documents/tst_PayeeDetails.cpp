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
    void rejectedDetails_data();
    void rejectedDetails();
    void storedUnderItsSettingsSection();
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
    // Web pages and office files group digits with other spaces.
    QTest::newRow("account with no-break and narrow spaces")
        << F::Account << u"40703\u00A0810\u202F5\u00A038000001234"_s << Problems{};
    QTest::newRow("ИНН with a tab and a thin space")
        << F::Inn << u"7707\t083\u2009893\u00A0"_s << Problems{};
    QTest::newRow("БИК with a zero-width space") << F::Bic << u"044\u200B525225"_s << Problems{};
    QTest::newRow("корр. счёт after a line break")
        << F::CorrAccount << u"\n30101 810 4 0000 0000225"_s << Problems{};
    QTest::newRow("name of 160 characters") << F::Name << QString(160, u'Я') << Problems{};
    QTest::newRow("name of 161 characters")
        << F::Name << QString(161, u'Я') << Problems{{F::Name, E::TooLong}};
    QTest::newRow("bank name of 45 characters")
        << F::BankName << u"ФИЛИАЛ «ЦЕНТРАЛЬНЫЙ» БАНКА ВТБ (ПАО) В МОСКВЕ"_s << Problems{};
    QTest::newRow("bank branch of 48 characters")
        << F::BankName << u"ФИЛИАЛ \"ЦЕНТРАЛЬНЫЙ\" БАНКА ВТБ (ПАО) В Г. МОСКВЕ"_s
        << Problems{{F::BankName, E::TooLong}};
    QTest::newRow("long name with blanks around")
        << F::Name << u"  "_s + QString(160, u'Я') + u"\u00A0"_s << Problems{};

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
    // Its key matches the БИК: only the prefix tells it is no bank's
    // correspondent account at the Bank of Russia.
    QTest::newRow("корр. счёт 30102 with a matching key")
        << F::CorrAccount << u"30102810700000000225"_s << Problems{{F::CorrAccount, E::CorrPrefix}};
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
        QVERIFY(!PayeeErrorText({PayeeField::Account, e}).isEmpty());
    // The limit is named for its own field.
    QCOMPARE(PayeeErrorText({PayeeField::Name, PayeeError::TooLong}), u"Не длиннее 160 знаков"_s);
    QCOMPARE(PayeeErrorText({PayeeField::BankName, PayeeError::TooLong}),
             u"Не длиннее 45 знаков"_s);
    QCOMPARE(PayeeErrorText({PayeeField::CorrAccount, PayeeError::CorrPrefix}),
             u"Корр. счёт начинается с 30101"_s);
}

void tst_PayeeDetails::rejectedDetails_data() {
    QTest::addColumn<PayeeField>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("rejected");
    QTest::newRow("good") << PayeeField::Purpose << PayeeDetails::defaultPurpose() << false;
    QTest::newRow("blanks inside the БИК") << PayeeField::Bic << u"044 525\u00A0225"_s << false;
    QTest::newRow("a digit lost in the account")
        << PayeeField::Account << u"4070381053800000123"_s << true;
    QTest::newRow("correspondent 30102")
        << PayeeField::CorrAccount << u"30102810700000000225"_s << true;
    QTest::newRow("bank name too long") << PayeeField::BankName << QString(46, u'Б') << true;
}

void tst_PayeeDetails::rejectedDetails() {
    QFETCH(PayeeField, field);
    QFETCH(QString, value);
    QFETCH(bool, rejected);
    PayeeDetails d = SamplePayee();
    d[field] = value;
    QCOMPARE(PayeeDetailsRejected(d), rejected);
    // Nothing stored is not a fault: the receipts are simply without details.
    QVERIFY(!PayeeDetailsRejected(PayeeDetails()));
}

void tst_PayeeDetails::storedUnderItsSettingsSection() {
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
