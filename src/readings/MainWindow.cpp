#include "MainWindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
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
#include "core/SubscriberTable.h"
#include "core/YearLayout.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"
#include "readings/Charges.h"
#include "readings/EntryText.h"
#include "readings/ReadingsImportDialog.h"
#include "readings/ListPopup.h"
#include "readings/MonthCell.h"
#include "readings/ReadingsCheck.h"
#include "readings/ToolbarPixels.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int Twips = 15; // per pixel
int px(int twips) {
    return (twips + Twips / 2) / Twips;
}

const QString Section = u"Nastr"_s;

// Left and width in twips of entry cells 0..8 and result cells 0..4.
constexpr std::array<std::pair<int, int>, 9> EntryColumns = {{{975, 1035},
                                                              {1995, 915},
                                                              {2895, 975},
                                                              {4695, 915},
                                                              {5595, 975},
                                                              {7395, 735},
                                                              {8115, 735},
                                                              {8835, 900},
                                                              {9705, 900}}};
constexpr std::array<std::pair<int, int>, 5> ResultColumns = {
    {{3855, 855}, {6555, 855}, {10590, 1350}, {0, 0}, {11925, 1365}}};

int monthTop(int month) {
    return px(2745 + 300 * (month - 1));
}

QColor bgrColor(int bgr) {
    const int rgb = BgrToRgb(bgr);
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QString arrayName(const QString& name, int index) {
    return name + u'(' + QString::number(index) + u')';
}

// A message box, a menu, the menu bar or another window has the focus only
// for a while: losing it to them is not leaving the cell, and getting it
// back is no new entering.
bool IsFocusLent(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
           reason == Qt::MenuBarFocusReason;
}

} // namespace

MainWindow::MainWindow(AppState& state, Database& database, Platform& platform, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_database(database), m_platform(platform) {
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Остреванка 2.1"_s);
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_client = new QWidget(this);
    m_client->setObjectName(u"client"_s);
    m_client->setFixedSize(px(14775), px(7920));
    m_client->setMouseTracking(true);
    m_client->installEventFilter(this);
    setCentralWidget(m_client);

    // An Arial-metric face keeps the captions within their twips-sized cells.
    QFont f(u"Liberation Sans"_s);
    f.setPointSizeF(8);
    m_client->setFont(f);

    buildButtonBar(m_client);
    buildSelectors(m_client);
    buildHeaders(m_client);
    buildMonthRows(m_client);
    buildBottomBar(m_client);
    buildMenus();

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

// ---------------------------------------------------------------- layout

void MainWindow::buildButtonBar(QWidget* client) {
    m_buttonBar = new QFrame(client);
    m_buttonBar->setObjectName(u"Frame1"_s);
    m_buttonBar->setGeometry(0, px(15), client->width(), px(555));
    m_buttonBar->setMouseTracking(true);
    m_buttonBar->installEventFilter(this);

    struct ButtonDef {
        const char16_t* name;
        const char16_t* caption;
        const char16_t* icon;
    };
    const ButtonDef defs[] = {
        {u"Cmd6", u"Сохранить ", u"save"},      {u"Command1", u"Печать", u"print"},
        {u"Cmd1", u"Справочник", u"directory"}, {u"CmdRazbalans", u"Разбаланс", u"imbalance"},
        {u"Cmd2", u"Л. счет", u"ledger"},       {u"Cmd3", u"Калькулятор", u"calculator"},
        {u"Command6", u"Экспорт", u"export"},   {u"Cmd5", u"Помощь", u"help"},
    };
    int left = px(120);
    int index = 0;
    for (const auto& d : defs) {
        auto* b = new QToolButton(m_buttonBar);
        b->setObjectName(QString::fromUtf16(d.name));
        b->setGeometry(left, 0, px(630), px(555));
        b->setIcon(ToolbarIcon(QStringView(d.icon)));
        b->setIconSize(QSize(24, 24));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->installEventFilter(this);
        m_buttons.push_back(b);

        auto* caption = new QLabel(QString::fromUtf16(d.caption), client);
        caption->setObjectName(arrayName(u"Label1"_s, index));
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        caption->setGeometry(left - px(300), px(600), px(630) + px(600), px(255));
        caption->hide();
        m_buttonCaptions.push_back(caption);
        left += px(630) + px(60);
        ++index;
    }
    m_saveButton = m_buttons[0];
    m_saveButton->setEnabled(false);
    connectCommand(m_buttons[0], [this] { saveAndWrite(); });
    connectCommand(m_buttons[1], [this] { printWindow(); });
    connectCommand(m_buttons[2], [this] { emit directoryRequested(); });
    connectCommand(m_buttons[3], [this] { emit imbalanceRequested(); });
    connectCommand(m_buttons[4], [this] {
        if (saveAndWrite())
            emit ledgerRequested();
    });
    connectCommand(m_buttons[5], [this] { emit calculatorRequested(); });
    connectCommand(m_buttons[6], [this] { exportTable(); });
    connectCommand(m_buttons[7], [this] { emit helpRequested(); });
}

void MainWindow::buildSelectors(QWidget* client) {
    const int top = px(900);
    auto* yearLabel = new QLabel(u"Год"_s, client);
    yearLabel->setGeometry(px(3510) - px(420), top + 3, px(400), px(300));
    m_year = new QComboBox(client);
    m_year->setObjectName(u"Cmb1(1)"_s);
    m_year->setEditable(true);
    m_year->setInsertPolicy(QComboBox::NoInsert);
    m_year->setGeometry(px(3510), top, px(855), px(315));

    auto* nameLabel = new QLabel(u"Абонент "_s, client);
    nameLabel->setGeometry(px(5310) - px(750), top + 3, px(720), px(300));
    m_subscriber = new QComboBox(client);
    m_subscriber->setObjectName(u"Cmb1(0)"_s);
    // 501 names as a list of texts: an item apiece costs more than the rest
    // of the window's fill.
    m_subscriberNames = new QStringListModel(m_subscriber);
    m_subscriber->setModel(m_subscriberNames);
    m_subscriber->setEditable(true);
    m_subscriber->setInsertPolicy(QComboBox::NoInsert);
    m_subscriber->setGeometry(px(5310), top, px(3495), px(315));
    // A list 400 pixels tall.
    m_subscriber->setProperty(ListPopupProperty, true);
    m_subscriber->setMaxVisibleItems(400 / 20);
    m_subscriber->view()->setMinimumHeight(0);

    auto* meterLabel = new QLabel(u"Счетчик: "_s, client);
    meterLabel->setGeometry(px(9810) - px(1000), top + 3, px(980), px(300));
    meterLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_meterType = new QLabel(client);
    m_meterType->setObjectName(u"LbSch"_s);
    m_meterType->setGeometry(px(9810), top + 3, px(4700), px(300));

    // Between the selectors and the table, while the directory is empty.
    const int hintTop = top + 3 + px(300);
    m_noSubscribersHint =
        new QLabel(u"Абонентов пока нет: добавьте их в справочнике (кнопка «Справочник» или меню "
                   u"«Справочник» → «Абоненты»)."_s,
                   client);
    m_noSubscribersHint->setObjectName(u"lblNoSubscribers"_s);
    m_noSubscribersHint->setGeometry(px(255), hintTop, px(13125), px(1470) - hintTop);
    QPalette hintColors = m_noSubscribersHint->palette();
    hintColors.setColor(QPalette::WindowText, QColor(0xA0, 0, 0));
    m_noSubscribersHint->setPalette(hintColors);
    QFont hintFont = m_noSubscribersHint->font();
    hintFont.setBold(true);
    m_noSubscribersHint->setFont(hintFont);
    m_noSubscribersHint->hide();

    for (QComboBox* c : {m_year, m_subscriber}) {
        connect(c, &QComboBox::activated, this, &MainWindow::onSelectorChosen);
        c->installEventFilter(this);
    }
}

void MainWindow::buildHeaders(QWidget* client) {
    const int top = px(1470);
    const int mid = px(1935);
    const int bottom = px(2700);
    auto header = [&](const QString& text, int left, int width, int y0, int y1, bool bold = false) {
        auto* l = new QLabel(text, client);
        l->setAlignment(Qt::AlignCenter);
        l->setWordWrap(true);
        l->setFrameShape(QFrame::Box);
        l->setFrameShadow(QFrame::Plain);
        l->setGeometry(px(left), y0, px(width), y1 - y0);
        if (bold) {
            QFont f = l->font();
            f.setBold(true);
            l->setFont(f);
        }
        return l;
    };
    header(u"Месяц"_s, 255, 720, top, bottom);
    header(u"Дата"_s, 975, 1035, top, bottom);
    header(u"Показ. сч-ка по Т1, кВт*Ч"_s, 1995, 2715, top, mid);
    header(u"Текущее"_s, 1995, 915, mid, bottom);
    header(u"Последнее"_s, 2895, 975, mid, bottom);
    header(u"Разница"_s, 3855, 855, mid, bottom);
    header(u"Показ. сч-ка по Т2, кВт*Ч"_s, 4695, 2715, top, mid);
    header(u"Текущее"_s, 4695, 915, mid, bottom);
    header(u"Последнее"_s, 5595, 975, mid, bottom);
    header(u"Разница"_s, 6555, 855, mid, bottom);
    header(u"Тарифы, р."_s, 7395, 1455, top, mid);
    header(u"Тариф1"_s, 7395, 735, mid, bottom);
    header(u"Тариф2"_s, 8115, 735, mid, bottom);
    header(u"К-т компенсации разбаланса для"_s, 8835, 1770, top, mid);
    header(u"Т1"_s, 8835, 900, mid, bottom);
    header(u"Т2"_s, 9705, 900, mid, bottom);
    header(u"Итого к оплате, р."_s, 10590, 2700, top, mid);
    header(u"Без компенсации разбаланса"_s, 10590, 1350, mid, bottom);
    header(u"С  компенсацией разбаланса"_s, 11925, 1365, mid, bottom);
}

void MainWindow::buildMonthRows(QWidget* client) {
    QWidget* previous = nullptr;
    for (int m = 1; m <= 13; ++m) {
        const int top = m <= 12 ? monthTop(m) : px(6345);
        const int height = px(315);
        if (m <= 12) {
            auto* band = new QWidget(client);
            band->setObjectName(arrayName(u"Shape1"_s, m - 1));
            band->setAutoFillBackground(true);
            band->setGeometry(px(120), top, px(975) - px(120), height);
            m_bands[size_t(m - 1)] = band;

            auto* label = new QLabel(MonthNames()[m - 1], client);
            label->setObjectName(arrayName(u"lbl2"_s, 100 + m));
            // Starts near the band's left edge: "Сентябрь" in bold is wider
            // than the 720 twips from the column's own left.
            label->setGeometry(px(135), top, px(975) - px(135), height);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            label->setMouseTracking(true);
            label->installEventFilter(this);
            m_monthLabels[size_t(m - 1)] = label;

            for (int s = 0; s <= 8; ++s) {
                auto* cell = new MonthCell(m, s, false, client);
                cell->setObjectName(arrayName(u"txt"_s + QString::number(m), s));
                const auto [left, width] = EntryColumns[size_t(s)];
                cell->setGeometry(px(left), top, px(width), height);
                cell->setEditorWatcher(this);
                connect(cell, &MonthCell::textChanged, this,
                        [this, cell] { onCellTextChanged(cell); });
                connect(cell, &MonthCell::textEdited, this, [this, cell] { owe(cell); });
                if (previous)
                    QWidget::setTabOrder(previous, cell);
                previous = cell;
                m_entry[size_t(m - 1)][size_t(s)] = cell;
            }
            auto* tick = new QCheckBox(client);
            tick->setObjectName(arrayName(u"ChS"_s, m - 1));
            tick->setGeometry(px(13380), top + 3, px(195) + 4, height - 4);
            tick->setChecked(true);
            tick->setFocusPolicy(Qt::NoFocus);
            connectCommand(tick, [this] { computeYear(); });
            m_monthTicks[size_t(m - 1)] = tick;
        }
        for (int r = 0; r < 5; ++r) {
            auto* cell = new MonthCell(m, r, true, client);
            cell->setObjectName(arrayName(u"txtR"_s + QString::number(m), r));
            const auto [left, width] = ResultColumns[size_t(r)];
            cell->setGeometry(px(left), top, px(width), height);
            cell->setVisible(r != 3);
            cell->setEditorWatcher(this);
            if (r == 4 || m == 13) {
                QFont f = cell->font();
                f.setBold(true);
                cell->setFont(f);
            }
            if (m == 13)
                cell->setBackground(QApplication::palette().color(QPalette::ToolTipBase));
            m_result[size_t(m - 1)][size_t(r)] = cell;
        }
    }
    auto* totalLabel = new QLabel(u"Итого"_s, client);
    totalLabel->setGeometry(px(255), px(6345), px(720), px(315));
    totalLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont f = totalLabel->font();
    f.setBold(true);
    totalLabel->setFont(f);
}

void MainWindow::buildBottomBar(QWidget* client) {
    m_bottomBar = new QWidget(client);
    m_bottomBar->setObjectName(u"picButtons"_s);
    m_bottomBar->setGeometry(0, px(7245), client->width(), px(675));
    m_ch1 = new QCheckBox(u"Автозаполнение последн. показ. сч-ка"_s, m_bottomBar);
    m_ch1->setObjectName(u"Ch1"_s);
    m_ch1->setGeometry(px(1140), px(180), px(3700), px(315));
    m_ch2 = new QCheckBox(u"Копировать тариф"_s, m_bottomBar);
    m_ch2->setObjectName(u"Ch2"_s);
    m_ch2->setGeometry(px(4920), px(180), px(2700), px(315));
    auto* chart = new QPushButton(u"График"_s, m_bottomBar);
    chart->setObjectName(u"CmdGrafik"_s);
    chart->setFocusPolicy(Qt::NoFocus);
    chart->setGeometry(px(7740), px(135), px(1200), px(405));
    connectCommand(chart, [this] { emit chartRequested(); });
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    auto item = [this](QMenu* menu, const QString& name, const QString& caption, auto slot) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connectCommand(a, [this, slot] { (this->*slot)(); });
        return a;
    };
    m_menuDirectory = bar->addMenu(u"Справочник"_s);
    m_menuDirectory->setObjectName(u"Mnu_Spr"_s);
    item(m_menuDirectory, u"Mnu_Abonenty"_s, u"Абоненты"_s, &MainWindow::directoryRequested);
    item(m_menuDirectory, u"Mnu_LicSchet"_s, u"Лицевой счет"_s, &MainWindow::ledgerRequested);

    m_menuTools = bar->addMenu(u"Инструменты"_s);
    m_menuTools->setObjectName(u"Menu_Tools"_s);
    item(m_menuTools, u"Menu_Tools_kalc"_s, u"Калькулятор"_s, &MainWindow::calculatorRequested);
    item(m_menuTools, u"Menu_Tools_Export_Excel"_s, u"Экспорт таблицы в Excel"_s,
         &MainWindow::exportTable);
    item(m_menuTools, u"Menu_Tools_Import_Excel"_s, u"Импорт показаний счетчиков из Excel "_s,
         &MainWindow::openImport);
    item(m_menuTools, u"Menu_Tools_Date"_s, u"Проставить дату (последнее число месяца)"_s,
         &MainWindow::fillDates);
    item(m_menuTools, u"Menu_Tools_Perenos"_s, u"Перенести последние показания на след. год"_s,
         &MainWindow::yearCarryRequested);
    item(m_menuTools, u"Menu_Tools_Razbalans"_s, u"Разбаланс"_s, &MainWindow::imbalanceRequested);
    item(m_menuTools, u"Menu_Tools_Proverka"_s, u"Проверка показаний..."_s,
         &MainWindow::readingsCheckRequested);

    QMenu* tuns = bar->addMenu(u"Настройки"_s);
    tuns->setObjectName(u"Menu_Tuns"_s);
    item(tuns, u"Menu_Tuns_Save"_s, u"Параметры сохранения"_s, &MainWindow::saveOptionsRequested);
    item(tuns, u"Menu_Tuns_Coloor"_s, u"Цвет таблицы"_s, &MainWindow::colorsRequested);
    item(tuns, u"Menu_Tuns_Rekv"_s, u"Реквизиты получателя..."_s, &MainWindow::payeeRequested);
    item(tuns, u"Menu_Tuns_RCopy"_s, u"Резервное копирование базы"_s, &MainWindow::backupDatabase);
    item(tuns, u"Menu_Tuns_Vost"_s, u"Восстановление базы из резервной копии"_s,
         &MainWindow::restoreFromBackup);
    item(tuns, u"Menu_Tuns_Vost1"_s, u"Восстановление базы из версии 1.0"_s,
         &MainWindow::restoreFromVersion10);

    QMenu* help = bar->addMenu(u"Помощь"_s);
    help->setObjectName(u"Menu_Hlp"_s);
    item(help, u"Menu_Hlp_About"_s, u"О программе"_s, &MainWindow::aboutRequested);
    item(help, u"Menu_Hlp_Hlp1"_s, u"?"_s, &MainWindow::helpRequested);

    m_popup = new QMenu(this);
    m_popup->setObjectName(u"Menu_Vedomost"_s);
    QAction* sheet = m_popup->addAction(u"Сформировать ведомость "_s);
    sheet->setObjectName(u"Vedomost"_s);
    connectCommand(sheet, [this] {
        m_sheetYearText = m_year->currentText();
        m_state.docYear = m_sheetYearText;
        m_state.docMonth = m_popupLabelIndex - 100;
        emit readingSheetRequested();
    });
}

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

DatabasePrefetch::AlsoOnWorker MainWindow::chargesOnRead(Platform& platform, StaleCharges& found) {
    // The years offered are not known before the read: a stored year outside
    // them only makes the guess miss, and the first computation reads all.
    bool ok = false;
    const int year = platform.settings().text(Section, u"Cmb1"_s).trimmed().toInt(&ok);
    const int yearIndex = ok && year >= YearLayout::FirstYear && year <= YearLayout::LastYear
                              ? year - YearLayout::FirstYear
                              : 0;
    // Set here: the window reads the year while the worker fills the writes.
    found.yearIndex = yearIndex;
    return [&found, yearIndex](const SubscriberTable& table) {
        found.writes = FindStaleCharges(table, yearIndex).writes;
    };
}

void MainWindow::takeFoundOnRead(DatabasePrefetch& prefetch) {
    prefetch.alsoDone();
    const StaleCharges* found = std::exchange(m_foundLater, nullptr);
    if (!found)
        return;
    // As a full computation would: the shown row has its own already.
    for (const StaleCharges::Write& w : found->writes)
        if (w.row != m_foundLaterShownRow)
            m_state.table.setCell(w.row, w.col, w.text);
}

bool MainWindow::load(DatabasePrefetch* prefetch, const StaleCharges* found) {
    m_state.directorySwitch = false;
    m_computeEnabled = false;
    m_saveButton->setEnabled(false);

    m_baseCreated = false;
    if (!loadDatabase(prefetch))
        return false;
    m_foundOnRead = prefetch && prefetch->gaveWorkersTable() ? found : nullptr;

    YearLayout::OfferYearsUpTo(
        YearLayout::LastYearToOffer(m_platform.now().date().year(), m_state.table));
    m_year->clear();
    m_year->addItems(YearTexts());

    Settings& settings = m_platform.settings();
    const QString colorKeys[3] = {u"Color1"_s, u"Color2"_s, u"Color3"_s};
    const int secondDefaults[3] = {12648384, 8454016, 8421631};
    for (int i = 0; i < 3; ++i) {
        const QString stored = settings.text(Section, colorKeys[i]);
        bool ok = false;
        int value = stored.trimmed().toInt(&ok);
        if (stored.isEmpty())
            value = secondDefaults[i];
        else if (!ok)
            value = Settings::defaultText(Section, colorKeys[i]).toInt();
        m_state.cellColors[size_t(i)] = value;
    }

    const QString row1Name = m_state.table.cell(1, ColName);
    m_subscriber->setEditText(settings.text(Section, u"Cmb0"_s, row1Name));
    // A base made just now holds no past years: it opens on this one.
    const QString openingYear = m_baseCreated ? QString::number(m_platform.now().date().year())
                                              : settings.text(Section, u"Cmb1"_s);
    m_year->setEditText(YearIndex(openingYear) ? openingYear : YearTexts().front());

    m_state.flPls = settings.flag(Section, u"flPls"_s);
    m_state.flPs = settings.flag(Section, u"flPs"_s);

    if (!FindRowByName(m_state.table, m_subscriber->currentText()))
        m_subscriber->setEditText(QString());

    m_ch1->setChecked(settings.flag(Section, u"Form1.Ch1"_s));
    m_ch2->setChecked(settings.flag(Section, u"Form1.Ch2"_s));
    m_state.ledgerMonth = 0;

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
    m_foundOnRead = nullptr; // not left for a later computation
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
    const QString name = m_subscriber->currentText();
    const QString year = m_year->currentText();
    const auto y = YearIndex(year);
    // Entry cells about to be filled are not emptied first: each would lay
    // out and check its text twice.
    if (y) {
        for (auto& month : m_result)
            for (MonthCell* c : month)
                c->clear();
    } else {
        clearYear();
    }
    m_state.shownYearText = year;
    m_shownName = name;
    if (const auto row = FindRowByName(m_state.table, name))
        m_state.currentRow = *row;
    m_meterType->setText(m_state.table.cell(m_state.currentRow, ColMeterType));
    if (y)
        for (int m = 1; m <= 12; ++m)
            for (int s = 0; s <= 8; ++s)
                entryCell(m, s)->setText(
                    m_state.table.cell(m_state.currentRow, MonthColumn(*y, m, s)));
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

void MainWindow::storeSlots(int firstSlot, int lastSlot) {
    const auto y = YearIndex(m_year->currentText());
    if (!y)
        return;
    for (int m = 1; m <= 12; ++m)
        for (int s = firstSlot; s <= lastSlot; ++s)
            m_state.table.setCell(m_state.currentRow, MonthColumn(*y, m, s),
                                  entryCell(m, s)->text());
}

void MainWindow::computeYear() {
    if (!m_computeEnabled)
        return;
    const auto y = YearIndex(m_year->currentText());
    if (!y)
        return;
    const int row = FindRowByName(m_state.table, m_subscriber->currentText()).value_or(0);
    for (int m = 1; m <= 12; ++m)
        for (int s = 1; s <= 8; ++s)
            m_state.table.setCell(row, MonthColumn(*y, m, s), entryCell(m, s)->text());
    const StaleCharges* found = std::exchange(m_foundOnRead, nullptr);
    // The start-up worker may still be finding the other rows' charges: this
    // computation does the shown row and leaves the rest to takeFoundOnRead().
    StaleCharges shownOnly;
    if (found && found->yearIndex == *y) {
        shownOnly.yearIndex = *y;
        m_foundLater = found;
        m_foundLaterShownRow = row;
        found = &shownOnly;
    }
    const ChargeDisplay shown = ComputeCharges(m_state.table, *y, row, tickedMonths(), found);
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
    storeSlots(0, 8);
}

bool MainWindow::saveAndWrite() {
    storeShownCells();
    return m_database.saveOrTell();
}

// ---------------------------------------------------------------- editing

void MainWindow::onCellTextChanged(MonthCell* cell) {
    const QString text = cell->text();
    const QString fixed = WithoutCellSeparator(ApplySeparatorRule(text, cell->index()));
    if (fixed != text) {
        cell->setText(fixed);
        cell->setCursorPosition(int(fixed.size()));
    }
    if (cell->index() >= T1Current && cell->index() <= T2Previous)
        markLowerReading(cell->month());
}

void MainWindow::markLowerReading(int month) {
    for (const int current : {int(T1Current), int(T2Current)}) {
        const QString previous = entryCell(month, current + 1)->text();
        MonthCell* cell = entryCell(month, current);
        cell->setWarning(CurrentBelowPrevious(cell->text(), previous)
                             ? CurrentBelowPreviousTip(previous)
                             : QString());
    }
}

void MainWindow::onCellFocusIn(MonthCell* cell, Qt::FocusReason reason) {
    cell->setBackground(bgrColor(m_state.cellColors[2]));
    // A command may have left the cell while the focus was lent.
    if (!IsFocusLent(reason))
        owe(cell);
}

void MainWindow::owe(MonthCell* cell) {
    if (m_cellToLeave != cell)
        leaveOwedCell();
    m_cellToLeave = cell;
}

void MainWindow::leaveOwedCell() {
    if (m_cellToLeave)
        onCellFocusOut(m_cellToLeave);
}

// Without signals: pointing them is no choice of the user's.
void MainWindow::pointSelectors(const QString& name, const QString& year) {
    const QSignalBlocker blockName(m_subscriber);
    const QSignalBlocker blockYear(m_year);
    m_subscriber->setEditText(name);
    m_year->setEditText(year);
}

// The leave-cell sequence; it runs once for each entering of the cell.
void MainWindow::onCellFocusOut(MonthCell* cell) {
    if (m_leaving || cell != m_cellToLeave)
        return;
    m_cellToLeave = nullptr;
    m_leaving = true;
    // The sequence stores into the subscriber and year the selectors name;
    // while a choice is made they already name the chosen ones, but the
    // cell belongs to those shown.
    const QString chosenName = m_subscriber->currentText();
    const QString chosenYear = m_year->currentText();
    const bool chosen = chosenName != m_shownName || chosenYear != m_state.shownYearText;
    if (chosen)
        pointSelectors(m_shownName, m_state.shownYearText);
    const int m = cell->month();
    const int s = cell->index();
    const QString cleaned = RemoveLineBreaks(cell->text());
    if (cleaned != cell->text())
        cell->setText(cleaned);
    WarnIfNotStorable(m_platform, cell->text());
    if (m_ch1->isChecked() && m <= 11 && (s == 1 || s == 3)) {
        MonthCell* next = entryCell(m + 1, s + 1);
        if (next->text().isEmpty() && !cell->text().isEmpty())
            next->setText(cell->text());
    }
    if (m_ch2->isChecked() && m == 1 && (s == 5 || s == 6)) {
        for (int month = 2; month <= 12; ++month)
            if (entryCell(month, s)->text().isEmpty())
                entryCell(month, s)->setText(cell->text());
    }
    storeShownCells();
    computeYear();
    if (chosen)
        pointSelectors(chosenName, chosenYear);
    cell->setBackground(monthColor(m));
    m_leaving = false;
}

bool MainWindow::onCellKey(MonthCell* cell, int key) {
    const int m = cell->month();
    const int s = cell->index();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
        if (m < 12)
            entryCell(m + 1, s)->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (key == Qt::Key_Up) {
        if (m > 1)
            entryCell(m - 1, s)->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return false;
}

void MainWindow::onQuickCopy(MonthCell* cell) {
    const int s = cell->index();
    if (!(s == 0 || (s >= 5 && s <= 8)))
        return;
    const QString text = cell->text();
    if (m_platform.message(u"Копировать содержимое этой ячейки: "_s + text +
                               u" для всех абонентов? "_s,
                           u"Быстрое копирование."_s, MsgIcon::Question, MsgButtons::YesNo,
                           MsgAnswer::No) == MsgAnswer::Yes)
        copyToAllSubscribers(cell->month(), s, text);
}

void MainWindow::copyToAllSubscribers(int month, int slot, const QString& text) {
    const auto y = YearIndex(m_year->currentText());
    if (!y)
        return;
    const int column = MonthColumn(*y, month, slot);
    for (int r = 1; r <= m_state.table.subscriberCount(); ++r)
        m_state.table.setCell(r, column, text);
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
    const auto dates = MonthEndDates(m_year->currentText());
    for (int m = 1; m <= 12; ++m)
        entryCell(m, ReadingDate)->setText(dates[size_t(m - 1)]);
    storeShownCells();
}

// ---------------------------------------------------------------- events

void MainWindow::setMonthLabelsBold(int boldMonth) {
    for (int m = 1; m <= 12; ++m) {
        QLabel* l = m_monthLabels[size_t(m - 1)];
        if (l->font().bold() == (m == boldMonth))
            continue;
        QFont f = l->font();
        f.setBold(m == boldMonth);
        l->setFont(f);
    }
}

void MainWindow::hideButtonCaptions() {
    for (QLabel* l : m_buttonCaptions)
        l->hide();
}

void MainWindow::onMonthLabelReleased(int month, Qt::MouseButton button, const QPoint& globalPos) {
    m_popupMonthName = MonthNames()[month - 1];
    m_popupLabelIndex = 100 + month;
    m_state.docMonth = month;
    if (button == Qt::RightButton)
        m_popup->popup(globalPos);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (MonthCell* cell = MonthCell::of(watched)) {
        if (type == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
            emit helpRequested();
            return true;
        }
        if (cell->isResult())
            return false;
        switch (type) {
        case QEvent::FocusIn:
            onCellFocusIn(cell, static_cast<QFocusEvent*>(event)->reason());
            break;
        case QEvent::FocusOut:
            // A command run from the menu leaves the cell itself, once.
            if (!IsFocusLent(static_cast<QFocusEvent*>(event)->reason())) {
                onCellFocusOut(cell);
                cell->setBackground(monthColor(cell->month()));
            }
            break;
        case QEvent::KeyPress:
            return onCellKey(cell, static_cast<QKeyEvent*>(event)->key());
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
                onQuickCopy(cell);
                return true;
            }
            break;
        default:
            break;
        }
        return false;
    }
    if (watched == m_subscriber || watched == m_year) {
        if (type == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
            emit helpRequested();
            return true;
        }
        return false;
    }
    for (int m = 1; m <= 12; ++m) {
        if (watched != m_monthLabels[size_t(m - 1)])
            continue;
        if (type == QEvent::Enter || type == QEvent::MouseMove)
            setMonthLabelsBold(m);
        if (type == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            onMonthLabelReleased(m, me->button(), me->globalPosition().toPoint());
            return true;
        }
        return false;
    }
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (watched != m_buttons[i])
            continue;
        if (type == QEvent::Enter) {
            hideButtonCaptions();
            m_buttonCaptions[i]->show();
        }
        return false;
    }
    // A move over a label or a button that it does not take reaches the
    // background too: only the background's own moves reset the hover.
    const auto onBackground = [event](QWidget* background) {
        if (event->type() != QEvent::MouseMove)
            return true;
        return !background->childAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    };
    if (watched == m_client && (type == QEvent::MouseMove || type == QEvent::Enter) &&
        onBackground(m_client)) {
        setMonthLabelsBold(0);
        hideButtonCaptions();
    } else if (watched == m_buttonBar && (type == QEvent::MouseMove || type == QEvent::Enter) &&
               onBackground(m_buttonBar)) {
        hideButtonCaptions();
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- print

void MainWindow::applyPrintLook(bool print) {
    const QColor white(Qt::white);
    QPalette p = m_client->palette();
    p.setColor(QPalette::Window, print ? white : QApplication::palette().color(QPalette::Button));
    m_client->setPalette(p);
    m_client->setAutoFillBackground(true);
    m_bottomBar->setVisible(!print);
    m_buttonBar->setVisible(!print);
    for (QWidget* band : m_bands)
        band->setVisible(!print);
    m_menuDirectory->menuAction()->setVisible(!print);
    m_menuTools->menuAction()->setVisible(!print);
    for (auto& month : m_entry)
        for (MonthCell* c : month)
            if (print)
                c->setBackground(white);
    for (auto& month : m_result)
        for (MonthCell* c : month) {
            if (print)
                c->setBackground(white);
            c->setFrame(!print);
        }
    if (print) {
        m_normalSize = m_client->size();
        m_client->setFixedSize(px(15210), px(9030));
    } else {
        m_client->setFixedSize(m_normalSize);
        paintRows();
        for (MonthCell* c : m_result[12])
            c->setBackground(QApplication::palette().color(QPalette::ToolTipBase));
    }
}

void MainWindow::printWindow() {
    applyPrintLook(true);
    const bool yes = m_platform.message(u"Вы действительно хотите распечатать эту форму?"_s,
                                        u"Подтвердите печать."_s, MsgIcon::Question,
                                        MsgButtons::YesNo, MsgAnswer::Yes) == MsgAnswer::Yes;
    if (yes) {
        PrintJob job;
        job.title = windowTitle();
        job.orientation = PageOrientation::Landscape;
        job.pageCount = 1;
        QWidget* client = m_client;
        job.paint = [client](QPainter& painter, int, double width, double height) {
            const double scale = std::min(width / client->width(), height / client->height());
            painter.scale(scale, scale);
            client->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
        };
        m_platform.print(job);
    }
    applyPrintLook(false);
}

// ---------------------------------------------------------------- workbooks

ShownYear MainWindow::shownYear() const {
    ShownYear shown;
    shown.name = m_subscriber->currentText();
    shown.year = m_year->currentText();
    for (int m = 1; m <= 12; ++m) {
        for (int s = 0; s <= 8; ++s)
            shown.entries[size_t(m - 1)][size_t(s)] = entryCell(m, s)->text();
        for (int r = 0; r < 5; ++r)
            shown.results[size_t(m - 1)][size_t(r)] = resultCell(m, r)->text();
    }
    return shown;
}

void MainWindow::exportTable() {
    const ShownYear shown = shownYear();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString chosen = m_platform.saveFileName(
        u"Экспорт таблицы в Excel"_s,
        WorkbookProposedPath(folder, TableExportName(shown.name, shown.year)), WorkbookFilter());
    // A cancelled dialog ends the export, as the other exports do.
    const QString path = WorkbookSavePath(chosen);
    if (path.isEmpty())
        return;
    WriteWorkbook(TableExportSheet(shown), path);
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
    if (row < 1 || row > m_state.table.subscriberCount() || month < 1 || month > 12 || slot < 0 ||
        slot > 8)
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
    emit closed(m_state.directorySwitch);
}
