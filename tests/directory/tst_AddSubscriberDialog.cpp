#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "core/AppState.h"
#include "core/Cp1251.h"
#include "storage/DatabaseFile.h"
#include "directory/DirectoryGridModel.h"
#include "directory/AddSubscriberDialog.h"
#include "directory/EditSubscriberDialog.h"
#include "directory/DirectoryWindow.h"
#include "storage/Database.h"
#include "support/ScriptedPlatform.h"

using namespace Qt::StringLiterals;

namespace {

void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QColor baseOf(const QLineEdit* box) {
    return box->palette().color(QPalette::Base);
}

const QColor Yellow(255, 255, 0);

} // namespace

class tst_AddSubscriberDialog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void addThreeThenCommit();
    void addThreeThenClose();
    void fullTable();
    void fieldBehaviour();
    void duplicateWarning();
    void editStoresUntrimmed();
    void editNeedsAName();
    void separatorRefusedAndUnstorableWarned_data();
    void separatorRefusedAndUnstorableWarned();

private:
    void makeTable(int count);
    AddSubscriberDialog* openAdd();
    QLineEdit* box(QWidget* w, int k) { return w->findChild<QLineEdit*>(u"txt1(%1)"_s.arg(k)); }
    QPushButton* button(QWidget* w, const QString& name) {
        return w->findChild<QPushButton*>(name);
    }
    void fill(QWidget* w, const QString& name, const QString& address);
    int fileCount() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Database> m_database;
    DirectoryWindow* m_spr = nullptr;
};

void tst_AddSubscriberDialog::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_state = std::make_unique<AppState>();
    m_state->programFolder = m_dir->path();
    m_platform = std::make_unique<ScriptedPlatform>();
    m_database = std::make_unique<Database>(m_state->table, *m_platform,
                                            m_dir->filePath(DatabaseFile::FileName));
    makeTable(4);
}

void tst_AddSubscriberDialog::cleanup() {
    delete m_spr;
    m_spr = nullptr;
}

void tst_AddSubscriberDialog::makeTable(int count) {
    SubscriberTable& t = m_state->table;
    t.clear();
    for (int i = 1; i <= count; ++i) {
        t.setCell(i, ColRowNumber, QString::number(i));
        t.setCell(i, ColName, u"Абонент %1"_s.arg(i));
        t.setCell(i, ColNote, u"прим %1"_s.arg(i));
        t.setCell(i, MonthColumn(0, 3, T2Current), QString::number(300 + i));
    }
    t.setSubscriberCount(count);
    QVERIFY(DatabaseFile::save(m_database->path(), t));
}

AddSubscriberDialog* tst_AddSubscriberDialog::openAdd() {
    m_spr = new DirectoryWindow(*m_state, *m_database, *m_platform);
    m_spr->setAttribute(Qt::WA_DeleteOnClose, false);
    m_spr->show();
    button(m_spr, u"Cmd1"_s)->click();
    AddSubscriberDialog* add = m_spr->addWindow();
    if (!add)
        return nullptr;
    // The tests type into it and check where the focus goes: an inactive
    // window would check nothing.
    QApplication::setActiveWindow(add);
    if (!QTest::qWaitForWindowActive(add)) {
        QTest::qFail("the add window did not become active", __FILE__, __LINE__);
        return nullptr;
    }
    return add;
}

void tst_AddSubscriberDialog::fill(QWidget* w, const QString& name, const QString& address) {
    box(w, 0)->setFocus();
    typeText(box(w, 0), name);
    QTest::keyClick(box(w, 0), Qt::Key_Return); // on to the address
    typeText(box(w, 1), address);
}

int tst_AddSubscriberDialog::fileCount() const {
    SubscriberTable t;
    DatabaseFile::load(m_database->path(), t);
    return t.subscriberCount();
}

void tst_AddSubscriberDialog::addThreeThenCommit() {
    AddSubscriberDialog* add = openAdd();
    QVERIFY(add);
    QCOMPARE(add->windowTitle(), u"Добавление нового абонента"_s);
    QVERIFY(!m_spr->isEnabled());
    QVERIFY(!button(add, u"CmdOk"_s)->isVisibleTo(add));
    QVERIFY(!button(add, u"Cmd1"_s)->isEnabled());
    QSignalSpy addSaves(add, &AddSubscriberDialog::databaseWritten);

    const QStringList names = {u"Новиков Н. Н."_s, u"Орлов О. О."_s, u"Павлов П. П."_s};
    for (int i = 0; i < 3; ++i) {
        fill(add, names[i], QString::number(100 + i));
        QTest::mouseClick(button(add, u"Cmd1"_s), Qt::LeftButton);
        QCOMPARE(add->addedCount(), i + 1);
        QVERIFY(box(add, 0)->text().isEmpty()); // cleaned
        QVERIFY(!button(add, u"Cmd1"_s)->isEnabled());
        QVERIFY(button(add, u"CmdOk"_s)->isVisibleTo(add));
    }
    QCOMPARE(m_state->table.subscriberCount(), 4); // still pending
    QCOMPARE(m_state->table.cell(6, ColName), names[1]);
    QCOMPARE(m_state->table.cell(7, ColAddress), u"102"_s);
    QCOMPARE(m_state->table.cell(7, ColRowNumber), u"7"_s);

    QTest::mouseClick(button(add, u"CmdOk"_s), Qt::LeftButton);
    QCOMPARE(m_state->table.subscriberCount(), 7);
    QCOMPARE(addSaves.size(), 1); // one save for all three
    QCOMPARE(fileCount(), 7);
    QVERIFY(m_spr->isEnabled());
    QTRY_VERIFY(!m_spr->addWindow());
    auto* grid = m_spr->findChild<QTableView*>(u"g"_s);
    QCOMPARE(grid->model()->rowCount(), 7);
    QCOMPARE(grid->model()->index(6, 1).data().toString(), names[2]);
    QCOMPARE(m_spr->model().headerVariant(), HeaderVariant::C);
}

void tst_AddSubscriberDialog::addThreeThenClose() {
    AddSubscriberDialog* add = openAdd();
    QVERIFY(add);
    QSignalSpy addSaves(add, &AddSubscriberDialog::databaseWritten);
    for (int i = 0; i < 3; ++i) {
        fill(add, u"Временный %1"_s.arg(i), {});
        button(add, u"Cmd1"_s)->click();
    }
    QCOMPARE(add->addedCount(), 3);
    add->close();
    QCOMPARE(m_state->table.subscriberCount(), 4);
    QCOMPARE(addSaves.size(), 0);
    QCOMPARE(fileCount(), 4);
    QVERIFY(m_spr->isEnabled());
    QCOMPARE(m_spr->findChild<QTableView*>(u"g"_s)->model()->rowCount(), 4);

    // The next add overwrites the abandoned rows, from empty.
    m_state->table.setCell(5, MonthColumn(0, 1, T1Current), u"777"_s);
    button(m_spr, u"Cmd1"_s)->click();
    add = m_spr->addWindow();
    box(add, 0)->setText(u"Настоящий Н. Н."_s);
    button(add, u"Cmd1"_s)->click();
    QCOMPARE(m_state->table.cell(5, ColName), u"Настоящий Н. Н."_s);
    QCOMPARE(m_state->table.cell(5, MonthColumn(0, 1, T1Current)), QString());
}

void tst_AddSubscriberDialog::fullTable() {
    makeTable(500);
    AddSubscriberDialog* add = openAdd();
    QVERIFY(add);
    box(add, 0)->setText(u"Пятьсот первый"_s);
    button(add, u"Cmd1"_s)->click();
    QCOMPARE(add->addedCount(), 1);
    QVERIFY(m_platform->messages.empty());
    box(add, 0)->setText(u"Лишний Л. Л."_s);
    button(add, u"Cmd1"_s)->click();
    QCOMPARE(add->addedCount(), 1);
    QCOMPARE(m_platform->messages.size(), std::size_t(1));
    const auto& m = m_platform->messages.back();
    QVERIFY(m.text.contains(u"501"_s));
    QCOMPARE(m.icon, MsgIcon::Critical);
    QCOMPARE(box(add, 0)->text(), u"Лишний Л. Л."_s); // kept: nothing was added
    button(add, u"CmdOk"_s)->click();
    QCOMPARE(m_state->table.subscriberCount(), 501);
    QCOMPARE(m_state->table.cell(501, ColName), u"Пятьсот первый"_s);
    QCOMPARE(fileCount(), 501);
}

void tst_AddSubscriberDialog::fieldBehaviour() {
    AddSubscriberDialog* add = openAdd();
    QVERIFY(add);
    QCOMPARE(add->findChild<QWidget*>(u"lbl1(3)"_s)->property("text").toString(),
             u"Тип счетчика"_s);
    box(add, 0)->setFocus();
    QCOMPARE(baseOf(box(add, 0)), Yellow);

    // Only spaces: no add.
    typeText(box(add, 0), u"   "_s);
    QVERIFY(!button(add, u"Cmd1"_s)->isEnabled());
    box(add, 0)->clear();

    // Proper case on leaving the name; Enter goes on and types no line break.
    typeText(box(add, 0), u"иванов и. и."_s);
    QVERIFY(button(add, u"Cmd1"_s)->isEnabled());
    QTest::keyClick(box(add, 0), Qt::Key_Return);
    QCOMPARE(box(add, 0)->text(), u"Иванов И. И."_s);
    QVERIFY(box(add, 1)->hasFocus());
    QVERIFY(baseOf(box(add, 0)) != Yellow);
    QCOMPARE(baseOf(box(add, 1)), Yellow);

    // A pasted second line is joined on leaving.
    box(add, 1)->setText(u"12\r\nа"_s);
    QTest::keyClick(box(add, 1), Qt::Key_Return);
    QCOMPARE(box(add, 1)->text(), u"12а"_s);
    QVERIFY(box(add, 2)->hasFocus());
    // A lone LF becomes the space the saved file would hold.
    box(add, 2)->setText(u"8 900\n123"_s);
    QTest::keyClick(box(add, 2), Qt::Key_Return);
    QCOMPARE(box(add, 2)->text(), u"8 900 123"_s);
    QTest::keyClick(box(add, 3), Qt::Key_Return);
    QVERIFY(box(add, 4)->hasFocus());
    typeText(box(add, 4), u"  заметка  "_s);
    // From the last box Enter reaches the button, and Enter there adds.
    QTest::keyClick(box(add, 4), Qt::Key_Return);
    QVERIFY(button(add, u"Cmd1"_s)->hasFocus());
    QTest::keyClick(button(add, u"Cmd1"_s), Qt::Key_Return);
    QCOMPARE(add->addedCount(), 1);
    QCOMPARE(m_state->table.cell(5, ColName), u"Иванов И. И."_s);
    QCOMPARE(m_state->table.cell(5, ColAddress), u"12а"_s);
    QCOMPARE(m_state->table.cell(5, ColPhone), u"8 900 123"_s);
    QCOMPARE(m_state->table.cell(5, ColNote), u"заметка"_s); // trimmed by adding
    QVERIFY(box(add, 0)->hasFocus());

    // With the button disabled, Enter in the last box stays there.
    box(add, 4)->setFocus();
    QTest::keyClick(box(add, 4), Qt::Key_Return);
    QVERIFY(box(add, 4)->hasFocus());
    QVERIFY(m_platform->messages.empty());
}

void tst_AddSubscriberDialog::duplicateWarning() {
    AddSubscriberDialog* add = openAdd();
    QVERIFY(add);
    box(add, 0)->setFocus();
    typeText(box(add, 0), u"абонент 3"_s);
    QTest::keyClick(box(add, 0), Qt::Key_Return);
    QCOMPARE(m_platform->messages.size(), std::size_t(1));
    const auto& m = m_platform->messages.back();
    QCOMPARE(m.title, u"Повтор Ф. И. О."_s);
    QCOMPARE(m.text, u"Абонент с такой Фамилией И. О. уже есть!"_s);
    QCOMPARE(m.icon, MsgIcon::Critical);
    QTRY_VERIFY(box(add, 0)->hasFocus());
    QCOMPARE(box(add, 0)->text(), u"Абонент 3"_s);
    // A warning only: the add goes through.
    button(add, u"Cmd1"_s)->click();
    QCOMPARE(add->addedCount(), 1);

    // Pending subscribers count for the check too.
    box(add, 0)->setFocus();
    typeText(box(add, 0), u"АБОНЕНТ 3"_s);
    QTest::keyClick(box(add, 0), Qt::Key_Return);
    QCOMPARE(m_platform->messages.size(), std::size_t(2));
    box(add, 0)->clear();
    typeText(box(add, 0), u"Другой"_s);
    QTest::keyClick(box(add, 0), Qt::Key_Return);
    QCOMPARE(m_platform->messages.size(), std::size_t(2));
}

void tst_AddSubscriberDialog::editStoresUntrimmed() {
    m_spr = new DirectoryWindow(*m_state, *m_database, *m_platform);
    m_spr->setAttribute(Qt::WA_DeleteOnClose, false);
    m_spr->show();
    auto* grid = m_spr->findChild<QTableView*>(u"g"_s);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(m_spr->model().index(2, 1)).center());
    m_spr->model().find(u"3"_s); // a blue row keeps its colour through the edit
    button(m_spr, u"Cmd2"_s)->click();
    EditSubscriberDialog* edit = m_spr->editWindow();
    QVERIFY(edit);
    QCOMPARE(edit->windowTitle(), u"Редактирование справочника"_s);
    QVERIFY(!m_spr->isEnabled());
    QCOMPARE(box(edit, 0)->text(), u"Абонент 3"_s);
    QCOMPARE(box(edit, 4)->text(), u"прим 3"_s);
    QVERIFY(button(edit, u"Cmd1"_s)->isEnabled());
    QCOMPARE(button(edit, u"Cmd1"_s)->text(), u"Ok"_s);
    QCOMPARE(button(edit, u"Command1"_s)->text(), u"Отмена"_s);

    QSignalSpy saves(edit, &EditSubscriberDialog::databaseWritten);
    box(edit, 2)->setText(u"8-900"_s);
    box(edit, 4)->setText(u"  с пробелами  "_s);
    button(edit, u"Cmd1"_s)->click();
    QCOMPARE(saves.size(), 1);
    QCOMPARE(m_state->table.cell(3, ColPhone), u"8-900"_s);
    QCOMPARE(m_state->table.cell(3, ColNote), u"  с пробелами  "_s);
    QCOMPARE(m_state->table.cell(3, MonthColumn(0, 3, T2Current)), u"303"_s);
    QCOMPARE(grid->model()->index(2, 5).data().toString(), u"  с пробелами  "_s);
    QCOMPARE(m_spr->model().mark(3), DirectoryModel::RowMark::Found);
    // Written as stored (the loader trims, so look at the bytes).
    QFile file(m_database->path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains(Cp1251::encode(u"|  с пробелами  |")));
    QVERIFY(m_spr->isEnabled());
    QTRY_VERIFY(!m_spr->editWindow());
}

void tst_AddSubscriberDialog::editNeedsAName() {
    EditSubscriberDialog edit(*m_state, *m_database, *m_platform, 2);
    edit.show();
    QSignalSpy saves(&edit, &EditSubscriberDialog::databaseWritten);
    box(&edit, 0)->setText(u"   "_s);
    QVERIFY(!button(&edit, u"Cmd1"_s)->isEnabled());
    box(&edit, 0)->setText(u"Новое Имя"_s);
    QVERIFY(button(&edit, u"Cmd1"_s)->isEnabled());
    box(&edit, 1)->setText(u"новый адрес"_s);
    button(&edit, u"Command1"_s)->click(); // Отмена: nothing stored
    QCOMPARE(m_state->table.cell(2, ColName), u"Абонент 2"_s);
    QCOMPARE(m_state->table.cell(2, ColAddress), QString());
    QCOMPARE(saves.size(), 0);
}

void tst_AddSubscriberDialog::separatorRefusedAndUnstorableWarned_data() {
    QTest::addColumn<bool>("edit");
    QTest::newRow("add") << false;
    QTest::newRow("edit") << true;
}

// A "|" would split the subscriber's line in the file, so a box does not
// take it; a character the file cannot keep is warned about before storing.
void tst_AddSubscriberDialog::separatorRefusedAndUnstorableWarned() {
    QFETCH(bool, edit);
    std::unique_ptr<EditSubscriberDialog> editor;
    QWidget* w = nullptr;
    int row = 5;
    if (edit) {
        row = 2;
        editor = std::make_unique<EditSubscriberDialog>(*m_state, *m_database, *m_platform, row);
        editor->show();
        w = editor.get();
    } else {
        w = openAdd();
        QVERIFY(w);
        fill(w, u"Кузнецов К. К."_s, QString());
    }
    box(w, 1)->setFocus();
    box(w, 1)->clear();
    typeText(box(w, 1), u"12|а"_s);
    QCOMPARE(box(w, 1)->text(), u"12а"_s);
    QCOMPARE(box(w, 1)->cursorPosition(), 3);
    box(w, 4)->setFocus();
    box(w, 4)->clear();
    typeText(box(w, 4), u"ключ ☺"_s);
    QVERIFY(m_platform->messages.empty());
    QTest::mouseClick(button(w, u"Cmd1"_s), Qt::LeftButton);
    QCOMPARE(m_platform->messages.size(), size_t(1));
    QCOMPARE(m_platform->messages[0].title, u"Предупреждение"_s);
    QVERIFY(m_platform->messages[0].text.contains(u"ключ ☺"_s));
    QCOMPARE(m_state->table.cell(row, ColAddress), u"12а"_s);
    QCOMPARE(m_state->table.cell(row, ColNote), u"ключ ☺"_s);
}

QTEST_MAIN(tst_AddSubscriberDialog)
#include "tst_AddSubscriberDialog.moc"
