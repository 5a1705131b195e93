#include <QTest>

#include "StatementFixture.h"
#include "ledger/PaymentMatcher.h"

using namespace Qt::StringLiterals;
using namespace StatementFixture;

Q_DECLARE_METATYPE(PaymentMatch::Way)

namespace {

const QString MemberAccount = u"40817810000000000606"_s;
const QString TransitAccount = u"30232810000000000001"_s;

// Plots: 1 is the row number (no address), then "12", "12а" and "112" side
// by side, two members on plot 7, and two namesakes with the same initials.
SubscriberTable Members() {
    return MakeTable({
        {u"Иванов И. И."_s, QString()}, // 1: plot "1"
        {u"Петров П. П."_s, u"12"_s},
        {u"Сидорова А. Б."_s, u"12а"_s},
        {u"Иванов И. П."_s, u"112"_s},
        {u"Ёлкин С. С."_s, u"5"_s},
        {u"Кузнецов К. К."_s, u"7"_s},
        {u"Смирнов С. С."_s, u"7"_s},
        {u"Васильев В. В."_s, u"30"_s},
        {u"Васильев В. В."_s, u"31"_s},
        {u"Иванов З. М."_s, u"40"_s},
        {u"Орлова-Соколова Е. А."_s, u"41"_s},
    });
}

} // namespace

class tst_PaymentMatcher : public QObject {
    Q_OBJECT
private slots:
    void match_data();
    void match();
    void personalAccounts_data();
    void personalAccounts();
};

void tst_PaymentMatcher::match_data() {
    QTest::addColumn<QString>("purpose");
    QTest::addColumn<QString>("payer");
    QTest::addColumn<QString>("payerAccount");
    QTest::addColumn<PaymentMatch::Way>("way");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("how");
    using W = PaymentMatch::Way;
    const QString none;

    // A plot mark and the longest plot the text after it begins with.
    QTest::newRow("участок 12,") << u"Оплата э/э участок 12, март"_s << none << none << W::Plot << 2
                                 << u"по участку 12"_s;
    QTest::newRow("уч. 1 is not 12")
        << u"электроэнергия уч. 1 март"_s << none << none << W::Plot << 1 << u"по участку 1"_s;
    QTest::newRow("12а is a plot of its own")
        << u"за свет уч 12а"_s << none << none << W::Plot << 3 << u"по участку 12а"_s;
    QTest::newRow("Л/С № 12А, case and №")
        << u"Л/С № 12А электроэнергия"_s << none << none << W::Plot << 3 << u"по участку 12а"_s;
    QTest::newRow("ЛС:112") << u"ЛС:112 оплата э/э"_s << none << none << W::Plot << 4
                            << u"по участку 112"_s;
    QTest::newRow("лицевой счёт") << u"лицевой счёт №12 электроэнергия"_s << none << none << W::Plot
                                  << 2 << u"по участку 12"_s;
    QTest::newRow("лиц. сч.") << u"лиц. сч. 5, электроэнергия"_s << none << none << W::Plot << 5
                              << u"по участку 5"_s;
    QTest::newRow("уч-к") << u"Уч-к 112 свет"_s << none << none << W::Plot << 4
                          << u"по участку 112"_s;
    QTest::newRow("л.с. at the end")
        << u"оплата электроэнергии л.с.12"_s << none << none << W::Plot << 2 << u"по участку 12"_s;
    QTest::newRow("PersAcc=") << u"ST00012|PersAcc=12|Sum=150000"_s << none << none << W::Plot << 2
                              << u"по участку 12"_s;
    QTest::newRow("a name never overrides a plot")
        << u"уч 12 Иванов Иван Иванович электроэнергия"_s << u"ИВАНОВ ИВАН ИВАНОВИЧ"_s
        << MemberAccount << W::Plot << 2 << u"по участку 12"_s;
    QTest::newRow("the same plot twice")
        << u"уч 12, участок 12"_s << none << none << W::Plot << 2 << u"по участку 12"_s;

    // Near misses of a plot.
    QTest::newRow("участок 1120 names no plot")
        << u"участок 1120 электроэнергия"_s << u"ПЕТРОВ ПЕТР ПЕТРОВИЧ"_s << none << W::Name << 2
        << u"по ФИО"_s;
    QTest::newRow("учет is no mark")
        << u"учет электроэнергии 12"_s << none << none << W::NotFound << 0 << u"не найден"_s;
    QTest::newRow("a number without a mark")
        << u"электроэнергия 12 март"_s << none << none << W::NotFound << 0 << u"не найден"_s;
    QTest::newRow("two on one plot") << u"уч. 7 электроэнергия"_s << none << none << W::Ambiguous
                                     << 0 << u"неоднозначно: 6. Кузнецов К. К., 7. Смирнов С. С."_s;
    QTest::newRow("two plots named")
        << u"уч 1 и уч 12 электроэнергия"_s << none << none << W::Ambiguous << 0
        << u"неоднозначно: 1. Иванов И. И., 2. Петров П. П."_s;

    // The payer's own account the journal knows; never a bank's transit account.
    QTest::newRow("payer account")
        << u"оплата электроэнергии"_s << u"КУЗНЕЦОВА ОЛЬГА"_s << MemberAccount << W::PayerAccount
        << 6 << u"по счёту плательщика"_s;
    QTest::newRow("transit account") << u"оплата электроэнергии"_s << u"ПАО ВЫДУМАННЫЙ БАНК"_s
                                     << TransitAccount << W::NotFound << 0 << u"не найден"_s;

    // Surname and initials.
    QTest::newRow("bank's full name") << u"оплата электроэнергии"_s << u"ИВАНОВ ИВАН ИВАНОВИЧ"_s
                                      << none << W::Name << 1 << u"по ФИО"_s;
    QTest::newRow("the other Иванов") << u"оплата электроэнергии"_s << u"ИВАНОВ ИВАН ПЕТРОВИЧ"_s
                                      << none << W::Name << 4 << u"по ФИО"_s;
    QTest::newRow("between //") << u"э/э"_s << u"//ИВАНОВ ИВАН ИВАНОВИЧ//г. Город//"_s << none
                                << W::Name << 1 << u"по ФИО"_s;
    QTest::newRow("ё read as е") << u"электроэнергия"_s << u"ЕЛКИН СЕРГЕЙ СЕРГЕЕВИЧ"_s << none
                                 << W::Name << 5 << u"по ФИО"_s;
    QTest::newRow("initials in the purpose")
        << u"за Ёлкин С.С. электроэнергия"_s << u"ПЕТРОВА МАРИЯ ИВАНОВНА"_s << none << W::Name << 5
        << u"по ФИО"_s;
    QTest::newRow("double surname") << u"электроэнергия"_s << u"ОРЛОВА-СОКОЛОВА ЕЛЕНА АНДРЕЕВНА"_s
                                    << none << W::Name << 11 << u"по ФИО"_s;
    QTest::newRow("two namesakes")
        << u"электроэнергия"_s << u"ВАСИЛЬЕВ ВИКТОР ВАСИЛЬЕВИЧ"_s << none << W::Ambiguous << 0
        << u"неоднозначно: 8. Васильев В. В., 9. Васильев В. В."_s;
    QTest::newRow("payer and purpose name two")
        << u"за Петров П.П. электроэнергия"_s << u"ИВАНОВ ИВАН ИВАНОВИЧ"_s << none << W::Ambiguous
        << 0 << u"неоднозначно: 1. Иванов И. И., 2. Петров П. П."_s;
    QTest::newRow("one initial short")
        << u"электроэнергия"_s << u"ИВАНОВ ИВАН"_s << none << W::NotFound << 0 << u"не найден"_s;
    QTest::newRow("за май is no initials") << u"оплата Иванов за май электроэнергия"_s << none
                                           << none << W::NotFound << 0 << u"не найден"_s;
    QTest::newRow("a surname inside a longer one")
        << u"электроэнергия"_s << u"ИВАНОВА ИРИНА ИВАНОВНА"_s << none << W::NotFound << 0
        << u"не найден"_s;

    // Fees that say nothing of electricity.
    QTest::newRow("membership fee") << u"Членские взносы 2026, участок 12"_s << none << none
                                    << W::Plot << 2 << u"по участку 12, не за электроэнергию?"_s;
    QTest::newRow("target fee, not found") << u"целевой взнос"_s << none << none << W::NotFound << 0
                                           << u"не найден, не за электроэнергию?"_s;
    QTest::newRow("fee and electricity")
        << u"Взнос и оплата э/э уч 12"_s << none << none << W::Plot << 2 << u"по участку 12"_s;
}

void tst_PaymentMatcher::match() {
    QFETCH(QString, purpose);
    QFETCH(QString, payer);
    QFETCH(QString, payerAccount);
    QFETCH(PaymentMatch::Way, way);
    QFETCH(int, row);
    QFETCH(QString, how);
    const SubscriberTable table = Members();
    const PaymentMatcher matcher(table, {{MemberAccount, 6}, {TransitAccount, 2}});
    const PaymentMatch m = matcher.match(purpose, payer, payerAccount);
    QCOMPARE(m.how, how);
    QCOMPARE(m.way, way);
    QCOMPARE(m.row, row);
    QCOMPARE(m.found(), row > 0);
    QCOMPARE(m.notElectricity, how.endsWith(u"не за электроэнергию?"_s));
    if (way == PaymentMatch::Way::Ambiguous)
        QVERIFY(m.candidates.size() >= 2);
}

void tst_PaymentMatcher::personalAccounts_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<bool>("personal");
    QTest::newRow("a person's") << u"40817810000000000001"_s << true;
    QTest::newRow("a non-resident's") << u"40820810000000000001"_s << true;
    QTest::newRow("a deposit") << u"42301810000000000001"_s << true;
    QTest::newRow("transit") << u"30232810000000000001"_s << false;
    QTest::newRow("a company's") << u"40702810000000000001"_s << false;
    QTest::newRow("short") << u"40817810"_s << false;
    QTest::newRow("letters") << u"40817810000000000A01"_s << false;
}

void tst_PaymentMatcher::personalAccounts() {
    QFETCH(QString, account);
    QFETCH(bool, personal);
    QCOMPARE(IsPersonalAccount(account), personal);
}

QTEST_GUILESS_MAIN(tst_PaymentMatcher)
#include "tst_PaymentMatcher.moc"
