#include <QTest>

#include "core/Settings.h"
#include "core/SubscriberTable.h"
#include "documents/OrderContent.h"
#include "documents/OrderVat.h"
#include "documents/ReceiptContent.h"
#include "core/YearLayout.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int Row = 7;
constexpr int March = 3;

// Subscriber 7 with March 2019 of the ledger filled in.
SubscriberTable table() {
    SubscriberTable t;
    t.setSubscriberCount(10);
    t.setCell(Row, ColName, u"Иванов И. И."_s);
    const int col = LedgerColumn(u"2019"_s, March);
    const auto set = [&](int slot, const QString& v) { t.setCell(Row, col - 10 + slot, v); };
    set(T1Current, u"1234,5"_s);
    set(T1Previous, u"1200"_s);
    set(T2Current, u"150"_s);
    set(Tariff1, u"5,92"_s);
    set(Tariff2, u"3,02"_s);
    set(CompCoef1, u"1,052632"_s);
    set(CompCoef2, u"1"_s);
    set(ChargeWithComp, u"123,456789"_s);
    set(10, u"20,00"_s);
    set(11, u"5,5"_s);
    set(14, u"100,00"_s);
    set(15, u"1234,50"_s);
    return t;
}

OrderSettings stored() {
    return {u"СНТ"_s,
            u"41"_s,
            u"Основание: Оплата эл. энергии"_s,
            u"Оплата эл. энергии"_s,
            u"Петрова А. В."_s,
            u"Сидорова Е. Н."_s};
}

} // namespace

class tst_DocumentContent final : public QObject {
    Q_OBJECT
private slots:
    void receiptLines();
    void receiptChecksOnlyT1();
    void receiptOfUnknownMonthReadsJanuary2017();
    void consumption_data();
    void consumption();
    void orderLabels();
    void vatRate_data();
    void vatRate();
    void vatLines_data();
    void vatLines();
    void vatChoiceIsStored();
    void orderTotals_data();
    void orderTotals();
    void orderNumber_data();
    void orderNumber();
    void twinsArePairs();
};

void tst_DocumentContent::receiptLines() {
    const ReceiptContent r = MakeReceipt(table(), Row, March, u"2019"_s);
    QCOMPARE(r.dateText, u"Март 2019"_s);
    QCOMPARE(r.name, u"Иванов И. И."_s);
    const QStringList expected = {u"1234,5"_s, u"1200"_s,  u"34,5"_s,       u"150"_s,
                                  QString(),   u"150"_s,   u"1,052632"_s,   u"1"_s,
                                  u"5,92"_s,   u"3,02"_s,  u"123,456789"_s, u"100,00"_s,
                                  u"5,5"_s,    u"20,00"_s, u"1234,50"_s};
    QStringList values;
    for (int line = 1; line <= ReceiptContent::ValueLines; ++line)
        values << r.values[size_t(line)];
    QCOMPARE(values, expected);
    QVERIFY(!r.t1EndEmpty);
    QVERIFY(!r.t1StartEmpty);
}

void tst_DocumentContent::receiptChecksOnlyT1() {
    SubscriberTable t = table();
    const int col = LedgerColumn(u"2019"_s, March);
    t.setCell(Row, col - 10 + T1Current, QString());
    ReceiptContent r = MakeReceipt(t, Row, March, u"2019"_s);
    QVERIFY(r.t1EndEmpty);
    QVERIFY(!r.t1StartEmpty);
    QCOMPARE(r.values[3], u"-1200"_s);

    t.setCell(Row, col - 10 + T1Previous, QString());
    r = MakeReceipt(t, Row, March, u"2019"_s);
    QVERIFY(r.t1StartEmpty);
}

void tst_DocumentContent::receiptOfUnknownMonthReadsJanuary2017() {
    SubscriberTable t = table();
    t.setCell(Row, MonthColumn(0, 1, T1Current), u"77"_s);
    const ReceiptContent r = MakeReceipt(t, Row, March, u"1999"_s);
    QCOMPARE(r.dateText, u"Март 1999"_s);
    QCOMPARE(r.values[1], u"77"_s);
}

void tst_DocumentContent::consumption_data() {
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("text");
    QTest::newRow("one decimal") << u"1234,5"_s << u"1200"_s << u"34,5"_s;
    QTest::newRow("whole") << u"1300"_s << u"1200,00"_s << u"100"_s;
    QTest::newRow("binary noise") << u"0,3"_s << u"0,1"_s << u"0,2"_s;
    QTest::newRow("two decimals kept") << u"10,126"_s << u"0"_s << u"10,13"_s;
    QTest::newRow("empty start") << u"150"_s << QString() << u"150"_s;
    QTest::newRow("not a number") << u"abc"_s << u"5"_s << u"-5"_s;
    QTest::newRow("both empty") << QString() << QString() << u"0"_s;
}

void tst_DocumentContent::consumption() {
    QFETCH(QString, end);
    QFETCH(QString, start);
    QFETCH(QString, text);
    QCOMPARE(ConsumptionText(end, start), text);
}

void tst_DocumentContent::orderLabels() {
    const OrderContent o = MakeOrder(table(), Row, March, u"2019"_s, stored(), QDate(2026, 12, 10));
    const auto& lb = o.labels;
    QVERIFY(!o.formatError);
    QCOMPARE(lb[0], u"СНТ"_s);
    QCOMPARE(lb[9], u"СНТ"_s);
    QCOMPARE(lb[2], u"10 декабря 2026 г."_s);
    QCOMPARE(lb[8], u"10 декабря 2026 г."_s);
    QCOMPARE(lb[11], u"10.12.2026"_s);
    QCOMPARE(lb[3], u"Принято от: Иванов И. И."_s);
    QCOMPARE(lb[13], u"Иванов И. И."_s);
    QCOMPARE(lb[4], u"Основание: Оплата эл. энергии"_s);
    QCOMPARE(lb[14], u"Оплата эл. энергии"_s);
    QCOMPARE(lb[5], u"1234,50 руб."_s);
    QCOMPARE(lb[12], u"1234,50 руб."_s);
    QCOMPARE(lb[6], u" Одна тысяча двести тридцать четыре рубля 50 копеек"_s);
    QCOMPARE(lb[15], lb[6]);
    // The rate in force on the order's date, the amount in kopecks.
    QCOMPARE(lb[7], u"В том числе НДС 22% - 222,61 руб."_s);
    QCOMPARE(lb[16], u"НДС 22% - 222,61 руб."_s);
    QCOMPARE(lb[19], u"Петрова А. В."_s);
    QCOMPARE(lb[17], u"Петрова А. В."_s);
    QCOMPARE(lb[20], u"Сидорова Е. Н."_s);
    QCOMPARE(lb[18], u"Сидорова Е. Н."_s);

    OrderSettings noVat = stored();
    noVat.vat = VatMode::None;
    const OrderContent without =
        MakeOrder(table(), Row, March, u"2019"_s, noVat, QDate(2026, 12, 10));
    QCOMPARE(without.labels[7], u"Без налога (НДС)"_s);
    QCOMPARE(without.labels[16], u"Без налога (НДС)"_s);
    QCOMPARE(without.total, u"1234,50"_s);
}

void tst_DocumentContent::vatRate_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("rate");
    QTest::newRow("2017") << QDate(2017, 6, 1) << 18;
    QTest::newRow("last day of 18 %") << QDate(2018, 12, 31) << 18;
    QTest::newRow("first day of 20 %") << QDate(2019, 1, 1) << 20;
    QTest::newRow("last day of 20 %") << QDate(2025, 12, 31) << 20;
    QTest::newRow("first day of 22 %") << QDate(2026, 1, 1) << 22;
    QTest::newRow("2031") << QDate(2031, 3, 15) << 22;
}

void tst_DocumentContent::vatRate() {
    QFETCH(QDate, date);
    QFETCH(int, rate);
    QCOMPARE(VatRateOn(date), rate);
}

void tst_DocumentContent::vatLines_data() {
    QTest::addColumn<QString>("total");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("withoutVat");
    QTest::addColumn<QString>("receipt");
    QTest::addColumn<QString>("order");
    const QDate y2018(2018, 7, 1), y2025(2025, 12, 31), y2026(2026, 1, 1);

    QTest::newRow("22 %") << u"1234,50"_s << y2026 << false
                          << u"В том числе НДС 22% - 222,61 руб."_s << u"НДС 22% - 222,61 руб."_s;
    QTest::newRow("20 %") << u"1234,50"_s << y2025 << false
                          << u"В том числе НДС 20% - 205,75 руб."_s << u"НДС 20% - 205,75 руб."_s;
    QTest::newRow("18 %") << u"1234,50"_s << y2018 << false
                          << u"В том числе НДС 18% - 188,31 руб."_s << u"НДС 18% - 188,31 руб."_s;
    QTest::newRow("kopecks rounded up")
        << u"1000"_s << y2025 << false << u"В том числе НДС 20% - 166,67 руб."_s
        << u"НДС 20% - 166,67 руб."_s;
    // 166,675 exactly: half a kopeck goes up, as on a calculator.
    QTest::newRow("half a kopeck")
        << u"1000,05"_s << y2025 << false << u"В том числе НДС 20% - 166,68 руб."_s
        << u"НДС 20% - 166,68 руб."_s;
    QTest::newRow("less than a kopeck of VAT")
        << u"0,02"_s << y2026 << false << QString() << QString();
    QTest::newRow("zero") << u"0,00"_s << y2026 << false << QString() << QString();
    QTest::newRow("empty") << QString() << y2026 << false << QString() << QString();
    QTest::newRow("not a number") << u"см. акт"_s << y2026 << false << QString() << QString();
    QTest::newRow("credit") << u"-50,00"_s << y2026 << false << QString() << QString();

    QTest::newRow("без НДС") << u"1234,50"_s << y2026 << true << u"Без налога (НДС)"_s
                             << u"Без налога (НДС)"_s;
    QTest::newRow("без НДС, a kopeck")
        << u"0,01"_s << y2018 << true << u"Без налога (НДС)"_s << u"Без налога (НДС)"_s;
    QTest::newRow("без НДС, nothing to pay") << u"0"_s << y2026 << true << QString() << QString();
    QTest::newRow("без НДС, empty") << QString() << y2026 << true << QString() << QString();
}

void tst_DocumentContent::vatLines() {
    QFETCH(QString, total);
    QFETCH(QDate, date);
    QFETCH(bool, withoutVat);
    QFETCH(QString, receipt);
    QFETCH(QString, order);
    const VatLines lines = MakeVatLines(total, date, withoutVat ? VatMode::None : VatMode::ByDate);
    QCOMPARE(lines.receipt, receipt);
    QCOMPARE(lines.order, order);
}

void tst_DocumentContent::vatChoiceIsStored() {
    Settings settings(u"ostrevanka"_s);
    settings.setText(u"Nastr"_s, u"BezNDS"_s, QString());
    QCOMPARE(LoadVatMode(settings), VatMode::ByDate);
    StoreVatMode(settings, VatMode::None);
    QCOMPARE(LoadVatMode(Settings(u"ostrevanka"_s)), VatMode::None);
    // A value spoilt by hand falls back to the rate by date.
    settings.setText(u"Nastr"_s, u"BezNDS"_s, u"да"_s);
    QCOMPARE(LoadVatMode(settings), VatMode::ByDate);
    StoreVatMode(settings, VatMode::ByDate);
    QCOMPARE(LoadVatMode(settings), VatMode::ByDate);
}

void tst_DocumentContent::orderTotals_data() {
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("vat");
    QTest::addColumn<bool>("formatError");

    QTest::newRow("1000") << u"1000"_s << u"1000 руб."_s << QString() << u"НДС 22% - 180,33 руб."_s
                          << true;
    QTest::newRow("1000,00") << u"1000,00"_s << u"1000,00 руб."_s
                             << u" Одна тысяча рублей 00 копеек"_s << u"НДС 22% - 180,33 руб."_s
                             << false;
    QTest::newRow("zero") << u"0,00"_s << u"0,00 руб."_s << u"Ноль рублей 00 копеек"_s << QString()
                          << false;
    QTest::newRow("empty") << QString() << QString() << QString() << QString() << false;
    QTest::newRow("negative") << u"-50,00"_s << u"-50,00 руб."_s << QString() << QString() << true;
    QTest::newRow("three decimals")
        << u"10,125"_s << u"10,125 руб."_s << QString() << u"НДС 22% - 1,83 руб."_s << true;
}

void tst_DocumentContent::orderTotals() {
    QFETCH(QString, total);
    QFETCH(QString, amount);
    QFETCH(QString, words);
    QFETCH(QString, vat);
    QFETCH(bool, formatError);

    SubscriberTable t = table();
    t.setCell(Row, LedgerColumn(u"2019"_s, March) + 5, total);
    const OrderContent o = MakeOrder(t, Row, March, u"2019"_s, stored(), QDate(2026, 1, 2));
    QCOMPARE(o.labels[12], amount);
    QCOMPARE(o.labels[5], amount);
    QCOMPARE(o.labels[15], words);
    QCOMPARE(o.labels[6], words);
    QCOMPARE(o.labels[16], vat);
    QCOMPARE(o.labels[7].isEmpty(), vat.isEmpty());
    QCOMPARE(o.formatError, formatError);
}

void tst_DocumentContent::orderNumber_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("next");
    QTest::newRow("default") << u"0"_s << u"1"_s;
    QTest::newRow("41") << u"41"_s << u"42"_s;
    QTest::newRow("unreadable starts again") << u"№ 5"_s << u"1"_s;
    QTest::newRow("empty") << QString() << u"1"_s;
}

void tst_DocumentContent::orderNumber() {
    QFETCH(QString, stored);
    QFETCH(QString, next);
    QCOMPARE(NextOrderNumber(stored), next);
}

void tst_DocumentContent::twinsArePairs() {
    for (int i = 0; i < OrderLayout::Labels; ++i) {
        const int t = OrderLayout::twin(i);
        if (t >= 0)
            QCOMPARE(OrderLayout::twin(t), i);
    }
    QCOMPARE(OrderLayout::twin(2), -1);
    QCOMPARE(OrderLayout::twin(11), -1);
    QCOMPARE(OrderLayout::twin(0), 9);
    QCOMPARE(OrderLayout::twin(6), 15);
}

QTEST_GUILESS_MAIN(tst_DocumentContent)
#include "tst_DocumentContent.moc"
