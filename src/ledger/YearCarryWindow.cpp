#include "YearCarryWindow.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

#include "YearCarry.h"
#include "core/AppState.h"
#include "core/CellSeparator.h"
#include "core/Cp1251.h"
#include "core/UserWarnings.h"
#include "ledger/CellEditor.h"
#include "core/Platform.h"
#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int ColumnWidths[BalanceCarryModel::ColumnCount] = {220, 84, 84};
constexpr int RowHeight = 19;
constexpr int GridLeft = 12;
constexpr int HeaderTop = 44;
constexpr int HeaderRow = 26;
constexpr int GridTop = HeaderTop + 2 * HeaderRow;
constexpr int ButtonHeight = 28;
constexpr int BelowButtons = 67; // 1000 twips
constexpr int AboveButtons = 13; // 200 twips

} // namespace

YearCarryWindow::YearCarryWindow(AppState& state, Platform& platform, QWidget* parent)
    : QWidget(parent), m_state(state), m_platform(platform) {
    setObjectName(u"frmPerenos"_s);
    setWindowTitle(u"Перенос данных на следующий год"_s);
    m_model = new BalanceCarryModel(this);

    QFont bold = font();
    bold.setBold(true);
    auto* lblgod = new QLabel(u"Перенести на январь "_s, this);
    lblgod->setObjectName(u"Lblgod"_s);
    lblgod->setFont(bold);
    lblgod->adjustSize();
    lblgod->move(GridLeft, 12);
    m_year = new QLabel(this);
    m_year->setObjectName(u"lblYear"_s);
    m_year->setFont(bold);
    m_year->setGeometry(GridLeft + lblgod->width() + 2, 12, 60, lblgod->height());

    auto headerBox = [&](const QString& name, const QString& text, int x, int y, int w, int h) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignCenter);
        l->setFrameShape(QFrame::Box);
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, QColor(232, 232, 226));
        l->setPalette(p);
        l->setFont(bold);
        l->setGeometry(x, y, w + 1, h + 1);
    };
    const int x1 = GridLeft + 1 + ColumnWidths[0];
    const int x2 = x1 + ColumnWidths[1];
    headerBox(u"Label1(0)"_s, u"Фамилия И. О."_s, GridLeft + 1, HeaderTop, ColumnWidths[0],
              2 * HeaderRow);
    headerBox(u"Cmb1"_s, u"Лицевой счет, р."_s, x1, HeaderTop, ColumnWidths[1] + ColumnWidths[2],
              HeaderRow);
    headerBox(u"Label1(1)"_s, u"Недоплата"_s, x1, HeaderTop + HeaderRow, ColumnWidths[1],
              HeaderRow);
    headerBox(u"Label1(2)"_s, u"Переплата"_s, x2, HeaderTop + HeaderRow, ColumnWidths[2],
              HeaderRow);

    m_grid = new QTableView(this);
    m_grid->setObjectName(u"g1"_s);
    m_grid->setModel(m_model);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setMinimumSectionSize(RowHeight);
    m_grid->verticalHeader()->setDefaultSectionSize(RowHeight);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_grid->setWordWrap(false);
    for (int c = 0; c < BalanceCarryModel::ColumnCount; ++c)
        m_grid->setColumnWidth(c, ColumnWidths[c]);
    m_grid->viewport()->installEventFilter(this);
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &YearCarryWindow::hideEditor);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { m_ok->setEnabled(true); });

    m_editor = new QLineEdit(this);
    m_editor->setObjectName(u"txtg1"_s);
    const int rgb = BgrToRgb(m_state.cellColors[2]);
    QPalette pal = m_editor->palette();
    pal.setColor(QPalette::Base, QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    m_editor->setPalette(pal);
    m_editor->setFrame(false);
    m_editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_editor->hide();
    m_editor->installEventFilter(this);
    connect(m_editor, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (const QString fixed = WithoutCellSeparator(t); fixed != t)
            m_editor->setText(fixed);
    });

    m_ok = new QPushButton(u"Перенести"_s, this);
    m_ok->setObjectName(u"CmdOk"_s);
    connect(m_ok, &QPushButton::clicked, this, &YearCarryWindow::write);
    m_clear = new QPushButton(u"Очистить поля"_s, this);
    m_clear->setObjectName(u"CmdClear"_s);
    connect(m_clear, &QPushButton::clicked, this, &YearCarryWindow::clearFields);
}

void YearCarryWindow::load(std::vector<BalanceCarryModel::Entry> entries, const QString& ledgerYear,
                           int gridHeight, int ledgerHeight) {
    const auto next = NextYearIndex(m_state.table.offeredYears(), ledgerYear);
    m_year->setText(next ? YearText(*next) : QString());
    m_model->setEntries(std::move(entries));
    int gridWidth =
        2 * m_grid->frameWidth() + m_grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int w : ColumnWidths)
        gridWidth += w;
    gridHeight = std::max(gridHeight, 3 * RowHeight);
    m_grid->setGeometry(GridLeft, GridTop, gridWidth, gridHeight);
    const int buttonsTop = GridTop + gridHeight + 4; // 60 twips below the grid
    placeButtons(buttonsTop);
    resize(GridLeft * 2 + gridWidth, std::max(ledgerHeight + 7, buttonsTop + ButtonHeight + 12));
    m_ok->setEnabled(true);
}

void YearCarryWindow::placeButtons(int top) {
    m_ok->setGeometry(GridLeft, top, 140, ButtonHeight);
    m_clear->setGeometry(GridLeft + 150, top, 140, ButtonHeight);
}

void YearCarryWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int buttonsTop = height() - BelowButtons;
    const int gridHeight = buttonsTop - AboveButtons - GridTop;
    if (gridHeight < RowHeight)
        return;
    m_grid->resize(m_grid->width(), gridHeight);
    placeButtons(buttonsTop);
    hideEditor();
}

void YearCarryWindow::hideEditor() {
    if (m_editor->isVisible())
        HideCellEditor(m_editor);
}

void YearCarryWindow::openEditor() {
    HideCellEditor(m_editor);
    const QModelIndex cur = m_grid->currentIndex();
    if (!cur.isValid() || cur.column() == BalanceCarryModel::Label)
        return;
    ShowEditorOverCell(m_editor, m_grid, cur, m_model->text(cur.row(), cur.column()));
}

void YearCarryWindow::acceptEdit() {
    const QModelIndex cur = m_grid->currentIndex();
    if (!cur.isValid())
        return;
    const QString text = m_editor->text();
    WarnIfNotStorable(m_platform, text);
    m_model->setText(cur.row(), cur.column(), text);
    m_editor->hide();
    m_editor->clear();
    m_grid->setFocus();
    if (cur.row() + 1 >= m_model->rowCount())
        return;
    m_grid->setCurrentIndex(m_model->index(cur.row() + 1, cur.column()));
    openEditor();
}

void YearCarryWindow::write() {
    const auto next = YearIndex(m_year->text());
    if (!next)
        return;
    hideEditor();
    m_model->write(m_state.table, *next);
    m_ok->setEnabled(false);
}

void YearCarryWindow::clearFields() {
    m_model->clearAmounts();
    m_ok->setEnabled(true);
    hideEditor();
}

bool YearCarryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_editor && event->type() == QEvent::KeyPress) {
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
    } else if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        const QModelIndex index = m_grid->indexAt(me->position().toPoint());
        if (me->button() == Qt::LeftButton && index.isValid() &&
            index.column() != BalanceCarryModel::Label) {
            hideEditor();
            openEditor();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void YearCarryWindow::closeEvent(QCloseEvent* event) {
    hideEditor();
    event->accept();
    emit closed();
}
