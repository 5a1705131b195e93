#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "core/AppState.h"
#include "storage/DatabaseFile.h"
#include "core/Settings.h"
#include "workbook/WorkbookReader.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"
#include "directory/DirectoryGridModel.h"
#include "directory/AddSubscriberDialog.h"
#include "directory/EditSubscriberDialog.h"
#include "directory/DirectoryWindow.h"
#include "storage/Database.h"
#include "storage/JournalFile.h"
#include "support/JournalFixture.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"

using namespace Qt::StringLiterals;

namespace {

const QStringList Names = {u"Иванов И. И."_s,    u"Петров П. П."_s,   u"СИДОРОВ С. С."_s,
                           u"Кузнецова А. А."_s, u"Иваненко Б. Б."_s, u"Орлова О. О."_s};

void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// The subscriber that stands in a row: its name, address and a reading.
struct Who {
    QString name;
    QString reading;
};

} // namespace

class tst_DirectoryWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opensWithStoredWidthsAndStoresThemOnClose();
    void clickSelects();
    void findMarksNamesOnly();
    void deleteMovesLaterSubscribersUp_data();
    void deleteMovesLaterSubscribersUp();
    void deleteRefused();
    void deleteSaveFailureIsReported();
    void exportThreeSubscribers();
    void importReplacesDirectory();
    void importRefusals_data();
    void importRefusals();
    void hoverHints();
    void childWindowsDisableTheDirectory();

private:
    void makeTable(int count);
    DirectoryWindow* open();
    template <typename T> T* child(const QString& name) {
        T* w = m_spr->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    void click(int row, int column = 1);
    SubscriberTable loadFile() const;
    QString gridText(int row, int column) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Database> m_database;
    DirectoryWindow* m_spr = nullptr;
};

void tst_DirectoryWindow::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_state = std::make_unique<AppState>();
    m_state->programFolder = m_dir->path();
    m_platform = std::make_unique<ScriptedPlatform>();
    m_database = std::make_unique<Database>(m_state->table, *m_platform,
                                            m_dir->filePath(DatabaseFile::FileName));
    for (int k = 0; k < 6; ++k)
        m_platform->settings().setText(u"TunGrid"_s, u"CW(%1)"_s.arg(k),
                                       Settings::defaultText(u"TunGrid"_s, u"CW(%1)"_s.arg(k)));
    makeTable(int(Names.size()));
}

void tst_DirectoryWindow::cleanup() {
    delete m_spr;
    m_spr = nullptr;
}

void tst_DirectoryWindow::makeTable(int count) {
    SubscriberTable& t = m_state->table;
    t.clear();
    for (int i = 1; i <= count; ++i) {
        t.setCell(i, ColRowNumber, QString::number(i));
        t.setCell(i, ColName, i <= Names.size() ? Names[i - 1] : u"Абонент %1"_s.arg(i));
        t.setCell(i, ColAddress, QString::number(i * 10));
        t.setCell(i, MonthColumn(2, 5, T1Current), QString::number(1000 + i));
    }
    t.setSubscriberCount(count);
    QVERIFY(DatabaseFile::save(m_database->path(), t));
}

DirectoryWindow* tst_DirectoryWindow::open() {
    m_spr = new DirectoryWindow(*m_state, *m_database, *m_platform);
    m_spr->setAttribute(Qt::WA_DeleteOnClose, false);
    m_spr->show();
    return m_spr;
}

void tst_DirectoryWindow::click(int row, int column) {
    auto* grid = child<QTableView>(u"g"_s);
    const QModelIndex index = grid->model()->index(row - 1, column);
    grid->scrollTo(index);
    const QPoint at = grid->visualRect(index).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
}

SubscriberTable tst_DirectoryWindow::loadFile() const {
    SubscriberTable t;
    DatabaseFile::load(m_database->path(), t);
    return t;
}

QString tst_DirectoryWindow::gridText(int row, int column) const {
    auto* grid = m_spr->findChild<QTableView*>(u"g"_s);
    return grid->model()->index(row - 1, column).data().toString();
}

void tst_DirectoryWindow::opensWithStoredWidthsAndStoresThemOnClose() {
    const int stored[6] = {600, 3000, 1500, 1200, 2250, 900};
    for (int k = 0; k < 6; ++k)
        m_platform->settings().setNumber(u"TunGrid"_s, u"CW(%1)"_s.arg(k), stored[k]);
    open();
    auto* grid = child<QTableView>(u"g"_s);
    for (int k = 0; k < 6; ++k)
        QCOMPARE(grid->columnWidth(k), stored[k] / 15);
    QCOMPARE(m_spr->windowTitle(), u"Справочник абоненты"_s);
    QCOMPARE(m_spr->model().headerVariant(), HeaderVariant::B);
    QCOMPARE(grid->model()->rowCount(), 6);
    QCOMPARE(gridText(3, 1), u"СИДОРОВ С. С."_s);
    QVERIFY(!child<QPushButton>(u"Cmd2"_s)->isEnabled());
    QVERIFY(!child<QPushButton>(u"CmdDel"_s)->isEnabled());
    QVERIFY(child<QPushButton>(u"Cmd1"_s)->isEnabled());
    QCOMPARE(child<QPushButton>(u"CmdRes"_s)->text(), u"сброс "_s);

    // The grid follows the window.
    m_spr->resize(700, 400);
    QCOMPARE(grid->height(), 400 - 800 / 15);
    QCOMPARE(grid->width(), 700 - 100 / 15);

    // The user widens the name column; closing stores the widths before it says so.
    grid->setColumnWidth(1, 321);
    QList<int> seen;
    connect(m_spr, &DirectoryWindow::closed, this, [&] {
        for (int k = 0; k < 6; ++k)
            seen << m_platform->settings().number(u"TunGrid"_s, u"CW(%1)"_s.arg(k));
    });
    QVERIFY(m_spr->close());
    QCOMPARE(seen, (QList<int>{600, 321 * 15, 1500, 1200, 2250, 900}));
}

void tst_DirectoryWindow::clickSelects() {
    open();
    auto& model = m_spr->model();
    using M = DirectoryModel::RowMark;
    click(3);
    QCOMPARE(m_spr->selectedRow(), 3);
    QVERIFY(child<QPushButton>(u"Cmd2"_s)->isEnabled());
    QVERIFY(child<QPushButton>(u"CmdDel"_s)->isEnabled());
    QCOMPARE(model.mark(3), M::Selected);
    const QModelIndex cell = model.index(2, 4);
    QCOMPARE(cell.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 0));
    click(1, 0);
    QCOMPARE(m_spr->selectedRow(), 1);
    QVERIFY(!child<QPushButton>(u"CmdDel"_s)->isEnabled());
    QCOMPARE(model.mark(3), M::None);
    QCOMPARE(model.mark(1), M::Selected);
    QCOMPARE(cell.data(Qt::BackgroundRole).value<QBrush>().color(),
             QApplication::palette().color(QPalette::Base));
}

void tst_DirectoryWindow::findMarksNamesOnly() {
    open();
    auto& model = m_spr->model();
    using M = DirectoryModel::RowMark;
    click(5);
    auto* text = child<QLineEdit>(u"txtfind"_s);

    // Enter in the text box runs the find; case is ignored on Cyrillic.
    text->setFocus();
    typeText(text, u"ИВАН"_s);
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(m_platform->messages.size(), std::size_t(1));
    auto msg = m_platform->messages.back();
    QCOMPARE(msg.title, u"Результаты поиска    \"иван\""_s);
    QCOMPARE(msg.text, u" Количество найденых строк = 2.  Номер первой найденной строки = 1"_s);
    QCOMPARE(msg.icon, MsgIcon::None);
    QCOMPARE(msg.buttons, MsgButtons::Ok);
    QCOMPARE(model.mark(1), M::Found);
    QCOMPARE(model.mark(5), M::Found); // the selected row matched: now blue
    QCOMPARE(model.index(0, 5).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0, 0, 255));

    // A second find clears the first; a yellow row stays yellow.
    click(4);
    text->clear();
    typeText(text, u"сидоров"_s);
    child<QPushButton>(u"Cmdfind"_s)->click();
    QCOMPARE(model.mark(1), M::None);
    QCOMPARE(model.mark(5), M::None);
    QCOMPARE(model.mark(3), M::Found);
    QCOMPARE(model.mark(4), M::Selected);

    // The address is not searched; no match reports it and leaves nothing blue.
    text->setText(u"30"_s);
    child<QPushButton>(u"Cmdfind"_s)->click();
    msg = m_platform->messages.back();
    QCOMPARE(msg.title, u"Результаты поиска    "_s);
    QCOMPARE(msg.text, u"Выражение   \"30\"   не найдено."_s);
    for (int r = 1; r <= 6; ++r)
        QVERIFY(model.mark(r) != M::Found);
    QCOMPARE(model.mark(4), M::Selected);

    // Empty: nothing at all.
    const auto before = m_platform->messages.size();
    text->clear();
    child<QPushButton>(u"Cmdfind"_s)->click();
    QCOMPARE(m_platform->messages.size(), before);

    // Reset clears the blue rows only.
    text->setText(u"ров"_s); // not the selected row 4
    child<QPushButton>(u"Cmdfind"_s)->click();
    QCOMPARE(model.mark(2), M::Found);
    child<QPushButton>(u"CmdRes"_s)->click();
    for (int r = 1; r <= 6; ++r)
        QVERIFY(model.mark(r) != M::Found);
    QCOMPARE(model.mark(4), M::Selected);
    QVERIFY(child<QPushButton>(u"CmdRes"_s)->isEnabled());
}

void tst_DirectoryWindow::deleteMovesLaterSubscribersUp_data() {
    QTest::addColumn<int>("row");
    QTest::newRow("middle") << 3;
    QTest::newRow("last") << 6;
}

void tst_DirectoryWindow::deleteMovesLaterSubscribersUp() {
    QFETCH(int, row);
    // A payment of every subscriber in the journal.
    for (int i = 1; i <= Names.size(); ++i)
        m_database->journal().add(TestPayment(QString::number(i), i, Names[i - 1]));
    open();
    // Stored widths hold until a delete; then the header's widths do.
    auto* grid = child<QTableView>(u"g"_s);
    grid->setColumnWidth(2, 40);
    QSignalSpy saved(m_spr, &DirectoryWindow::databaseWritten);
    click(row);
    m_platform->answers = {MsgAnswer::Yes};
    child<QPushButton>(u"CmdDel"_s)->click();
    const auto& q = m_platform->messages.back();
    QCOMPARE(q.title, u"Подтвердите удаление."_s);
    QCOMPARE(q.text, u"Вы действительно хотите удалить из справочника запись № "_s +
                         QString::number(row) + u" ["_s + Names[row - 1] + u"]"_s);
    QCOMPARE(q.icon, MsgIcon::Information);
    QCOMPARE(q.buttons, MsgButtons::YesNo);
    QCOMPARE(q.defaultButton, MsgAnswer::No);

    QCOMPARE(m_state->table.subscriberCount(), 5);
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.first().first().toBool(), true);
    const SubscriberTable file = loadFile();
    QCOMPARE(file.subscriberCount(), 5);
    QCOMPARE(grid->model()->rowCount(), 5);
    for (int i = 1; i <= 5; ++i) {
        const int was = i < row ? i : i + 1;
        QCOMPARE(gridText(i, 0), QString::number(i)); // no gaps
        QCOMPARE(gridText(i, 1), Names[was - 1]);
        QCOMPARE(file.cell(i, ColName), Names[was - 1]);
        QCOMPARE(file.cell(i, MonthColumn(2, 5, T1Current)), QString::number(1000 + was));
    }
    // Written in the same save: the deleted subscriber's payment keeps its
    // name with row 0, the others follow their subscribers.
    const PaymentJournal journal =
        PaymentJournal::fromBytes(readFile(JournalFile::pathFor(m_database->path())));
    QCOMPARE(journal.entries().size(), size_t(Names.size()));
    for (const JournalEntry& e : journal.entries()) {
        const int was = e.number.toInt();
        QCOMPARE(e.name, Names[was - 1]);
        QCOMPARE(e.row, was < row ? was : was == row ? 0 : was - 1);
        if (e.row > 0)
            QCOMPARE(file.cell(e.row, ColName), e.name);
    }
    QCOMPARE(m_spr->model().headerVariant(), HeaderVariant::A);
    QVERIFY(grid->columnWidth(2) > 100);
    QVERIFY(!child<QPushButton>(u"CmdDel"_s)->isEnabled());
}

void tst_DirectoryWindow::deleteRefused() {
    open();
    // Row 1 cannot be deleted: the button stays disabled and a click does nothing.
    click(1);
    QVERIFY(!child<QPushButton>(u"CmdDel"_s)->isEnabled());
    // The user says No.
    click(2);
    m_platform->answers = {MsgAnswer::No};
    child<QPushButton>(u"CmdDel"_s)->click();
    QCOMPARE(m_state->table.subscriberCount(), 6);
    QCOMPARE(m_state->table.cell(2, ColName), Names[1]);
    delete m_spr;
    m_spr = nullptr;

    // A single subscriber.
    makeTable(1);
    open();
    click(1);
    QVERIFY(!child<QPushButton>(u"CmdDel"_s)->isEnabled());
    QCOMPARE(m_spr->selectedRow(), 1);
    const auto before = m_platform->messages.size();
    QMetaObject::invokeMethod(child<QPushButton>(u"CmdDel"_s), "click");
    QCOMPARE(m_platform->messages.size(), before);
    QCOMPARE(m_state->table.subscriberCount(), 1);
}

void tst_DirectoryWindow::deleteSaveFailureIsReported() {
    m_database = std::make_unique<Database>(m_state->table, *m_platform,
                                            m_dir->filePath(u"нет/такой/папки/base.spb"_s));
    open();
    QSignalSpy saved(m_spr, &DirectoryWindow::databaseWritten);
    click(2);
    m_platform->answers = {MsgAnswer::Yes};
    child<QPushButton>(u"CmdDel"_s)->click();
    QCOMPARE(m_platform->messages.back().text, u"Ошибка сохранения"_s);
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.first().first().toBool(), false);
    QCOMPARE(m_state->table.subscriberCount(), 5); // the table keeps the change
}

void tst_DirectoryWindow::exportThreeSubscribers() {
    makeTable(3);
    open();
    // Cancelled: nothing written, nothing said.
    child<QToolButton>(u"Command1"_s)->click();
    QVERIFY(m_platform->dialogProposals.last().endsWith(u"/Справочник абонентов.xlsx"_s));
    QVERIFY(m_platform->messages.empty());

    const QString path = m_dir->filePath(u"справочник.xls"_s);
    m_platform->fileNames = {path};
    child<QToolButton>(u"Command1"_s)->click();
    const WorkbookReadResult r = ReadWorkbook(path);
    QCOMPARE(r.status, WorkbookReadResult::Status::Ok);
    QCOMPARE(r.cell(u"A1"), u"№"_s);
    QCOMPARE(r.cell(u"F1"), u"Примечание"_s);
    QCOMPARE(r.cell(u"A4"), u"3"_s);
    QCOMPARE(r.cell(u"B4"), u"СИДОРОВ С. С."_s);
    QCOMPARE(r.cell(u"C3"), u"20"_s);
    QCOMPARE(r.rowCount(), 4);
    QVERIFY(m_platform->messages.empty());

    // A folder that cannot be written: silently nothing.
    m_platform->fileNames = {m_dir->filePath(u"нет/справочник.xlsx"_s)};
    child<QToolButton>(u"Command1"_s)->click();
    QVERIFY(m_platform->messages.empty());
}

void tst_DirectoryWindow::importReplacesDirectory() {
    open();
    click(6); // a selection past the new count must not survive
    WorkbookSheet sheet;
    sheet.setBlock(u"A1", {{u"№"_s, u"Фамилия И. О."_s, u"Адрес"_s},
                           {u"1"_s, u"Новый Н. Н."_s, u"01"_s, u"тел"_s, u"тип"_s, u"прим"_s},
                           {u"2"_s, u"Второй В. В."_s, u"77"_s},
                           {u"3"_s, u"Третий Т. Т."_s},
                           {u""_s, u"Без номера"_s},
                           {u"5"_s, u"После пропуска"_s}});
    const QString path = m_dir->filePath(u"импорт.xlsx"_s);
    QVERIFY(WriteWorkbook(sheet, path));
    QSignalSpy saved(m_spr, &DirectoryWindow::databaseWritten);
    m_platform->answers = {MsgAnswer::Yes};
    m_platform->fileNames = {path};
    child<QToolButton>(u"Command2"_s)->click();
    const auto& q = m_platform->messages.front();
    QCOMPARE(q.title, u"Импорт справочника из Exel"_s);
    QCOMPARE(q.text,
             u"Вы действительно хотите безвозвратно изменить данные справочника абонентов?"_s);
    QCOMPARE(q.icon, MsgIcon::Question);
    QCOMPARE(q.defaultButton, MsgAnswer::No);
    QCOMPARE(m_platform->messages.size(), std::size_t(1));

    const SubscriberTable& t = m_state->table;
    QCOMPARE(t.subscriberCount(), 3);
    QCOMPARE(FieldsOf(t, 1),
             (DirectoryFields{u"Новый Н. Н."_s, u"01"_s, u"тел"_s, u"тип"_s, u"прим"_s}));
    QCOMPARE(t.cell(2, ColAddress), u"77"_s);
    QCOMPARE(t.cell(3, ColAddress), QString());
    // Readings stay with their rows.
    QCOMPARE(t.cell(2, MonthColumn(2, 5, T1Current)), u"1002"_s);
    QCOMPARE(saved.size(), 1);
    QCOMPARE(loadFile().subscriberCount(), 3);
    QCOMPARE(loadFile().cell(1, ColName), u"Новый Н. Н."_s);
    QCOMPARE(child<QTableView>(u"g"_s)->model()->rowCount(), 3);
    QCOMPARE(gridText(2, 1), u"Второй В. В."_s);
    QCOMPARE(m_spr->model().headerVariant(), HeaderVariant::B);
    QCOMPARE(m_spr->selectedRow(), 0);
    QVERIFY(!child<QPushButton>(u"Cmd2"_s)->isEnabled());
}

void tst_DirectoryWindow::importRefusals_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::newRow("answered no") << u"no"_s << u""_s << u""_s << 0;
    QTest::newRow("dialog cancelled") << u"cancel"_s << u""_s << u""_s << 0;
    QTest::newRow("A2 empty") << u"a2"_s << u""_s << u""_s << 0;
    QTest::newRow("not a workbook")
        << u"text"_s << u"Ошибка"_s << u"Ошибка импорта!"_s << int(MsgIcon::Information);
    QTest::newRow("missing") << u"missing"_s << u"Ошибка"_s << u"Ошибка импорта!"_s
                             << int(MsgIcon::Information);
    QTest::newRow("too many") << u"many"_s << u"Ошибка импорта"_s
                              << u"В книге больше 501 абонента, а справочник вмещает не более "
                                 "501. Справочник не изменён."_s
                              << int(MsgIcon::Warning);
}

void tst_DirectoryWindow::importRefusals() {
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(int, icon);
    open();
    QString path = m_dir->filePath(u"книга.xlsx"_s);
    WorkbookSheet sheet;
    if (kind == u"a2"_s) {
        sheet.setBlock(u"A1", {{u"№"_s}, {u""_s, u"Имя"_s}, {u"2"_s, u"Ещё"_s}});
    } else if (kind == u"many"_s) {
        for (int r = 1; r <= 502; ++r) {
            sheet.set(r, 0, QString::number(r));
            sheet.set(r, 1, u"Абонент %1"_s.arg(r));
        }
    }
    QVERIFY(WriteWorkbook(sheet, path));
    if (kind == u"text"_s) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a workbook");
    }
    if (kind == u"missing"_s)
        path = m_dir->filePath(u"нет.xlsx"_s);
    m_platform->answers = {kind == u"no"_s ? MsgAnswer::No : MsgAnswer::Yes};
    if (kind != u"cancel"_s)
        m_platform->fileNames = {path};
    const QByteArray before = [this] {
        QFile f(m_database->path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QSignalSpy saved(m_spr, &DirectoryWindow::databaseWritten);
    child<QToolButton>(u"Command2"_s)->click();

    if (kind == u"no"_s)
        QVERIFY(m_platform->dialogProposals.isEmpty());
    if (title.isEmpty()) {
        QCOMPARE(m_platform->messages.size(), std::size_t(1)); // the question only
    } else {
        QCOMPARE(m_platform->messages.size(), std::size_t(2));
        QCOMPARE(m_platform->messages.back().title, title);
        QCOMPARE(m_platform->messages.back().text, text);
        QCOMPARE(int(m_platform->messages.back().icon), icon);
    }
    QCOMPARE(m_state->table.subscriberCount(), 6);
    for (int i = 1; i <= 6; ++i)
        QCOMPARE(m_state->table.cell(i, ColName), Names[i - 1]);
    QCOMPARE(saved.size(), 0);
    QFile f(m_database->path());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
}

void tst_DirectoryWindow::hoverHints() {
    open();
    auto* exportHint = child<QLabel>(u"Label1(0)"_s);
    auto* importHint = child<QLabel>(u"Label1(1)"_s);
    QCOMPARE(exportHint->text(), u"Экспорт"_s);
    QCOMPARE(importHint->text(), u"Импорт"_s);
    QVERIFY(exportHint->isHidden());
    QVERIFY(importHint->isHidden());
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(child<QToolButton>(u"Command1"_s), &enter);
    QVERIFY(exportHint->isVisible());
    QVERIFY(importHint->isHidden());
    QApplication::sendEvent(child<QToolButton>(u"Command2"_s), &enter);
    QVERIFY(exportHint->isHidden());
    QVERIFY(importHint->isVisible());
    QTest::mouseMove(child<QTableView>(u"g"_s)->viewport(), QPoint(50, 50));
    QApplication::sendEvent(child<QTableView>(u"g"_s)->viewport(), &enter);
    QVERIFY(exportHint->isHidden());
    QVERIFY(importHint->isHidden());
    QApplication::sendEvent(child<QToolButton>(u"Command1"_s), &enter);
    QApplication::sendEvent(child<QWidget>(u"Frame1"_s), &enter);
    QVERIFY(exportHint->isHidden());
}

void tst_DirectoryWindow::childWindowsDisableTheDirectory() {
    open();
    child<QPushButton>(u"Cmd1"_s)->click();
    QPointer<AddSubscriberDialog> add = m_spr->addWindow();
    QVERIFY(add);
    QVERIFY(!m_spr->isEnabled());
    // The directory does not close under an open add window.
    QVERIFY(!m_spr->close());
    add->close();
    QVERIFY(m_spr->isEnabled());
    QTRY_VERIFY(!add); // deleted on close

    click(4);
    QTest::mouseDClick(child<QTableView>(u"g"_s)->viewport(), Qt::LeftButton, {},
                       child<QTableView>(u"g"_s)->visualRect(m_spr->model().index(3, 1)).center());
    QPointer<EditSubscriberDialog> edit = m_spr->editWindow();
    QVERIFY(edit);
    QVERIFY(!m_spr->isEnabled());
    QCOMPARE(edit->findChild<QLineEdit*>(u"txt1(0)"_s)->text(), Names[3]);
    edit->findChild<QPushButton*>(u"Command1"_s)->click();
    QVERIFY(m_spr->isEnabled());
    QCOMPARE(m_state->table.cell(4, ColName), Names[3]);
}

QTEST_MAIN(tst_DirectoryWindow)
#include "tst_DirectoryWindow.moc"
