#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStringListModel>
#include <QToolButton>

#include <algorithm>
#include <utility>

#include "storage/Backup.h"
#include "core/CellSeparator.h"
#include "core/Cp1251.h"
#include "core/UserWarnings.h"
#include "core/LineBreaks.h"
#include "core/MonthNames.h"
#include "storage/Database.h"
#include "storage/DatabasePrefetch.h"
#include "storage/SaveFailed.h"
#include "core/Settings.h"
#include "prefs/Preferences.h"
#include "core/SubscriberTable.h"
#include "core/YearLayout.h"
#include "readings/Charges.h"
#include "readings/EntryText.h"
#include "readings/ReadingsImportDialog.h"
#include "readings/MonthCell.h"
#include "readings/YearSheet.h"

using namespace Qt::StringLiterals;

namespace {

const QString Section = u"Nastr"_s;

QColor bgrColor(int bgr) {
    const int rgb = BgrToRgb(bgr);
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace

MainWindow::MainWindow(AppState& state, Database& database, Platform& platform, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_database(database), m_platform(platform) {
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Остреванка 2.1"_s);
    setAttribute(Qt::WA_DeleteOnClose, false);

    buildControls();

    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The focus taken from a cell by a menu bar, a popup or another window
    // and then given to something else of this window: the cell was left.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (m_cellToLeave && now && now->window() == this && now != menuBar() &&
            MonthCell::of(now) != m_cellToLeave)
            leaveOwedCell();
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::connectCommand(QAbstractButton* button, std::function<void()> command) {
    connect(button, &QAbstractButton::clicked, this, [this, command = std::move(command)] {
        leaveEditedCell();
        command();
    });
}

void MainWindow::connectCommand(QAction* action, std::function<void()> command) {
    connect(action, &QAction::triggered, this, [this, command = std::move(command)] {
        leaveEditedCell();
        command();
    });
}

void MainWindow::leaveEditedCell() {
    leaveOwedCell();
    // The buttons take no focus and a menu hands it back to the cell: it is
    // taken off here, as a click on another control would.
    if (MonthCell* cell = MonthCell::of(focusWidget()); cell && !cell->isResult())
        m_client->setFocus(Qt::OtherFocusReason);
}

void MainWindow::setCommandEnabled(const QString& objectName, bool enabled) {
    if (auto* w = findChild<QWidget*>(objectName))
        w->setEnabled(enabled);
    if (auto* a = findChild<QAction*>(objectName))
        a->setEnabled(enabled);
}

MonthCell* MainWindow::entryCell(int month, int slot) const {
    return m_entry[size_t(month - 1)][size_t(slot)];
}

MonthCell* MainWindow::resultCell(int month, int index) const {
    return m_result[size_t(month - 1)][size_t(index)];
}

// ---------------------------------------------------------------- start-up

bool MainWindow::loadDatabase(DatabasePrefetch* prefetch) {
    const Database::Opened opened = m_database.open(prefetch);
    if (opened == Database::Opened::Failed)
        return false;
    m_baseCreated = opened == Database::Opened::Created;
    fillSubscriberSelector();
    return true;
}

void MainWindow::fillSubscriberSelector() {
    const QString text = m_subscriber->currentText();
    QStringList names;
    names.reserve(m_state.table.subscriberCount());
    for (int r = 1; r <= m_state.table.subscriberCount(); ++r)
        names << m_state.table.cell(r, ColName);
    m_subscriberNames->setStringList(names);
    m_subscriber->setEditText(text);
    const bool none = std::all_of(names.cbegin(), names.cend(),
                                  [](const QString& name) { return name.trimmed().isEmpty(); });
    m_noSubscribersHint->setVisible(none);
}

bool MainWindow::load(DatabasePrefetch* prefetch) {
    m_computeEnabled = false;
    m_saveButton->setEnabled(false);

    m_baseCreated = false;
    if (!loadDatabase(prefetch))
        return false;

    m_state.table.setOfferedYears(
        OfferedYears(YearLayout::LastYearToOffer(m_platform.now().date().year(), m_state.table)));
    m_year->clear();
    m_year->addItems(m_state.table.offeredYears().texts());

    Settings& settings = m_platform.settings();
    LoadColors(m_state, settings);

    const QString row1Name = m_state.table.cell(1, ColName);
    m_subscriber->setEditText(settings.text(Section, u"Cmb0"_s, row1Name));
    // A base made just now holds no past years: it opens on this one.
    const QString openingYear = m_baseCreated ? QString::number(m_platform.now().date().year())
                                              : settings.text(Section, u"Cmb1"_s);
    m_year->setEditText(m_state.table.offeredYears().indexOf(openingYear)
                            ? openingYear
                            : m_state.table.offeredYears().first());

    m_state.flPls = settings.flag(Section, u"flPls"_s);
    m_state.flPs = settings.flag(Section, u"flPs"_s);

    if (!FindRowByName(m_state.table, m_subscriber->currentText()))
        m_subscriber->setEditText(QString());

    m_ch1->setChecked(settings.flag(Section, u"Form1.Ch1"_s));
    m_ch2->setChecked(settings.flag(Section, u"Form1.Ch2"_s));

    if (m_subscriber->currentText().trimmed().isEmpty())
        m_subscriber->setEditText(row1Name);
    if (m_year->currentText().trimmed().isEmpty())
        m_year->setEditText(u"2017"_s);
    // Point the lists at the shown texts so they open on them.
    m_subscriber->setCurrentIndex(m_subscriber->findText(m_subscriber->currentText()));
    m_year->setCurrentIndex(m_year->findText(m_year->currentText()));

    paintRows();
    fillYear();
    m_computeEnabled = true;
    computeYear();
    return true;
}

// ---------------------------------------------------------------- fill

void MainWindow::clearYear() {
    m_meterType->clear();
    for (auto& month : m_entry)
        for (MonthCell* c : month)
            c->clear();
    for (auto& month : m_result)
        for (MonthCell* c : month)
            c->clear();
}

void MainWindow::fillYear() {
    // A refill never drops a reading typed and not yet left.
    leaveOwedCell();
    m_shownName = m_subscriber->currentText();
    m_shownYearText = m_year->currentText();
    // A name that matches no row keeps the row shown before.
    if (const auto row = FindRowByName(m_state.table, m_shownName))
        m_shownRow = *row;
    const YearSheet sheet = shownSheet();
    // Entry cells about to be filled are not emptied first: each would lay
    // out and check its text twice.
    for (auto& month : m_result)
        for (MonthCell* c : month)
            c->clear();
    m_meterType->setText(sheet.meterType());
    const YearSheet::Entries shown = sheet.entries();
    for (int m = 1; m <= 12; ++m)
        for (int s = FirstEntrySlot; s <= LastEntrySlot; ++s)
            entryCell(m, s)->setText(shown[size_t(m - 1)][size_t(s)]);
    emit shownChanged();
}

void MainWindow::onSelectorChosen() {
    fillYear();
    computeYear();
    storeShownCells();
}

QColor MainWindow::monthColor(int month) const {
    return bgrColor(m_state.cellColors[month % 2 == 1 ? 0 : 1]);
}

QColor MainWindow::focusColor() const {
    return bgrColor(m_state.cellColors[2]);
}

void MainWindow::paintRows() {
    for (int m = 1; m <= 12; ++m) {
        const QColor c = monthColor(m);
        for (MonthCell* cell : m_entry[size_t(m - 1)])
            if (!cell->hasFocus())
                cell->setBackground(c);
        for (MonthCell* cell : m_result[size_t(m - 1)])
            cell->setBackground(c);
        QPalette p = m_bands[size_t(m - 1)]->palette();
        p.setColor(QPalette::Window, c);
        m_bands[size_t(m - 1)]->setPalette(p);
    }
}

// ---------------------------------------------------------------- compute

std::array<bool, 12> MainWindow::tickedMonths() const {
    std::array<bool, 12> ticked{};
    for (int m = 0; m < 12; ++m)
        ticked[size_t(m)] = m_monthTicks[size_t(m)]->isChecked();
    return ticked;
}

MainWindow::Shown MainWindow::shown() const {
    return {m_shownRow, m_shownYearText};
}

YearSheet MainWindow::shownSheet() const {
    return YearSheet(m_state.table, m_shownRow, m_shownYearText);
}

YearSheet::Entries MainWindow::shownEntries() const {
    YearSheet::Entries shown;
    for (int m = 1; m <= 12; ++m)
        for (int s = FirstEntrySlot; s <= LastEntrySlot; ++s)
            shown[size_t(m - 1)][size_t(s)] = entryCell(m, s)->text();
    return shown;
}

void MainWindow::computeYear() {
    if (!m_computeEnabled)
        return;
    YearSheet sheet = shownSheet();
    if (!sheet.yearOffered())
        return;
    const ChargeDisplay shown = *sheet.compute(shownEntries(), tickedMonths());
    for (int m = 0; m < 13; ++m)
        for (int r = 0; r < 5; ++r) {
            MonthCell* cell = m_result[size_t(m)][size_t(r)];
            // Unchanged cells are not repainted.
            if (cell->text() != shown.cells[size_t(m)][size_t(r)])
                cell->setText(shown.cells[size_t(m)][size_t(r)]);
        }
    emit shownChanged();
}

void MainWindow::storeShownCells() {
    m_database.markChanged();
    m_saveButton->setEnabled(true);
    // The T2 coefficient is stored here too, so a save never misses it.
    shownSheet().store(shownEntries());
}

bool MainWindow::saveAndWrite() {
    storeShownCells();
    return m_database.saveOrTell();
}

void MainWindow::copyToAllSubscribers(int month, int slot, const QString& text) {
    YearSheet sheet = shownSheet();
    if (!sheet.yearOffered())
        return;
    sheet.copyToAllSubscribers(month, slot, text);
    computeYear();
}

void MainWindow::fillDates() {
    bool anyFilled = false;
    for (int m = 1; m <= 12; ++m)
        anyFilled = anyFilled || !entryCell(m, ReadingDate)->text().isEmpty();
    if (anyFilled &&
        m_platform.message(
            u"Найдены заполненые ячейки дат, если продолжить заполнение, то информаия в них изменится. Продолжить заполнение дат? "_s,
            u"Подтвердите заполнение дат."_s, MsgIcon::Question, MsgButtons::YesNo,
            MsgAnswer::No) != MsgAnswer::Yes)
        return;
    const auto dates = MonthEndDates(m_shownYearText);
    for (int m = 1; m <= 12; ++m)
        entryCell(m, ReadingDate)->setText(dates[size_t(m - 1)]);
    storeShownCells();
}

// ---------------------------------------------------------------- workbooks

ShownYear MainWindow::shownYear() const {
    ShownYear shown;
    shown.name = m_shownName;
    shown.year = m_shownYearText;
    shown.entries = shownEntries();
    for (int m = 1; m <= 12; ++m) {
        for (int r = 0; r < 5; ++r)
            shown.results[size_t(m - 1)][size_t(r)] = resultCell(m, r)->text();
    }
    return shown;
}

void MainWindow::exportTable() {
    ExportTable(m_platform, shownYear());
}

void MainWindow::openImport() {
    auto* window = new ReadingsImportDialog(m_state, m_platform, m_year->currentText());
    window->setObjectName(u"frmImport"_s);
    connect(window, &ReadingsImportDialog::imported, this, [this] {
        fillYear();
        computeYear();
    });
    connect(window, &ReadingsImportDialog::closed, this, [this] { setEnabled(true); });
    setEnabled(false);
    window->show();
}

void MainWindow::showCell(int row, const QString& yearText, int month, int slot) {
    if (row < 1 || row > m_state.table.subscriberCount() || month < 1 || month > 12 ||
        slot < FirstEntrySlot || slot > LastEntrySlot)
        return;
    // The cell being edited keeps its change: leave it as a click elsewhere would.
    leaveEditedCell();
    m_subscriber->setCurrentIndex(row - 1);
    m_subscriber->setEditText(m_state.table.cell(row, ColName));
    const int yearItem = m_year->findText(yearText);
    if (yearItem >= 0)
        m_year->setCurrentIndex(yearItem);
    m_year->setEditText(yearText);
    onSelectorChosen();
    raise();
    activateWindow();
    entryCell(month, slot)->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- backup and restore

namespace {
const QString BackupFilter = u"Файлы (*.spb);;Все файлы (*.*)"_s;
}

void MainWindow::backupDatabase() {
    const QString proposed =
        QDir(m_state.programFolder).filePath(Backup::proposedFileName(m_platform.now()));
    const QString path = Backup::withDefaultExtension(
        m_platform.saveFileName(u"Резервное копирование базы"_s, proposed, BackupFilter));
    if (path.isEmpty())
        return;
    // A backup that was not written must not pass for one that was.
    if (!m_database.backupTo(path).ok())
        TellSaveFailed(m_platform);
}

void MainWindow::restoreFromBackup() {
    restore(false);
}

void MainWindow::restoreFromVersion10() {
    restore(true);
}

void MainWindow::restore(bool version10) {
    const QString path =
        m_platform.openFileName(version10 ? u"Восстановление базы из версии 1.0"_s
                                          : u"Восстановление базы из резервной копии"_s,
                                m_state.programFolder, BackupFilter);
    if (path.isEmpty())
        return;
    const auto confirm = [this, &path] {
        return m_platform.message(
                   u"Вы действительно хотите безвозвратно заменить файл текущей базы файлом "_s +
                       path + u" ?"_s,
                   u"Подтвердите операцию"_s, MsgIcon::Question, MsgButtons::YesNo,
                   MsgAnswer::No) == MsgAnswer::Yes;
    };
    const Database::Restored restored = version10 ? m_database.restoreFromVersion10(path, confirm)
                                                  : m_database.restoreFrom(path, confirm);
    if (restored.declined)
        return;
    switch (restored.result.error) {
    case Backup::Error::None:
        break;
    case Backup::Error::NotFound:
        m_platform.message(u"файл не найден!"_s, u"Ошибка копирования"_s, MsgIcon::Warning,
                           MsgButtons::Ok);
        return;
    case Backup::Error::AccessDenied:
        m_platform.message(u"Доступ к файлу закрыт!"_s, u"Ошибка копирования"_s, MsgIcon::Warning,
                           MsgButtons::Ok);
        return;
    case Backup::Error::Empty:
        m_platform.message(u"ФАЙЛ БАЗЫ   "_s + path + u"   ПУСТОЙ!"_s, u"Ошибка загрузки"_s,
                           MsgIcon::Critical, MsgButtons::Ok);
        return;
    case Backup::Error::FormatError:
        m_platform.message(u"Строка № "_s + QString::number(restored.result.badLine) +
                               u"   файла "_s + path + u"  Содержит ошибку!"_s,
                           u"Ошибка формата файла"_s, MsgIcon::Critical, MsgButtons::Ok);
        return;
    case Backup::Error::WriteFailed:
        if (version10) {
            TellSaveFailed(m_platform);
            return;
        }
        [[fallthrough]];
    default:
        m_platform.message(u"Ошибка копирования файла"_s, QString(), MsgIcon::None, MsgButtons::Ok);
        return;
    }
    // The database no longer writes its file, also while this box is open.
    m_platform.message(u"Сейчас программа закроется, запустите её заново"_s,
                       u"Востановление произошло успешно"_s, MsgIcon::Information, MsgButtons::Ok);
    close();
}

// ---------------------------------------------------------------- close

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_database.endedByRestore()) {
        event->accept();
        emit closed(false);
        return;
    }
    // A reading typed and not yet left still gets its charge before the write.
    leaveEditedCell();
    emit closing();
    Settings& settings = m_platform.settings();
    settings.setText(Section, u"Cmb0"_s, m_subscriber->currentText());
    settings.setText(Section, u"Cmb1"_s, m_year->currentText());
    settings.setText(Section, u"Form1.Ch1"_s, m_ch1->isChecked() ? u"1"_s : u"0"_s);
    settings.setText(Section, u"Form1.Ch2"_s, m_ch2->isChecked() ? u"1"_s : u"0"_s);
    settings.sync();
    m_database.stopAutosave();
    if (m_computeEnabled) {
        storeShownCells();
        m_database.saveOrTell();
    }
    event->accept();
    emit closed(m_closingForDirectory);
}
