#include "LedgerWindow.h"

#include <algorithm>
#include <tuple>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>

#include "LedgerExport.h"
#include "LedgerIcons.h"
#include "LedgerMath.h"
#include "LedgerModel.h"
#include "LedgerViewModel.h"
#include "YearCarry.h"
#include "core/AppState.h"
#include "core/CellSeparator.h"
#include "core/Cp1251.h"
#include "core/UserWarnings.h"
#include "ledger/CellEditor.h"
#include "storage/Database.h"
#include "core/Platform.h"
#include "core/Settings.h"
#include "documents/MonthReceiptPdfs.h"
#include "documents/MonthReceiptsPrint.h"
#include "StatementLoad.h"
#include "YearCarryWindow.h"
#include "ReconciliationWindow.h"
#include "MemberAccountWindow.h"

using namespace Qt::StringLiterals;

namespace {

// Widths of the grid columns in pixels; the hidden ones have none.
constexpr int ColumnWidths[LedgerGridColumns] = {220, 78, 78, 78, 0,  78, 70,
                                                 84,  78, 0,  70, 84, 84, 0};
constexpr int RowHeight = 19; // 285 twips
constexpr int GridLeft = 8;
constexpr int HeaderTop = 58;
constexpr int HeaderRow = 34; // each of the header's two levels
constexpr int GridTop = HeaderTop + 2 * HeaderRow;
constexpr int SumsHeight = 21;
constexpr int BelowSums = 67; // 1000 twips from the sums row to the bottom
constexpr int VisibleRows = 25;
constexpr int ToolPitch = 34;
// The six of the toolbar and the five extra tools after them.
constexpr int ToolCount = 11;

const QColor EditorColor(128, 255, 128);
const QColor SumShades[2] = {QColor(200, 240, 200), QColor(160, 220, 160)};

QString ObjectName(const QString& name, int index) {
    return name + u'(' + QString::number(index) + u')';
}

// A picture button of the toolbar at x, and its hover caption (hidden).
QToolButton* MakeTool(QWidget* parent, const QString& name, LedgerIconKind icon, int x) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setIcon(LedgerIcon(icon));
    b->setIconSize(QSize(24, 24));
    b->setAutoRaise(true);
    b->setGeometry(x, 6, 32, 32);
    return b;
}

QLabel* MakeHoverCaption(QWidget* parent, const QString& text, int index, int x) {
    auto* cap = new QLabel(text, parent);
    cap->setObjectName(ObjectName(u"LbN"_s, index));
    cap->setStyleSheet(
        u"QLabel { background: #ffffe1; border: 1px solid #808080; padding: 0 2px; }"_s);
    cap->adjustSize();
    cap->move(x, 39);
    cap->hide();
    return cap;
}

} // namespace

LedgerWindow::LedgerWindow(AppState& state, Database& database, Platform& platform,
                           const MonthRequest& start, QWidget* parent)
    : QWidget(parent), m_state(state), m_database(database), m_platform(platform) {
    setObjectName(u"frmRedLS"_s);
    setWindowTitle(u"Лицевой счет"_s);
    setMouseTracking(true);
    m_model = new LedgerModel(m_state.table, this);
    m_view = new LedgerViewModel(this);
    m_view->setSourceModel(m_model);
    buildControls();
    buildHeader();

    // Load: the year and month asked for.
    m_loading = true;
    m_year->addItems(m_state.table.offeredYears().texts());
    m_year->setCurrentText(start.year);
    m_loading = false;
    if (start.month >= 1 && start.month <= 12)
        m_monthIndex = start.month - 1;
    m_month->setText(MonthNames().at(m_monthIndex));
    updateMonthControls();
    layOut();
    showMonth();
}

LedgerWindow::~LedgerWindow() {
    if (m_yearCarry)
        delete m_yearCarry.data();
    if (m_reconciliation)
        delete m_reconciliation.data();
    if (m_memberAccount)
        delete m_memberAccount.data();
}

int LedgerWindow::month() const {
    return m_monthIndex + 1;
}

ReconciliationWindow* LedgerWindow::sverkaWindow() const {
    return m_reconciliation;
}

MemberAccountWindow* LedgerWindow::memberAccountWindow() const {
    return m_memberAccount;
}

YearCarryWindow* LedgerWindow::perenosWindow() const {
    return m_yearCarry;
}

void LedgerWindow::buildControls() {
    static const std::array<std::pair<const char16_t*, LedgerIconKind>, 6> tools = {{
        {u"Cmd6", LedgerIconKind::Save},
        {u"Command3", LedgerIconKind::Print},
        {u"Cmd3", LedgerIconKind::Calculator},
        {u"Command1", LedgerIconKind::Export},
        {u"Command2", LedgerIconKind::Settings},
        {u"Cmd5", LedgerIconKind::Help},
    }};
    static const std::array<const char16_t*, 6> captions = {
        u"Сохранить", u"Печать", u"Калькулятор", u"Экспорт", u"Настройки", u"Помощь"};
    for (int i = 0; i < 6; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromUtf16(tools[size_t(i)].first));
        b->setIcon(LedgerIcon(tools[size_t(i)].second));
        b->setIconSize(QSize(24, 24));
        b->setAutoRaise(true);
        b->setGeometry(GridLeft + i * 34, 6, 32, 32);
        b->installEventFilter(this);
        m_tools[size_t(i)] = b;
        auto* cap = new QLabel(QString::fromUtf16(captions[size_t(i)]), this);
        cap->setObjectName(ObjectName(u"LbN"_s, i));
        cap->setStyleSheet(
            u"QLabel { background: #ffffe1; border: 1px solid #808080; padding: 0 2px; }"_s);
        cap->adjustSize();
        cap->move(GridLeft + i * 34, 39);
        cap->hide();
        m_captions[size_t(i)] = cap;
    }
    connect(m_tools[0], &QToolButton::clicked, this, &LedgerWindow::saveToDisk);
    connect(m_tools[1], &QToolButton::clicked, this, &LedgerWindow::print);
    connect(m_tools[2], &QToolButton::clicked, this, &LedgerWindow::calculatorRequested);
    connect(m_tools[3], &QToolButton::clicked, this, &LedgerWindow::exportLedger);
    connect(m_tools[4], &QToolButton::clicked, this, &LedgerWindow::settingsRequested);
    connect(m_tools[5], &QToolButton::clicked, this, &LedgerWindow::helpRequested);

    buildExtraTools();

    int x = GridLeft + ToolCount * ToolPitch + 16;
    auto* yearLabel = new QLabel(u"Год"_s, this);
    yearLabel->setObjectName(ObjectName(u"lbl1"_s, 0));
    yearLabel->setGeometry(x, 12, 28, 22);
    m_year = new QComboBox(this);
    m_year->setObjectName(ObjectName(u"Cmb1"_s, 0));
    m_year->setGeometry(x + 30, 11, 72, 24);
    connect(m_year, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading)
            onYearChosen();
    });
    x += 118;
    auto* monthLabel = new QLabel(u"Месяц"_s, this);
    monthLabel->setObjectName(ObjectName(u"lbl1"_s, 1));
    monthLabel->setGeometry(x, 12, 44, 22);
    m_left = new QToolButton(this);
    m_left->setObjectName(u"CmdLeft"_s);
    m_left->setIcon(LedgerIcon(LedgerIconKind::Left));
    m_left->setGeometry(x + 46, 10, 26, 26);
    m_month = new QLabel(this);
    m_month->setObjectName(u"lblMes"_s);
    m_month->setAlignment(Qt::AlignCenter);
    m_month->setFrameShape(QFrame::Panel);
    m_month->setFrameShadow(QFrame::Sunken);
    QFont bold = m_month->font();
    bold.setBold(true);
    m_month->setFont(bold);
    m_month->setGeometry(x + 74, 11, 90, 24);
    m_right = new QToolButton(this);
    m_right->setObjectName(u"CmdRight"_s);
    m_right->setIcon(LedgerIcon(LedgerIconKind::Right));
    m_right->setGeometry(x + 166, 10, 26, 26);
    connect(m_left, &QToolButton::clicked, this, [this] { stepMonth(-1); });
    connect(m_right, &QToolButton::clicked, this, [this] { stepMonth(+1); });
    x += 204;
    m_yearCarryButton = new QPushButton(u"Перенос на следующий год"_s, this);
    m_yearCarryButton->setObjectName(u"CmdPerenos"_s);
    m_yearCarryButton->setGeometry(x, 10, 190, 26);
    connect(m_yearCarryButton, &QPushButton::clicked, this, &LedgerWindow::openYearCarry);
    x += 204;
    m_find = new QLineEdit(this);
    m_find->setObjectName(u"txtfind"_s);
    m_find->setPlaceholderText(u"Фамилия"_s);
    m_find->setGeometry(x, 11, 150, 24);
    m_find->installEventFilter(this);
    m_findButton = new QPushButton(u"Найти"_s, this);
    m_findButton->setObjectName(u"Cmdfind"_s);
    m_findButton->setGeometry(x + 154, 10, 60, 26);
    connect(m_findButton, &QPushButton::clicked, this, &LedgerWindow::search);
    m_reset = new QPushButton(u"сброс "_s, this);
    m_reset->setObjectName(u"CmdRes"_s);
    m_reset->setGeometry(x + 218, 10, 56, 26);
    connect(m_reset, &QPushButton::clicked, this, &LedgerWindow::resetSearch);

    m_grid = new QTableView(this);
    m_grid->setObjectName(u"g"_s);
    m_grid->setModel(m_view);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setMinimumSectionSize(RowHeight);
    m_grid->verticalHeader()->setDefaultSectionSize(RowHeight);
    m_grid->horizontalHeader()->setMinimumSectionSize(0);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setWordWrap(false);
    // A palette rather than a style sheet: style sheets slow down the painting
    // of every cell.
    QPalette gridPalette = m_grid->palette();
    gridPalette.setColor(QPalette::Highlight, QColor(58, 110, 165));
    gridPalette.setColor(QPalette::HighlightedText, Qt::white);
    m_grid->setPalette(gridPalette);
    for (int c = 0; c < LedgerGridColumns; ++c)
        m_grid->setColumnWidth(c, ColumnWidths[c]);
    m_grid->viewport()->installEventFilter(this);
    m_grid->installEventFilter(this);
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &LedgerWindow::hideEditor);
    connect(m_grid->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &LedgerWindow::hideEditor);

    m_editor = new QLineEdit(this);
    m_editor->setObjectName(u"txtg"_s);
    QPalette pal = m_editor->palette();
    pal.setColor(QPalette::Base, EditorColor);
    m_editor->setPalette(pal);
    m_editor->setFrame(false);
    m_editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_editor->hide();
    m_editor->installEventFilter(this);
    connect(m_editor, &QLineEdit::textEdited, this, &LedgerWindow::onEditorEdited);

    int shade = 0;
    for (int k = 0; k < LedgerModel::SumCount; ++k) {
        auto* s = new QLineEdit(u"0"_s, this);
        s->setObjectName(ObjectName(u"tS"_s, k));
        s->setReadOnly(true);
        s->setFocusPolicy(Qt::NoFocus);
        s->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (IsLedgerHiddenColumn(k + 1)) {
            s->hide();
        } else {
            QPalette sp = s->palette();
            sp.setColor(QPalette::Base, SumShades[shade++ % 2]);
            s->setPalette(sp);
        }
        m_sums[size_t(k)] = s;
    }
    auto* sumLabel = new QLabel(u"СУММА:"_s, this);
    sumLabel->setObjectName(ObjectName(u"Label1"_s, 17));
    sumLabel->setFont(bold);
    m_header[17] = sumLabel;

    m_prepaySum = new QLabel(u"Сумма на счету пр-ты в МЭС, р -2%"_s, this);
    m_prepaySum->setObjectName(u"lblsum"_s);
    m_prepaySum->hide();
}

int LedgerWindow::columnLeft(int column) const {
    int x = GridLeft + m_grid->frameWidth();
    for (int c = 0; c < column; ++c)
        x += ColumnWidths[c];
    return x;
}

void LedgerWindow::buildHeader() {
    struct Cell {
        const char16_t* text;
        int firstColumn, lastColumn;
        int level; // 0 upper, 1 lower, 2 both
    };
    static const Cell cells[17] = {
        {u"Фамилия И. О.", 0, 0, 2},
        {u"Остаток на нач. мес., р.", 1, 2, 0},
        {u"Недоплата", 1, 1, 1},
        {u"Переплата", 2, 2, 1},
        {u"Начислены расходы в текущ. мес., р.", 3, 6, 0},
        {u"За эл. эн.", 3, 3, 1},
        {u"Пр-та в МЭС", 4, 4, 1},
        {u"З. П. Эл-ку", 5, 5, 1},
        {u"Прочее", 6, 6, 1},
        {u"ИТОГО к оплате", 7, 7, 2},
        {u"Приход в т. м., р.", 8, 10, 0},
        {u"Внесено", 8, 8, 1},
        {u"", 9, 9, 1},
        {u"Прочее", 10, 10, 1},
        {u"Ос-ток на кон. мес., р.", 11, 12, 0},
        {u"Недоплата", 11, 11, 1},
        {u"Переплата", 12, 12, 1},
    };
    QFont bold = font();
    bold.setBold(true);
    for (int i = 0; i < 17; ++i) {
        const Cell& c = cells[i];
        auto* l = new QLabel(QString::fromUtf16(c.text), this);
        l->setObjectName(ObjectName(u"Label1"_s, i));
        l->setAlignment(Qt::AlignCenter);
        l->setWordWrap(true);
        l->setFrameShape(QFrame::Box);
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, QColor(232, 232, 226));
        p.setColor(QPalette::WindowText,
                   c.level == 0 || c.level == 2 ? QColor(20, 40, 110) : QColor(0, 0, 0));
        l->setPalette(p);
        if (c.level != 1)
            l->setFont(bold);
        m_header[size_t(i)] = l;
        if (IsLedgerHiddenColumn(c.firstColumn) && c.firstColumn == c.lastColumn)
            l->hide();
    }
}

void LedgerWindow::layOut() {
    const int n = m_state.table.subscriberCount();
    const bool scrolls = n > VisibleRows;
    // Whole rows only, so the last visible row is never cut.
    const int gridHeight = (scrolls ? VisibleRows : n) * RowHeight + 2 * m_grid->frameWidth();
    int gridWidth = 2 * m_grid->frameWidth();
    for (int w : ColumnWidths)
        gridWidth += w;
    if (scrolls)
        gridWidth += m_grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m_grid->setGeometry(GridLeft, GridTop, gridWidth, gridHeight);

    // The header's boxes sit over the columns, each box's edges on the column lines.
    static const int spans[17][3] = {{0, 0, 2},   {1, 2, 0},  {1, 1, 1}, {2, 2, 1},   {3, 6, 0},
                                     {3, 3, 1},   {4, 4, 1},  {5, 5, 1}, {6, 6, 1},   {7, 7, 2},
                                     {8, 10, 0},  {8, 8, 1},  {9, 9, 1}, {10, 10, 1}, {11, 12, 0},
                                     {11, 11, 1}, {12, 12, 1}};
    for (int i = 0; i < 17; ++i) {
        const int left = columnLeft(spans[i][0]);
        const int right = columnLeft(spans[i][1] + 1);
        const int top = spans[i][2] == 1 ? HeaderTop + HeaderRow : HeaderTop;
        const int height = spans[i][2] == 2 ? 2 * HeaderRow : HeaderRow;
        m_header[size_t(i)]->setGeometry(left, top, right - left + 1, height + 1);
    }
    const int sumsTop = GridTop + gridHeight + 2;
    placeSumsRow(sumsTop);
    // Wide enough for the grid and for the row of commands above it.
    resize(std::max(GridLeft + gridWidth + 20, m_reset->geometry().right() + 10),
           sumsTop + BelowSums);
}

void LedgerWindow::placeSumsRow(int top) {
    for (int k = 0; k < LedgerModel::SumCount; ++k)
        m_sums[size_t(k)]->setGeometry(columnLeft(k + 1), top, ColumnWidths[k + 1] + 1, SumsHeight);
    m_header[17]->setGeometry(GridLeft + 6, top + 4, 120, SumsHeight - 4);
    m_prepaySum->setGeometry(GridLeft + 6, top + SumsHeight + 6, 300, 18);
}

void LedgerWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int sumsTop = height() - BelowSums;
    if (sumsTop <= GridTop)
        return;
    m_grid->resize(m_grid->width(), sumsTop - 2 - GridTop);
    placeSumsRow(sumsTop);
    hideEditor();
}

QString LedgerWindow::yearText() const {
    return m_year->currentText();
}

void LedgerWindow::showMonth() {
    hideEditor();
    const auto loc = m_model->fill(yearText(), m_monthIndex + 1);
    if (loc.fellBack) {
        m_loading = true;
        m_year->setCurrentText(m_state.table.offeredYears().first());
        m_loading = false;
        m_monthIndex = 0;
        m_month->setText(MonthNames().at(0));
        updateMonthControls();
    }
    compute();
    save();
}

void LedgerWindow::compute() {
    m_model->compute();
    const auto& sums = m_model->sums();
    for (int k = 0; k < LedgerModel::SumCount; ++k)
        m_sums[size_t(k)]->setText(sums[size_t(k)]);
}

void LedgerWindow::save() {
    m_tools[0]->setEnabled(true);
    m_model->save();
}

void LedgerWindow::updateMonthControls() {
    m_left->setEnabled(m_monthIndex > 0);
    m_right->setEnabled(m_monthIndex < 11);
    m_yearCarryButton->setVisible(m_monthIndex == 11);
}

void LedgerWindow::stepMonth(int delta) {
    hideEditor();
    const int month = m_monthIndex + delta;
    if (month < 0 || month > 11) {
        updateMonthControls();
        return;
    }
    m_monthIndex = month;
    m_month->setText(MonthNames().at(month));
    showMonth();
    updateMonthControls();
}

void LedgerWindow::onYearChosen() {
    showMonth();
    updateMonthControls();
}

void LedgerWindow::hideEditor() {
    if (m_editor->isVisible())
        HideCellEditor(m_editor);
}

void LedgerWindow::openEditor() {
    HideCellEditor(m_editor);
    const QModelIndex cur = m_grid->currentIndex();
    if (!cur.isValid() || !IsLedgerEditableColumn(cur.column()))
        return;
    ShowEditorOverCell(m_editor, m_grid, cur, m_model->text(cur.row(), cur.column()));
}

void LedgerWindow::onEditorEdited(const QString& text) {
    // A point is the decimal comma.
    QString fixed = WithoutCellSeparator(text);
    fixed.replace(u'.', u',');
    if (fixed == text)
        return;
    m_editor->setText(fixed);
    m_editor->setCursorPosition(int(fixed.size()));
}

void LedgerWindow::acceptEdit() {
    const QModelIndex cur = m_grid->currentIndex();
    if (!cur.isValid() || !IsLedgerEditableColumn(cur.column()))
        return;
    const QString text = LedgerEditorText(m_editor->text());
    WarnIfNotStorable(m_platform, text);
    m_model->setText(cur.row(), cur.column(), text);
    m_editor->hide();
    m_editor->clear();
    compute();
    save();
    const auto next = NextLedgerCell({cur.row(), cur.column()}, m_model->rowCount(), m_state.flPls);
    if (!next) {
        m_grid->setFocus();
        return;
    }
    m_grid->setCurrentIndex(m_view->index(next->row, next->column));
    openEditor();
}

void LedgerWindow::gridClicked(const QModelIndex& index) {
    hideEditor();
    if (!index.isValid())
        return;
    if (m_state.flPs)
        m_model->highlightRow(index.row());
    if (IsLedgerEditableColumn(index.column()))
        openEditor();
}

void LedgerWindow::gridReleased(Qt::MouseButton button) {
    const QModelIndex cur = m_grid->currentIndex();
    if (!cur.isValid() || cur.column() != LgLabel)
        return;
    const bool receipt = button == Qt::RightButton;
    const QString month = m_month->text();
    const QString question =
        (receipt ? u"Сформировать квитанцию для "_s : u"Сформировать ОРДЕР для "_s) +
        m_model->text(cur.row(), LgLabel) + u" за "_s + month + u' ' + yearText() + u" г."_s;
    const QString title = receipt ? u"Формирование квитанции"_s : u"Формирование ордера"_s;
    if (m_platform.message(question, title, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes) !=
        MsgAnswer::Yes)
        return;
    save();
    const DocumentRequest request{cur.row() + 1, m_monthIndex + 1, yearText()};
    if (receipt)
        emit receiptRequested(request);
    else
        emit orderRequested(request);
}

void LedgerWindow::search() {
    const QString text = m_find->text().toLower();
    if (text.isEmpty())
        return;
    m_findButton->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto res = m_model->search(text);
    if (res.hits > 0)
        m_grid->scrollTo(m_view->index(res.firstRow, 0), QAbstractItemView::PositionAtTop);
    m_findButton->setEnabled(true);
    QApplication::restoreOverrideCursor();
    const QString title = u"Результаты поиска    \""_s + text + u'"';
    if (res.hits > 0)
        m_platform.message(u" Количество найденых строк = "_s + QString::number(res.hits) +
                               u".  Номер первой найденной строки = "_s +
                               QString::number(res.firstRow + 1),
                           title, MsgIcon::Information, MsgButtons::Ok);
    else
        m_platform.message(u"Выражение   \""_s + text + u"\"   не найдено."_s,
                           u"Результаты поиска    "_s, MsgIcon::Information, MsgButtons::Ok);
}

void LedgerWindow::resetSearch() {
    m_reset->setEnabled(false);
    m_model->clearRows(LedgerModel::RowMark::Found);
    m_reset->setEnabled(true);
}

void LedgerWindow::applyPreferences() {
    if (m_state.flPs)
        return;
    const QModelIndex cur = m_grid->currentIndex();
    m_model->clearRows(LedgerModel::RowMark::Highlight);
    if (cur.isValid())
        m_grid->setCurrentIndex(cur);
}

void LedgerWindow::showCaption(int index) {
    for (int i = 0; i < 6; ++i)
        m_captions[size_t(i)]->setVisible(i == index);
    for (size_t i = 0; i < m_extraCaptions.size(); ++i)
        m_extraCaptions[i]->setVisible(FirstExtraTool + int(i) == index);
}

void LedgerWindow::buildExtraTools() {
    using Handler = void (LedgerWindow::*)();
    static const std::array<std::tuple<const char16_t*, const char16_t*, LedgerIconKind, Handler>,
                            ExtraToolCount>
        tools = {{
            {u"CmdKvitMes", u"Квитанции за месяц", LedgerIconKind::MonthReceipts,
             &LedgerWindow::printMonthReceipts},
            {u"CmdSverka", u"Сверка расчётов", LedgerIconKind::Reconciliation,
             &LedgerWindow::openReconciliation},
            {u"CmdLsAbonent", u"Лицевой счёт абонента", LedgerIconKind::MemberAccount,
             &LedgerWindow::openMemberAccount},
            {u"CmdKvitPdf", u"Квитанции в PDF по абонентам...", LedgerIconKind::ReceiptPdfs,
             &LedgerWindow::saveReceiptPdfs},
            {u"CmdVypiska", u"Загрузить выписку банка", LedgerIconKind::BankStatement,
             &LedgerWindow::loadStatement},
        }};
    for (size_t i = 0; i < tools.size(); ++i) {
        const auto& [name, caption, icon, handler] = tools[i];
        const int index = FirstExtraTool + int(i);
        const int x = GridLeft + index * ToolPitch;
        m_extraTools[i] = MakeTool(this, QString::fromUtf16(name), icon, x);
        m_extraTools[i]->installEventFilter(this);
        m_extraCaptions[i] = MakeHoverCaption(this, QString::fromUtf16(caption), index, x);
        connect(m_extraTools[i], &QToolButton::clicked, this, handler);
    }
}

void LedgerWindow::mouseMoveEvent(QMouseEvent* event) {
    showCaption(-1);
    QWidget::mouseMoveEvent(event);
}

bool LedgerWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_editor && type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            acceptEdit();
            return true;
        }
        if (key == Qt::Key_Escape) {
            hideEditor();
            m_grid->setFocus();
            return true;
        }
    } else if (watched == m_grid && type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !m_editor->isVisible()) {
            if (IsLedgerEditableColumn(m_grid->currentIndex().column()))
                openEditor();
            return true;
        }
    } else if (watched == m_grid->viewport() && type == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) {
            // The press has made the cell current already.
            const QModelIndex index = m_grid->indexAt(me->position().toPoint());
            if (index.isValid() && index == m_grid->currentIndex())
                gridClicked(index);
            return false;
        }
        if (me->button() == Qt::RightButton || me->button() == Qt::MiddleButton)
            gridReleased(me->button());
    } else if (watched == m_find && type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            search();
            return true;
        }
    } else if (type == QEvent::Enter) {
        for (int i = 0; i < 6; ++i)
            if (watched == m_tools[size_t(i)])
                showCaption(i);
        for (size_t i = 0; i < m_extraTools.size(); ++i)
            if (watched == m_extraTools[i])
                showCaption(FirstExtraTool + int(i));
    }
    return QWidget::eventFilter(watched, event);
}

void LedgerWindow::closeEvent(QCloseEvent* event) {
    if (m_yearCarry)
        m_yearCarry->close();
    if (m_reconciliation)
        m_reconciliation->close();
    if (m_memberAccount)
        m_memberAccount->close();
    hideEditor();
    Settings& s = m_platform.settings();
    s.setText(u"Nastr"_s, u"Cmb10"_s, yearText());
    s.setText(u"Nastr"_s, u"Li"_s, QString::number(m_monthIndex));
    compute();
    save();
    m_database.saveOrTell();
    event->accept();
    emit closed();
}
