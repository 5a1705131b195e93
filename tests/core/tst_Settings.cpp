#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/Settings.h"

using namespace Qt::StringLiterals;

namespace {
const QString App = u"ostrevanka"_s;
const QString Nastr = u"Nastr"_s;
} // namespace

class tst_Settings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void firstStartDefaults_data();
    void firstStartDefaults();
    void storedValuesWin();
    void flags_data();
    void flags();
    void numbers_data();
    void numbers();
    void emptyColourIsKeptAsText();
    void valuesSurviveANewGateway();

private:
    QTemporaryDir m_config;
};

void tst_Settings::initTestCase() {
    QVERIFY(m_config.isValid());
    // The store's folder is fixed on first use: point it at an empty folder.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
}

void tst_Settings::init() {
    // Every test starts as a first start.
    QDir(m_config.path()).removeRecursively();
    QDir().mkpath(m_config.path());
}

void tst_Settings::firstStartDefaults_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("Color1") << Nastr << u"Color1"_s << u"15137717"_s;
    QTest::newRow("Color2") << Nastr << u"Color2"_s << u"16776960"_s;
    QTest::newRow("Color3") << Nastr << u"Color3"_s << u"65535"_s;
    QTest::newRow("Cmb0") << Nastr << u"Cmb0"_s << u""_s;
    QTest::newRow("Cmb1") << Nastr << u"Cmb1"_s << u"2017"_s;
    QTest::newRow("flSave") << Nastr << u"flSave"_s << u"1"_s;
    QTest::newRow("flPls") << Nastr << u"flPls"_s << u"True"_s;
    QTest::newRow("flPs") << Nastr << u"flPs"_s << u"1"_s;
    QTest::newRow("Form1.Ch1") << Nastr << u"Form1.Ch1"_s << u"0"_s;
    QTest::newRow("Form1.Ch2") << Nastr << u"Form1.Ch2"_s << u"0"_s;
    QTest::newRow("unknown key") << Nastr << u"nothing"_s << u""_s;
}

void tst_Settings::firstStartDefaults() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, text);
    Settings s(App);
    QVERIFY2(s.fileName().startsWith(m_config.path()), qPrintable(s.fileName()));
    QVERIFY(!s.contains(section, key));
    QCOMPARE(s.text(section, key), text);
    QCOMPARE(Settings::defaultText(section, key), text);
}

void tst_Settings::storedValuesWin() {
    Settings s(App);
    s.setText(Nastr, u"Cmb0"_s, u"Ёлкина А. Ф."_s);
    s.setNumber(Nastr, u"Color1"_s, 255);
    s.setText(Nastr, u"flPls"_s, u"False"_s);
    QCOMPARE(s.text(Nastr, u"Cmb0"_s), u"Ёлкина А. Ф."_s);
    QCOMPARE(s.number(Nastr, u"Color1"_s), 255);
    QCOMPARE(s.flag(Nastr, u"flPls"_s), false);
    QCOMPARE(s.text(Nastr, u"Cmb1"_s, u"запасной"_s), u"запасной"_s);
    QCOMPARE(s.text(Nastr, u"Cmb0"_s, u"запасной"_s), u"Ёлкина А. Ф."_s);
}

void tst_Settings::flags_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("value");
    QTest::newRow("1") << u"flSave"_s << u"1"_s << true;
    QTest::newRow("0") << u"flSave"_s << u"0"_s << false;
    QTest::newRow("True") << u"flPls"_s << u"True"_s << true;
    QTest::newRow("False") << u"flPls"_s << u"False"_s << false;
    QTest::newRow("false, other case") << u"flPls"_s << u"FALSE"_s << false;
    QTest::newRow("spaces around") << u"flPs"_s << u" 0 "_s << false;
    QTest::newRow("letters: default on") << u"flSave"_s << u"abc"_s << true;
    QTest::newRow("empty: default on") << u"flSave"_s << u""_s << true;
    QTest::newRow("other number: default on") << u"flPs"_s << u"2"_s << true;
    QTest::newRow("letters: default off") << u"Form1.Ch1"_s << u"да"_s << false;
}

void tst_Settings::flags() {
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(bool, value);
    Settings s(App);
    s.setText(Nastr, key, stored);
    QCOMPARE(s.flag(Nastr, key), value);
}

void tst_Settings::numbers_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("value");
    QTest::newRow("number") << u"8454016"_s << 8454016;
    QTest::newRow("spaces around") << u" 255 "_s << 255;
    QTest::newRow("letters") << u"красный"_s << 15137717;
    QTest::newRow("fraction") << u"1,5"_s << 15137717;
    QTest::newRow("too large") << u"99999999999"_s << 15137717;
}

void tst_Settings::numbers() {
    QFETCH(QString, stored);
    QFETCH(int, value);
    Settings s(App);
    s.setText(Nastr, u"Color1"_s, stored);
    QCOMPARE(s.number(Nastr, u"Color1"_s), value);
}

// Start-up tells a colour stored as the empty text from a missing one.
void tst_Settings::emptyColourIsKeptAsText() {
    Settings s(App);
    s.setText(Nastr, u"Color2"_s, QString());
    QVERIFY(s.contains(Nastr, u"Color2"_s));
    QCOMPARE(s.text(Nastr, u"Color2"_s), QString());
}

void tst_Settings::valuesSurviveANewGateway() {
    {
        Settings s(App);
        s.setText(Nastr, u"Cmb1"_s, u"2021"_s);
        s.setText(u"TunGrid"_s, u"CW(3)"_s, u"2000"_s);
        s.sync();
    }
    Settings again(App);
    QCOMPARE(again.text(Nastr, u"Cmb1"_s), u"2021"_s);
    QCOMPARE(again.number(u"TunGrid"_s, u"CW(3)"_s), 2000);
    QCOMPARE(again.number(u"TunGrid"_s, u"CW(4)"_s), 2100);
    QFile ini(again.fileName());
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray content = ini.readAll();
    QVERIFY(content.contains("[Nastr]"));
    QVERIFY(content.contains("[TunGrid]"));
}

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_Settings.moc"
