#include "MainWindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStringListModel>
#include <QToolButton>

#include "core/MonthNames.h"
#include "core/Twips.h"
#include "readings/ListPopup.h"
#include "readings/MonthCell.h"
#include "readings/ToolbarPixels.h"
#include "readings/WidgetPrint.h"

// Where every control of the main window sits, in twips as it was drawn,
// and the look it takes for printing.

using namespace Qt::StringLiterals;

namespace {

constexpr int px(int twips) {
    return Twips::ToPixelsRounded(twips);
}

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

QString arrayName(const QString& name, int index) {
    return name + u'(' + QString::number(index) + u')';
}

} // namespace

void MainWindow::buildControls() {
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
}

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

            for (int s = FirstEntrySlot; s <= LastEntrySlot; ++s) {
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
    auto* account = new QPushButton(u"Лицевой счёт абонента"_s, m_bottomBar);
    account->setObjectName(u"CmdLsAbonent"_s);
    account->setFocusPolicy(Qt::NoFocus);
    account->setGeometry(px(9060), px(135), px(2400), px(405));
    connectCommand(account, [this] { emit memberAccountRequested(); });
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
    item(m_menuTools, u"Menu_Tools_Vypiska"_s, u"Загрузить выписку банка..."_s,
         &MainWindow::bankStatementRequested);
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
        emit readingSheetRequested({m_sheetYearText, m_popupLabelIndex - 100});
    });
}

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
    if (yes)
        PrintWidget(m_platform, m_client, windowTitle());
    applyPrintLook(false);
}
