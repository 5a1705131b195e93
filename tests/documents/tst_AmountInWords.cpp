#include <QTest>

#include "documents/AmountInWords.h"

using namespace Qt::StringLiterals;

class tst_AmountInWords final : public QObject {
    Q_OBJECT
private slots:
    void accepted_data();
    void accepted();
    void rejected_data();
    void rejected();
    void emptyTextGivesNothing_data();
    void emptyTextGivesNothing();
    void kopecksNotDigitsKeepTheRubles();
};

void tst_AmountInWords::accepted_data() {
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("words");

    QTest::newRow("rubles only") << u"125="_s << u" Сто двадцать пять рублей"_s;
    // The singular kopeck ends in a Latin "a".
    QTest::newRow("one kopeck") << u"21,31"_s << u" Двадцать один рубль 31 копейкa"_s;
    QTest::newRow("teen rubles and kopecks") << u"12,12"_s << u" Двенадцать рублей 12 копеек"_s;
    QTest::newRow("one ruble") << u"1,00"_s << u" Один рубль 00 копеек"_s;
    QTest::newRow("two thousand feminine") << u"2000="_s << u" Две тысячи рублей"_s;
    QTest::newRow("one thousand feminine")
        << u"1012,00"_s << u" Одна тысяча двенадцать рублей 00 копеек"_s;
    QTest::newRow("teen thousands") << u"11000="_s << u" Одиннадцать тысяч рублей"_s;
    QTest::newRow("hundred thousand") << u"100000="_s << u" Сто тысяч рублей"_s;
    QTest::newRow("hundred one thousand") << u"101000="_s << u" Сто одна тысяча рублей"_s;
    QTest::newRow("512 thousand") << u"512000="_s << u" Пятьсот двенадцать тысяч рублей"_s;
    QTest::newRow("212 thousand") << u"212000="_s << u" Двести двенадцать тысяч рублей"_s;
    QTest::newRow("213 thousand") << u"213000="_s << u" Двести тринадцать тысяч рублей"_s;
    QTest::newRow("214 thousand") << u"214000="_s << u" Двести четырнадцать тысяч рублей"_s;
    QTest::newRow("222 thousand") << u"222000="_s << u" Двести двадцать две тысячи рублей"_s;
    QTest::newRow("million") << u"1000000="_s << u" Один миллион рублей"_s;
    QTest::newRow("millions without thousands") << u"3000005="_s << u" Три миллиона пять рублей"_s;
    QTest::newRow("billion") << u"1000000000,01"_s << u" Один миллиард рублей 01 копейкa"_s;
    QTest::newRow("largest")
        << u"999999999999,99"_s
        << u" Девятьсот девяносто девять миллиардов девятьсот девяносто девять миллионов"
           u" девятьсот девяносто девять тысяч девятьсот девяносто девять рублей 99 копеек"_s;
    QTest::newRow("teen millions and billions")
        << u"15011000000="_s << u" Пятнадцать миллиардов одиннадцать миллионов рублей"_s;
    QTest::newRow("below a ruble") << u"0,05"_s << u"Ноль рублей 05 копеек"_s;
    QTest::newRow("below a ruble, two zeros") << u"00,50"_s << u"Ноль рублей 50 копеек"_s;
    QTest::newRow("few kopecks") << u"3,22"_s << u" Три рубля 22 копейки"_s;
    QTest::newRow("kopecks 11") << u"5,11"_s << u" Пять рублей 11 копеек"_s;
    QTest::newRow("kopecks 13") << u"5,13"_s << u" Пять рублей 13 копеек"_s;
    QTest::newRow("kopecks 14") << u"5,14"_s << u" Пять рублей 14 копеек"_s;
    QTest::newRow("kopecks 24") << u"5,24"_s << u" Пять рублей 24 копейки"_s;
    QTest::newRow("spaces removed") << u" 1 000,50 "_s << u" Одна тысяча рублей 50 копеек"_s;
    QTest::newRow("order total") << u"1234,50"_s
                                 << u" Одна тысяча двести тридцать четыре рубля 50 копеек"_s;
    QTest::newRow("teen rubles ending")
        << u"1115,00"_s << u" Одна тысяча сто пятнадцать рублей 00 копеек"_s;
}

void tst_AmountInWords::accepted() {
    QFETCH(QString, amount);
    QFETCH(QString, words);
    const AmountWords result = PROPIS(amount);
    QCOMPARE(result.words, words);
    QVERIFY(!result.formatError);
}

void tst_AmountInWords::rejected_data() {
    QTest::addColumn<QString>("amount");

    QTest::newRow("zero rubles only") << u"0="_s;
    QTest::newRow("leading zero") << u"05,00"_s;
    QTest::newRow("one kopeck digit") << u"12,5"_s;
    QTest::newRow("point") << u"12.50"_s;
    QTest::newRow("13 digits") << u"1234567890123,00"_s;
    QTest::newRow("13 digits rubles only") << u"1234567890123="_s;
    QTest::newRow("13 zeros") << u"0000000000000,50"_s;
    QTest::newRow("negative") << u"-150,00"_s;
    QTest::newRow("plain number") << u"150"_s;
    QTest::newRow("no rubles") << u",50"_s;
    QTest::newRow("only equals") << u"="_s;
    QTest::newRow("two equals") << u"125=="_s;
    QTest::newRow("three decimals") << u"10,125"_s;
    QTest::newRow("letter in rubles") << u"1a5,00"_s;
}

void tst_AmountInWords::rejected() {
    QFETCH(QString, amount);
    const AmountWords result = PROPIS(amount);
    QVERIFY(result.formatError);
    QCOMPARE(result.words, QString());
}

void tst_AmountInWords::emptyTextGivesNothing_data() {
    QTest::addColumn<QString>("amount");
    QTest::newRow("empty") << QString();
    QTest::newRow("spaces") << u"   "_s;
}

void tst_AmountInWords::emptyTextGivesNothing() {
    QFETCH(QString, amount);
    const AmountWords result = PROPIS(amount);
    QCOMPARE(result.words, QString());
    QVERIFY(!result.formatError);
}

void tst_AmountInWords::kopecksNotDigitsKeepTheRubles() {
    const AmountWords result = PROPIS(u"125,5x"_s);
    QVERIFY(result.formatError);
    QCOMPARE(result.words, u" Сто двадцать пять рублей"_s);
}

QTEST_GUILESS_MAIN(tst_AmountInWords)
#include "tst_AmountInWords.moc"
