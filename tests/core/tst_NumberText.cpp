#include <cmath>

#include <QRandomGenerator>
#include <QTest>

#include "core/NumberText.h"

using namespace Qt::StringLiterals;

class tst_NumberText : public QObject {
    Q_OBJECT
private slots:
    void readNumber_data();
    void readNumber();
    void formats_data();
    void formats();
    void r6_data();
    void r6();
    void plainNumberReadsBack_data();
    void plainNumberReadsBack();
    void plainNumberOfManyValues();
};

void tst_NumberText::readNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("isNumber");
    QTest::newRow("empty") << u""_s << 0.0 << false;
    QTest::newRow("spaces") << u"   "_s << 0.0 << false;
    QTest::newRow("integer") << u"10625"_s << 10625.0 << true;
    QTest::newRow("comma") << u"3,22"_s << 3.22 << true;
    QTest::newRow("point taken too") << u"3.22"_s << 3.22 << true;
    QTest::newRow("negative") << u"-12,75"_s << -12.75 << true;
    QTest::newRow("plus") << u"+5"_s << 5.0 << true;
    QTest::newRow("surrounding spaces") << u" 42,5 "_s << 42.5 << true;
    QTest::newRow("leading comma") << u",5"_s << 0.5 << true;
    QTest::newRow("letters") << u"abc"_s << 0.0 << false;
    QTest::newRow("cyrillic") << u"нет"_s << 0.0 << false;
    QTest::newRow("digits then letters") << u"12кВт"_s << 0.0 << false;
    QTest::newRow("two separators") << u"1,234,5"_s << 0.0 << false;
    QTest::newRow("grouping space") << u"1 234"_s << 0.0 << false;
    QTest::newRow("exponent") << u"1E3"_s << 1000.0 << true;
    QTest::newRow("lone minus") << u"-"_s << 0.0 << false;
    QTest::newRow("lone comma") << u","_s << 0.0 << false;
    QTest::newRow("infinity word") << u"inf"_s << 0.0 << false;
    QTest::newRow("overflow") << u"1e999"_s << 0.0 << true;
    QTest::newRow("arabic-indic digits") << u"١٢"_s << 0.0 << false;
}

void tst_NumberText::readNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(bool, isNumber);
    QCOMPARE(ReadNumber(text), value);
    QCOMPARE(IsNumberText(text), isNumber);
}

void tst_NumberText::formats_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("money");
    QTest::addColumn<QString>("coef");
    QTest::addColumn<QString>("ledger");
    QTest::addColumn<QString>("plain");
    QTest::newRow("zero") << 0.0 << u"0,00"_s << u"0,000000"_s << u""_s << u"0"_s;
    QTest::newRow("2.675 decimal half up")
        << 2.675 << u"2,68"_s << u"2,675000"_s << u"2,675"_s << u"2,675"_s;
    QTest::newRow("1.005") << 1.005 << u"1,01"_s << u"1,005000"_s << u"1,005"_s << u"1,005"_s;
    QTest::newRow("half money negative")
        << -2.675 << u"-2,68"_s << u"-2,675000"_s << u"-2,675"_s << u"-2,675"_s;
    QTest::newRow("12.5") << 12.5 << u"12,50"_s << u"12,500000"_s << u"12,50"_s << u"12,5"_s;
    QTest::newRow("-150") << -150.0 << u"-150,00"_s << u"-150,000000"_s << u"-150,00"_s
                          << u"-150"_s;
    QTest::newRow("10.125") << 10.125 << u"10,13"_s << u"10,125000"_s << u"10,125"_s << u"10,125"_s;
    QTest::newRow("coefficient") << 1.0526315789 << u"1,05"_s << u"1,052632"_s << u"1,05263"_s
                                 << u"1,0526315789"_s;
    QTest::newRow("1234.567") << 1234.567 << u"1234,57"_s << u"1234,567000"_s << u"1234,567"_s
                              << u"1234,567"_s;
    QTest::newRow("tiny negative: no minus on a zero")
        << -0.001 << u"0,00"_s << u"-0,001000"_s << u"-0,001"_s << u"-0,001"_s;
    QTest::newRow("ledger ties to even at 5 places")
        << 0.000005 << u"0,00"_s << u"0,000005"_s << u""_s << u"0,000005"_s;
    QTest::newRow("ledger ties to even, odd")
        << 0.000015 << u"0,00"_s << u"0,000015"_s << u"0,00002"_s << u"0,000015"_s;
    QTest::newRow("binary sum 0.1+0.2")
        << 0.1 + 0.2 << u"0,30"_s << u"0,300000"_s << u"0,30"_s << u"0,3"_s;
    QTest::newRow("large") << 123456789012.345 << u"123456789012,35"_s << u"123456789012,345000"_s
                           << u"123456789012,345"_s << u"123456789012,345"_s;
    QTest::newRow("very large") << 1e20 << u"100000000000000000000,00"_s
                                << u"100000000000000000000,000000"_s
                                << u"100000000000000000000,00"_s << u"100000000000000000000"_s;
    QTest::newRow("very small") << 1.5e-9 << u"0,00"_s << u"0,000000"_s << u""_s
                                << u"0,0000000015"_s;
    QTest::newRow("round up carries")
        << 9.995 << u"10,00"_s << u"9,995000"_s << u"9,995"_s << u"9,995"_s;
}

void tst_NumberText::formats() {
    QFETCH(double, value);
    QFETCH(QString, money);
    QFETCH(QString, coef);
    QFETCH(QString, ledger);
    QFETCH(QString, plain);
    QCOMPARE(FormatMoney(value), money);
    QCOMPARE(FormatCoef(value), coef);
    QCOMPARE(LedgerText(value), ledger);
    QCOMPARE(PlainNumber(value), plain);
}

void tst_NumberText::r6_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("half to even down") << 0.0000025 << 0.000002;
    QTest::newRow("half to even up") << 0.0000035 << 0.000004;
    QTest::newRow("more than half") << 1.23456789 << 1.234568;
    QTest::newRow("negative") << -1.0000005 << -1.0;
    QTest::newRow("binary noise") << 10625.1 - 10000.0 << 625.1;
    QTest::newRow("zero") << 0.0 << 0.0;
}

void tst_NumberText::r6() {
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(R6(value), rounded);
}

void tst_NumberText::plainNumberReadsBack_data() {
    QTest::addColumn<double>("value");
    QTest::newRow("charge") << 1234.56789;
    QTest::newRow("third") << 1.0 / 3.0;
    QTest::newRow("negative") << -98765.4321;
    QTest::newRow("small") << 3.5e-12;
    QTest::newRow("integer") << 402.0;
    QTest::newRow("huge") << 1e20;
    QTest::newRow("zero") << 0.0;
}

void tst_NumberText::plainNumberReadsBack() {
    QFETCH(double, value);
    const QString text = PlainNumber(value);
    QVERIFY(!text.contains(u'e') && !text.contains(u'E') && !text.contains(u'.'));
    QCOMPARE(ReadNumber(text), value);
    QVERIFY(IsPlainNumberOf(text, value));
    QVERIFY(!IsPlainNumberOf(QString(text + u'0'), value));
    if (text.contains(u','))
        QVERIFY(!IsPlainNumberOf(QString(text).replace(u',', u'.'), value));
}

void tst_NumberText::plainNumberOfManyValues() {
    // Products of readings, tariffs and coefficients over many magnitudes:
    // at most 15 significant digits, no exponent, and the value reads back
    // to within the 15th digit.
    QRandomGenerator random(20261210);
    for (int i = 0; i < 20000; ++i) {
        const double scale = std::pow(10.0, random.bounded(-6, 14));
        const double v = (random.generateDouble() - 0.3) * scale;
        const QString text = PlainNumber(v);
        int significant = 0;
        bool leading = true;
        for (QChar c : text) {
            if (!c.isDigit() || (leading && c == u'0'))
                continue;
            leading = false;
            ++significant;
        }
        QVERIFY2(significant <= 15, qPrintable(text));
        QVERIFY2(!text.contains(u'e') && !text.contains(u'.'), qPrintable(text));
        QVERIFY2(std::fabs(ReadNumber(text) - v) <= std::fabs(v) * 1e-14, qPrintable(text));
        QVERIFY(IsPlainNumberOf(text, v));
    }
}

QTEST_GUILESS_MAIN(tst_NumberText)
#include "tst_NumberText.moc"
