#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "core/AppState.h"
#include "core/Settings.h"
#include "prefs/DesktopTools.h"
#include "prefs/Preferences.h"

using namespace Qt::StringLiterals;

namespace {

// A folder holding the given programs (executable) and plain files.
struct Folder {
    QTemporaryDir dir;
    explicit Folder(const QStringList& programs, const QStringList& plainFiles = {}) {
        for (const QString& name : programs + plainFiles) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::WriteOnly))
                qFatal("cannot create a test file");
            f.write("#!/bin/sh\n");
            f.close();
            if (programs.contains(name))
                f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser);
        }
    }
    QString path() const { return dir.path(); }
};

} // namespace

class tst_Preferences : public QObject {
    Q_OBJECT
private slots:
    void findCalculator();
    void manualPath_data();
    void manualPath();
    void storedTexts_data();
    void storedTexts();
    void storedColors_data();
    void storedColors();
};

void tst_Preferences::findCalculator() {
    const Folder empty({});
    const Folder xcalcOnly({u"xcalc"_s});
    const Folder several({u"xcalc"_s, u"galculator"_s}, {u"gnome-calculator"_s});
    const QChar sep = QDir::listSeparator();

    QCOMPARE(FindCalculator(QString()), QString());
    QCOMPARE(FindCalculator(empty.path()), QString());
    QCOMPARE(FindCalculator(xcalcOnly.path()), xcalcOnly.dir.filePath(u"xcalc"_s));
    // The first of the list wins, wherever it is on the path; a file that is
    // not executable is no program.
    QCOMPARE(FindCalculator(xcalcOnly.path() + sep + several.path()),
             several.dir.filePath(u"galculator"_s));
    QCOMPARE(FindCalculator(empty.path() + sep + sep + xcalcOnly.path()),
             xcalcOnly.dir.filePath(u"xcalc"_s));
    QCOMPARE(DesktopCalculators(), (QStringList{u"gnome-calculator"_s, u"kcalc"_s, u"galculator"_s,
                                                u"qalculate-gtk"_s, u"xcalc"_s}));
}

void tst_Preferences::manualPath_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("expected");
    const QString beside = u"usr/bin/Help.pdf"_s;
    const QString installed = u"usr/share/ostrevanka/Help.pdf"_s;
    QTest::newRow("beside the executable") << QStringList{beside} << beside;
    QTest::newRow("installed") << QStringList{installed} << installed;
    QTest::newRow("a copy beside wins") << QStringList{installed, beside} << beside;
    // Where the user is told to put it.
    QTest::newRow("neither") << QStringList{} << beside;
    QTest::newRow("a folder is no manual") << QStringList{installed + u"/x"_s} << beside;
}

void tst_Preferences::manualPath() {
    QFETCH(QStringList, files);
    QFETCH(QString, expected);
    QTemporaryDir root;
    const QDir dir(root.path());
    QVERIFY(dir.mkpath(u"usr/bin"_s));
    for (const QString& name : files) {
        QVERIFY(dir.mkpath(QFileInfo(dir.filePath(name)).path()));
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(ManualPath(dir.filePath(u"usr/bin"_s)), dir.filePath(expected));
}

void tst_Preferences::storedTexts_data() {
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("plsText");
    QTest::addColumn<QString>("flagText");
    QTest::newRow("on") << true << u"True"_s << u"1"_s;
    QTest::newRow("off") << false << u"False"_s << u"0"_s;
}

// The texts other windows and older copies of the settings read back.
void tst_Preferences::storedTexts() {
    QFETCH(bool, on);
    QFETCH(QString, plsText);
    QFETCH(QString, flagText);
    const QString nastr = u"Nastr"_s;
    AppState state;
    state.flPls = on;
    state.flPs = on;
    state.cellColors = {on ? 255 : 0, 8454016, 16777215};
    Settings settings(u"ostrevanka"_s);

    StoreLedgerPreferences(state, settings);
    StoreAutosave(on, settings);
    StoreColors(state, settings);
    QCOMPARE(settings.text(nastr, u"flPls"_s), plsText);
    QCOMPARE(settings.text(nastr, u"flPs"_s), flagText);
    QCOMPARE(settings.text(nastr, u"flSave"_s), flagText);
    QCOMPARE(settings.text(nastr, u"Color1"_s), on ? u"255"_s : u"0"_s);
    QCOMPARE(settings.text(nastr, u"Color2"_s), u"8454016"_s);
    QCOMPARE(settings.text(nastr, u"Color3"_s), u"16777215"_s);
    QCOMPARE(settings.flag(nastr, u"flPls"_s), on);
}

void tst_Preferences::storedColors_data() {
    QTest::addColumn<QString>("stored"); // null: not stored
    QTest::addColumn<int>("color1");
    QTest::addColumn<int>("color3");
    QTest::newRow("not stored") << QString() << 15137717 << 65535;
    QTest::newRow("stored empty") << u""_s << 12648384 << 8421631;
    QTest::newRow("a number") << u"255"_s << 255 << 255;
    QTest::newRow("spaces around") << u" 65280 "_s << 65280 << 65280;
    QTest::newRow("not a number") << u"green"_s << 15137717 << 65535;
}

void tst_Preferences::storedColors() {
    QFETCH(QString, stored);
    QFETCH(int, color1);
    QFETCH(int, color3);
    // A settings file of its own for each case; Color2 is not stored.
    Settings settings(u"colors-"_s + QString::fromLatin1(QTest::currentDataTag()));
    if (!stored.isNull())
        for (const QString& key : {u"Color1"_s, u"Color3"_s})
            settings.setText(u"Nastr"_s, key, stored);
    AppState state;
    state.cellColors = {1, 2, 3};
    LoadColors(state, settings);
    QCOMPARE(state.cellColors[0], color1);
    QCOMPARE(state.cellColors[1], 16776960);
    QCOMPARE(state.cellColors[2], color3);
}

QTEST_GUILESS_MAIN(tst_Preferences)
#include "tst_Preferences.moc"
