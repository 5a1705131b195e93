#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "core/AppState.h"
#include "prefs/DesktopTools.h"
#include "prefs/AboutDialog.h"
#include "prefs/ColoursDialog.h"
#include "prefs/HotKeysHelp.h"
#include "prefs/LedgerPrefsDialog.h"
#include "prefs/AutosavePrefsDialog.h"
#include "storage/Database.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;

namespace {

const QString Nastr = u"Nastr"_s;

template <typename T> T* child(QWidget& w, const QString& name) {
    T* c = w.findChild<T*>(name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return c;
}

void click(QWidget& w, const QString& name) {
    QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton);
}

QColor sampleColor(QWidget& w, const QString& name) {
    return child<QLabel>(w, name)->palette().color(QPalette::Window);
}

// With OST_SCREENSHOTS set to a folder, the windows are saved there as PNG.
void screenshot(QWidget& w) {
    const QString folder = qEnvironmentVariable("OST_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QPixmap shot = w.grab();
    QImage opaque(shot.size(), QImage::Format_RGB32);
    opaque.fill(w.palette().color(QPalette::Window));
    QPainter(&opaque).drawPixmap(0, 0, shot);
    QVERIFY(opaque.save(QDir(folder).filePath(w.objectName() + u".png"_s)));
}

} // namespace

class tst_PrefsWindows : public QObject {
    Q_OBJECT
private slots:
    void init();

    void colorDialogTakesChoicesOnlyOnOk();
    void colorDefaultsThenCloseChangesNothing();
    void ledgerPreferences_data();
    void ledgerPreferences();
    void ledgerPreferencesClosedWithoutOk();
    void autosaveSwitch_data();
    void autosaveSwitch();
    void autosaveClosedWithoutOkStoresTheUnchangedValue();
    void hotKeyHelpLines();
    void aboutClosesOnOk();
    void aboutClosesWhenItLosesTheFocus();

    void calculator();
    void manual();

private:
    std::unique_ptr<ScriptedPlatform> m_platform;
    AppState m_state;
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_database;
};

void tst_PrefsWindows::init() {
    m_platform = std::make_unique<ScriptedPlatform>();
    m_state = AppState();
    m_database = std::make_unique<Database>(m_state.table, *m_platform,
                                            m_dir.filePath(u"Ostrevanka21.spb"_s));
    for (const QString& key :
         {u"Color1"_s, u"Color2"_s, u"Color3"_s, u"flPls"_s, u"flPs"_s, u"flSave"_s})
        m_platform->settings().setText(Nastr, key, u"untouched"_s);
}

void tst_PrefsWindows::colorDialogTakesChoicesOnlyOnOk() {
    m_state.cellColors = {0x0000FF, 0x00FF00, 0xFF0000}; // red, green, blue as 0x00BBGGRR
    ColoursDialog w(m_state, *m_platform);
    QSignalSpy changed(&w, &ColoursDialog::colorsChanged);
    QSignalSpy closed(&w, &ColoursDialog::closed);
    QCOMPARE(w.windowTitle(), u"Настройка цвета таблицы"_s);
    QCOMPARE(sampleColor(w, u"Lb1"_s), QColor(255, 0, 0));
    QCOMPARE(sampleColor(w, u"Lb3"_s), QColor(0, 0, 255));
    QCOMPARE(child<QPushButton>(w, u"Cmd2"_s)->text(), u"Цвет четных строк таблицы"_s);

    m_platform->colors = {0x123456, std::nullopt};
    click(w, u"Cmd2"_s);
    QCOMPARE(sampleColor(w, u"Lb2"_s), QColor(0x56, 0x34, 0x12));
    click(w, u"Cmd3"_s); // cancelled: the colour shown stays
    QCOMPARE(sampleColor(w, u"Lb3"_s), QColor(0, 0, 255));
    QVERIFY(child<QPushButton>(w, u"Cmd2"_s)->isEnabled());
    // Nothing is taken before OK.
    QCOMPARE(m_state.cellColors[1], 0x00FF00);
    QCOMPARE(m_platform->settings().text(Nastr, u"Color2"_s), u"untouched"_s);

    click(w, u"CmdOk"_s);
    QCOMPARE(m_state.cellColors, (std::array<int, 3>{0x0000FF, 0x123456, 0xFF0000}));
    QCOMPARE(m_platform->settings().text(Nastr, u"Color1"_s), QString::number(0x0000FF));
    QCOMPARE(m_platform->settings().text(Nastr, u"Color2"_s), QString::number(0x123456));
    QCOMPARE(m_platform->settings().text(Nastr, u"Color3"_s), QString::number(0xFF0000));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(closed.size(), 1);
    QVERIFY(!w.isVisible());
}

void tst_PrefsWindows::colorDefaultsThenCloseChangesNothing() {
    m_state.cellColors = {1, 2, 3};
    ColoursDialog w(m_state, *m_platform);
    QSignalSpy changed(&w, &ColoursDialog::colorsChanged);
    QSignalSpy closed(&w, &ColoursDialog::closed);
    w.show();
    click(w, u"CmdUmolch"_s);
    QCOMPARE(w.workingColors(), (std::array<int, 3>{15137717, 16776960, 65535}));
    QCOMPARE(sampleColor(w, u"Lb1"_s), QColor(181, 251, 230));
    QCOMPARE(sampleColor(w, u"Lb2"_s), QColor(0, 255, 255));
    QCOMPARE(sampleColor(w, u"Lb3"_s), QColor(255, 255, 0));
    screenshot(w);
    w.close();
    QCOMPARE(m_state.cellColors, (std::array<int, 3>{1, 2, 3}));
    QCOMPARE(m_platform->settings().text(Nastr, u"Color1"_s), u"untouched"_s);
    QCOMPARE(changed.size(), 0);
    QCOMPARE(closed.size(), 1);
}

void tst_PrefsWindows::ledgerPreferences_data() {
    QTest::addColumn<bool>("pls");
    QTest::addColumn<bool>("ps");
    QTest::addColumn<bool>("clickDown"); // which option button the user clicks
    QTest::addColumn<bool>("togglePaint");
    QTest::addColumn<QString>("storedPls");
    QTest::addColumn<QString>("storedPs");
    QTest::newRow("down to right, paint off")
        << true << true << false << true << u"False"_s << u"0"_s;
    QTest::newRow("right to down, paint on")
        << false << false << true << true << u"True"_s << u"1"_s;
    QTest::newRow("unchanged") << true << false << true << false << u"True"_s << u"0"_s;
}

void tst_PrefsWindows::ledgerPreferences() {
    QFETCH(bool, pls);
    QFETCH(bool, ps);
    QFETCH(bool, clickDown);
    QFETCH(bool, togglePaint);
    QFETCH(QString, storedPls);
    QFETCH(QString, storedPs);
    m_state.flPls = pls;
    m_state.flPs = ps;
    LedgerPrefsDialog w(m_state, *m_platform);
    QSignalSpy changed(&w, &LedgerPrefsDialog::preferencesChanged);
    QSignalSpy closed(&w, &LedgerPrefsDialog::closed);
    w.show();
    QCOMPARE(w.windowTitle(), u"Настройки в лицевом счете"_s);
    auto* op1 = child<QRadioButton>(w, u"Op1"_s);
    auto* op2 = child<QRadioButton>(w, u"Op2"_s);
    auto* chp = child<QCheckBox>(w, u"ChP"_s);
    QCOMPARE(op1->isChecked(), pls);
    QCOMPARE(op2->isChecked(), !pls);
    QCOMPARE(chp->isChecked(), ps);

    QTest::mouseClick(clickDown ? op1 : op2, Qt::LeftButton);
    if (togglePaint)
        QTest::mouseClick(chp, Qt::LeftButton);
    click(w, u"CmdOk"_s);
    QCOMPARE(m_state.flPls, clickDown);
    QCOMPARE(m_state.flPs, togglePaint ? !ps : ps);
    QCOMPARE(m_platform->settings().text(Nastr, u"flPls"_s), storedPls);
    QCOMPARE(m_platform->settings().text(Nastr, u"flPs"_s), storedPs);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(closed.size(), 1);
}

void tst_PrefsWindows::ledgerPreferencesClosedWithoutOk() {
    LedgerPrefsDialog w(m_state, *m_platform);
    QSignalSpy changed(&w, &LedgerPrefsDialog::preferencesChanged);
    QSignalSpy closed(&w, &LedgerPrefsDialog::closed);
    w.show();
    screenshot(w);
    QTest::mouseClick(child<QRadioButton>(w, u"Op2"_s), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>(w, u"ChP"_s), Qt::LeftButton);
    w.close();
    QVERIFY(m_state.flPls);
    QVERIFY(m_state.flPs);
    QCOMPARE(m_platform->settings().text(Nastr, u"flPls"_s), u"untouched"_s);
    QCOMPARE(changed.size(), 0);
    QCOMPARE(closed.size(), 1);
}

void tst_PrefsWindows::autosaveSwitch_data() {
    QTest::addColumn<bool>("before");
    QTest::newRow("switch off") << true;
    QTest::newRow("switch on") << false;
}

void tst_PrefsWindows::autosaveSwitch() {
    QFETCH(bool, before);
    m_database->setAutosave(before);
    AutosavePrefsDialog w(*m_database, *m_platform);
    QSignalSpy switched(&w, &AutosavePrefsDialog::autosaveChanged);
    QSignalSpy closed(&w, &AutosavePrefsDialog::closed);
    w.show();
    QCOMPARE(w.windowTitle(), u"Параметры сохранения"_s);
    auto* box = child<QCheckBox>(w, u"ChSave1"_s);
    QCOMPARE(box->text(), u"Сохранять изменения на HDD каждые 2 минуты"_s);
    QCOMPARE(child<QLabel>(w, u"Label1"_s)->text(),
             u"Если этот флаг не установлен то изменения в базе будут сохраняться на HDD  при "
             u"выходе из программы, при закрытии формы лицевого счета, при добавлении новых "
             u"абонентов или при нажатии кнопки \"Сохранить\" ( с изображением дискеты)."_s);
    QCOMPARE(box->isChecked(), before);
    if (before)
        screenshot(w);

    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(switched.size(), 0);
    click(w, u"CmdOk"_s);
    QCOMPARE(m_database->autosave(), !before);
    QCOMPARE(switched.size(), 1);
    QCOMPARE(switched.at(0).at(0).toBool(), !before);
    QCOMPARE(m_platform->settings().text(Nastr, u"flSave"_s), before ? u"0"_s : u"1"_s);
    QCOMPARE(closed.size(), 1);
}

void tst_PrefsWindows::autosaveClosedWithoutOkStoresTheUnchangedValue() {
    m_database->setAutosave(false);
    AutosavePrefsDialog w(*m_database, *m_platform);
    QSignalSpy switched(&w, &AutosavePrefsDialog::autosaveChanged);
    w.show();
    QTest::mouseClick(child<QCheckBox>(w, u"ChSave1"_s), Qt::LeftButton);
    w.close();
    QVERIFY(!m_database->autosave());
    QCOMPARE(switched.size(), 0);
    QCOMPARE(m_platform->settings().text(Nastr, u"flSave"_s), u"0"_s);
}

void tst_PrefsWindows::hotKeyHelpLines() {
    HotKeysHelp w(m_state, *m_platform);
    QSignalSpy closed(&w, &HotKeysHelp::closed);
    QCOMPARE(w.windowTitle(), u"Справка по горячим клавишам"_s);
    const QStringList expected = {
        u"Для редактирования ячейки кликните по ней мышкой.           Ячейка, если она "
        u"редактируемая подсветится зеленым цветом. "_s,
        u"При редактировании:"_s,
        u"Shift+\u0063трелка - выделить текст в направлении стрелки от курсора."_s,
        u"Ctr + C - копировать выделенный текст  в буфер."_s,
        u"Ctr + X - вырезать выделенный текст в буфер."_s,
        u"Ctr + V - в\u0063тавить из буфера."_s,
        u"Ctr + Z - отмена."_s,
        u"Эти функции есть и  в контекстном меню, которое можно вызвать кликнув по полю правой "
        u"кнопкой мыши."_s,
        u"Для сохранения результатов редактирования - нажмите Enter."_s,
        u"Для выхода без сохранения - кликните мышкой по любой другой ячейке или клавиша Esc."_s,
    };
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(child<QLabel>(w, u"Label1(%1)"_s.arg(i))->text(), expected.at(i));
    QVERIFY(!w.findChild<QLabel*>(u"Label1(10)"_s));
    // Every line is shown whole, top to bottom.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    int previousBottom = 0;
    for (int i = 0; i < expected.size(); ++i) {
        auto* label = child<QLabel>(w, u"Label1(%1)"_s.arg(i));
        QVERIFY(label->geometry().top() >= previousBottom);
        QVERIFY(label->geometry().bottom() < w.height());
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        previousBottom = label->geometry().bottom();
    }
    screenshot(w);
    w.close();
    QCOMPARE(closed.size(), 1);
}

void tst_PrefsWindows::aboutClosesOnOk() {
    AboutDialog w(m_state, *m_platform);
    QSignalSpy closed(&w, &AboutDialog::closed);
    QCOMPARE(w.windowTitle(), u"О программе Остреванка 2.1"_s);
    auto* text = child<QPlainTextEdit>(w, u"txtSogl"_s);
    QVERIFY(text->isReadOnly());
    QVERIFY(text->toPlainText().contains(u"Остреванка 2.1"_s));
    w.show();
    screenshot(w);
    click(w, u"cmdOK"_s);
    QVERIFY(!w.isVisible());
    QCOMPARE(closed.size(), 1);
}

void tst_PrefsWindows::aboutClosesWhenItLosesTheFocus() {
    QWidget main;
    main.setWindowTitle(u"main"_s);
    main.resize(300, 200);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    AboutDialog w(m_state, *m_platform);
    QSignalSpy closed(&w, &AboutDialog::closed);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // Whatever the activation queued (a close is deferred) has run by now.
    QCoreApplication::processEvents();
    QVERIFY(w.isVisible()); // being shown and activated does not close it
    QCOMPARE(closed.size(), 0);

    main.activateWindow();
    QTRY_VERIFY(!w.isVisible());
    QCOMPARE(closed.size(), 1);
}

void tst_PrefsWindows::calculator() {
    QTemporaryDir bin;
    QVERIFY(!StartCalculator(*m_platform, bin.path()));
    QCOMPARE(m_platform->messages.size(), size_t(1));
    QVERIFY(m_platform->messages.back().text.contains(u"gnome-calculator, kcalc"_s));
    QVERIFY(m_platform->startedPrograms.isEmpty());

    QFile program(bin.filePath(u"qalculate-gtk"_s));
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.close();
    QVERIFY(program.setPermissions(program.permissions() | QFile::ExeOwner));
    QVERIFY(StartCalculator(*m_platform, bin.path()));
    QCOMPARE(m_platform->startedPrograms, QStringList{program.fileName()});
    QCOMPARE(m_platform->messages.size(), size_t(1));

    m_platform->programStarts = false;
    QVERIFY(!StartCalculator(*m_platform, bin.path()));
    QCOMPARE(m_platform->messages.size(), size_t(2));
    QVERIFY(m_platform->messages.back().text.contains(u"qalculate-gtk"_s));
}

void tst_PrefsWindows::manual() {
    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"Help.pdf"_s);
    QCOMPARE(ManualPath(folder.path()), pdf);

    // No manual: the user is told where it should be; nothing is opened.
    QVERIFY(!OpenManual(*m_platform, folder.path()));
    QVERIFY(m_platform->openedDocuments.isEmpty());
    QCOMPARE(m_platform->messages.size(), size_t(1));
    QVERIFY(m_platform->messages.back().text.contains(QDir::toNativeSeparators(pdf)));

    QFile f(pdf);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("%PDF-1.4\n");
    f.close();
    QVERIFY(OpenManual(*m_platform, folder.path()));
    QCOMPARE(m_platform->openedDocuments, QStringList{pdf});
    QCOMPARE(m_platform->messages.size(), size_t(1));

    // No viewer takes it: told plainly where the file is.
    m_platform->documentOpens = false;
    QVERIFY(!OpenManual(*m_platform, folder.path()));
    QCOMPARE(m_platform->messages.size(), size_t(2));
    QCOMPARE(m_platform->messages.back().icon, MsgIcon::Information);
    QVERIFY(m_platform->messages.back().text.contains(QDir::toNativeSeparators(pdf)));
}

QTEST_MAIN(tst_PrefsWindows)
#include "tst_PrefsWindows.moc"
