#include "DirectoryWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>

#include "DirectoryExchange.h"
#include "DirectoryGridModel.h"
#include "DirectoryOps.h"
#include "core/AppState.h"
#include "storage/Database.h"
#include "core/Platform.h"
#include "core/Settings.h"
#include "core/Twips.h"
#include "core/UserWarnings.h"
#include "workbook/WorkbookReadFailure.h"
#include "workbook/WorkbookReader.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"
#include "AddSubscriberDialog.h"
#include "EditSubscriberDialog.h"

using namespace Qt::StringLiterals;

namespace {

const QString TunGrid = u"TunGrid"_s;

QString widthKey(int column) {
    return u"CW(%1)"_s.arg(column);
}

// A small sheet with an arrow out of it (export) or into it (import).
QIcon workbookIcon(bool exporting) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF sheet(2.5, 4.5, 20, 24);
    p.setPen(QPen(QColor(0x1D, 0x6F, 0x42), 1));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    p.fillRect(QRectF(3, 5, 19.5, 5), QColor(0x1D, 0x6F, 0x42));
    p.setPen(QPen(QColor(0x8F, 0xBF, 0x9F), 1));
    for (double y = 14.5; y < 28; y += 4.5)
        p.drawLine(QPointF(3, y), QPointF(22.5, y));
    p.drawLine(QPointF(10.5, 10), QPointF(10.5, 28));
    // The arrow.
    QPainterPath arrow;
    if (exporting) {
        arrow.moveTo(17, 17);
        arrow.lineTo(24, 17);
        arrow.lineTo(24, 12);
        arrow.lineTo(31, 20);
        arrow.lineTo(24, 28);
        arrow.lineTo(24, 23);
        arrow.lineTo(17, 23);
    } else {
        arrow.moveTo(31, 17);
        arrow.lineTo(24, 17);
        arrow.lineTo(24, 12);
        arrow.lineTo(16, 20);
        arrow.lineTo(24, 28);
        arrow.lineTo(24, 23);
        arrow.lineTo(31, 23);
    }
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0x80, 0x40, 0x00), 1));
    p.setBrush(QColor(0xF0, 0x90, 0x20));
    p.drawPath(arrow);
    return QIcon(pm);
}

} // namespace

DirectoryWindow::DirectoryWindow(AppState& state, Database& database, Platform& platform,
                                 QWidget* parent)
    : QWidget(parent), m_state(state), m_database(database), m_platform(platform),
      m_model(new DirectoryGridModel(state.table, this)), m_grid(new QTableView(this)),
      m_frame1(new QGroupBox(this)), m_txtfind(new QLineEdit(m_frame1)),
      m_cmdfind(new QPushButton(u"Найти"_s, m_frame1)),
      m_cmdRes(new QPushButton(u"сброс "_s, m_frame1)),
      m_cmd1(new QPushButton(u"Добавить"_s, this)), m_cmd2(new QPushButton(u"Правка"_s, this)),
      m_cmdDel(new QPushButton(u"Удалить"_s, this)), m_command1(new QToolButton(this)),
      m_command2(new QToolButton(this)) {
    setObjectName(u"frmSpr"_s);
    setWindowTitle(u"Справочник абоненты"_s);
    setAttribute(Qt::WA_DeleteOnClose);

    m_grid->setObjectName(u"g"_s);
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);
    m_grid->setTextElideMode(Qt::ElideNone);
    m_grid->horizontalHeader()->setSectionsMovable(false);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grid->horizontalHeader()->setMinimumSectionSize(0);
    m_grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    m_frame1->setObjectName(u"Frame1"_s);
    m_txtfind->setObjectName(u"txtfind"_s);
    m_cmdfind->setObjectName(u"Cmdfind"_s);
    m_cmdRes->setObjectName(u"CmdRes"_s);
    auto* findRow = new QHBoxLayout(m_frame1);
    findRow->setContentsMargins(6, 4, 6, 4);
    findRow->addWidget(m_txtfind, 1);
    findRow->addWidget(m_cmdfind);
    findRow->addWidget(m_cmdRes);
    m_txtfind->setMinimumWidth(190);

    m_cmd1->setObjectName(u"Cmd1"_s);
    m_cmd2->setObjectName(u"Cmd2"_s);
    m_cmdDel->setObjectName(u"CmdDel"_s);
    m_cmd2->setEnabled(false);
    m_cmdDel->setEnabled(false);

    m_command1->setObjectName(u"Command1"_s);
    m_command2->setObjectName(u"Command2"_s);
    m_command1->setIcon(workbookIcon(true));
    m_command2->setIcon(workbookIcon(false));
    for (QToolButton* b : {m_command1, m_command2}) {
        b->setIconSize(QSize(32, 32));
        b->setAutoRaise(true);
        b->setFixedSize(40, 40);
        b->installEventFilter(this);
    }
    const QString hintTexts[2] = {u"Экспорт"_s, u"Импорт"_s};
    for (int k = 0; k < 2; ++k) {
        auto* hint = new QLabel(hintTexts[k], this);
        hint->setObjectName(u"Label1(%1)"_s.arg(k));
        hint->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        hint->hide();
        m_hints[size_t(k)] = hint;
    }
    m_frame1->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    m_grid->viewport()->setMouseTracking(true);

    connect(m_grid, &QTableView::clicked, this, &DirectoryWindow::gridClicked);
    connect(m_grid, &QTableView::doubleClicked, this, &DirectoryWindow::gridDoubleClicked);
    connect(m_cmdfind, &QPushButton::clicked, this, &DirectoryWindow::find);
    connect(m_txtfind, &QLineEdit::returnPressed, this, &DirectoryWindow::find);
    connect(m_cmdRes, &QPushButton::clicked, this, &DirectoryWindow::reset);
    connect(m_cmd1, &QPushButton::clicked, this, &DirectoryWindow::add);
    connect(m_cmd2, &QPushButton::clicked, this, &DirectoryWindow::edit);
    connect(m_cmdDel, &QPushButton::clicked, this, &DirectoryWindow::remove);
    connect(m_command1, &QToolButton::clicked, this, &DirectoryWindow::exportWorkbook);
    connect(m_command2, &QToolButton::clicked, this, &DirectoryWindow::importWorkbook);

    // Load: the stored widths, the grid under header variant B, then the
    // stored widths over the header's.
    Settings& settings = m_platform.settings();
    int stored[6];
    for (int k = 0; k < 6; ++k)
        stored[k] = settings.number(TunGrid, widthKey(k));
    m_model->fill(HeaderVariant::B);
    applyHeaderWidths();
    int gridWidth = 0;
    for (int k = 0; k < 6; ++k) {
        const int px = std::max(0, Twips::ToPixelsRounded(stored[k]));
        m_grid->setColumnWidth(k, px);
        gridWidth += px;
    }
    resize(std::max(880, gridWidth + m_grid->verticalScrollBar()->sizeHint().width() + 14), 560);
    layoutControls();
}

DirectoryWindow::~DirectoryWindow() {
    delete m_child;
}

AddSubscriberDialog* DirectoryWindow::addWindow() const {
    return qobject_cast<AddSubscriberDialog*>(m_child.data());
}

EditSubscriberDialog* DirectoryWindow::editWindow() const {
    return qobject_cast<EditSubscriberDialog*>(m_child.data());
}

void DirectoryWindow::applyHeaderWidths() {
    const QFontMetrics fm = m_grid->horizontalHeader()->fontMetrics();
    const auto& header = m_model->header();
    for (int k = 0; k < header.size() && k < 6; ++k)
        m_grid->setColumnWidth(k, fm.horizontalAdvance(header[k].text) + 8);
}

void DirectoryWindow::layoutControls() {
    const int w = width();
    const int h = height();
    // The grid follows the window, leaving the strip of controls below it.
    if (Twips::FromPixels(h) > 100)
        m_grid->setGeometry(3, 3, std::max(0, w - Twips::ToPixelsTruncated(100)),
                            std::max(0, h - Twips::ToPixelsTruncated(800)));
    const int top = m_grid->geometry().bottom() + 4;
    const int rowHeight = 42;
    const int frameWidth = m_frame1->sizeHint().width();
    m_frame1->setGeometry(3, top, frameWidth, rowHeight);
    int x = 3 + frameWidth + 12;
    for (QPushButton* b : {m_cmd1, m_cmd2, m_cmdDel}) {
        const int bw = std::max(96, b->sizeHint().width());
        b->setGeometry(x, top + (rowHeight - 30) / 2 + 2, bw, 30);
        x += bw + 6;
    }
    const int iconTop = top + (rowHeight - 40) / 2 + 1;
    m_command2->move(w - 4 - 40, iconTop);
    m_command1->move(w - 4 - 40 - 44, iconTop);
    for (QLabel* hint : m_hints)
        hint->setGeometry(m_command1->x() - 86, iconTop, 80, 40);
}

void DirectoryWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutControls();
}

bool DirectoryWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if (t == QEvent::Enter || t == QEvent::MouseMove || t == QEvent::HoverMove) {
        if (watched == m_command1 || watched == m_command2) {
            m_hints[0]->setVisible(watched == m_command1);
            m_hints[1]->setVisible(watched == m_command2);
        } else if (watched == m_frame1 || watched == m_grid->viewport()) {
            for (QLabel* hint : m_hints)
                hint->hide();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DirectoryWindow::gridClicked(const QModelIndex& index) {
    if (!index.isValid())
        return;
    const int row = index.row() + 1; // grid row 0 is the header
    m_selRow = 0;
    m_cmd2->setEnabled(true);
    m_cmdDel->setEnabled(row > 1);
    m_selRow = row;
    m_model->select(row);
}

void DirectoryWindow::gridDoubleClicked(const QModelIndex& index) {
    if (index.isValid() && m_selRow != 0)
        edit();
}

void DirectoryWindow::find() {
    const QString needle = m_txtfind->text().toLower();
    if (needle.isEmpty())
        return;
    m_cmdfind->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FindResult result = m_model->find(needle);
    for (int row : result.rows)
        m_grid->setCurrentIndex(m_model->index(row - 1, 0));
    if (!result.rows.isEmpty())
        m_grid->scrollTo(m_model->index(result.firstRow() - 1, 0),
                         QAbstractItemView::PositionAtTop);
    QApplication::restoreOverrideCursor();
    m_cmdfind->setEnabled(true);
    m_platform.message(FindMessageText(result), FindMessageTitle(result), MsgIcon::None,
                       MsgButtons::Ok);
}

void DirectoryWindow::reset() {
    m_cmdRes->setEnabled(false);
    m_model->clearFound();
    m_cmdRes->setEnabled(true);
}

void DirectoryWindow::add() {
    if (m_child)
        return;
    auto* w = new AddSubscriberDialog(m_state, m_database, m_platform);
    w->setAttribute(Qt::WA_DeleteOnClose);
    m_child = w;
    connect(w, &AddSubscriberDialog::databaseWritten, this, &DirectoryWindow::databaseWritten);
    connect(w, &AddSubscriberDialog::committed, this, [this] {
        // The stored widths are not applied again: the header's widths hold.
        m_model->fill(HeaderVariant::C);
        applyHeaderWidths();
    });
    connect(w, &AddSubscriberDialog::closed, this, [this] { setEnabled(true); });
    setEnabled(false);
    w->show();
}

void DirectoryWindow::edit() {
    if (m_child || m_selRow == 0 || !m_grid->currentIndex().isValid())
        return;
    if (m_selRow > m_state.table.subscriberCount())
        return;
    auto* w = new EditSubscriberDialog(m_state, m_database, m_platform, m_selRow);
    w->setAttribute(Qt::WA_DeleteOnClose);
    m_child = w;
    connect(w, &EditSubscriberDialog::databaseWritten, this, &DirectoryWindow::databaseWritten);
    connect(w, &EditSubscriberDialog::stored, m_model, &DirectoryModel::refreshRow);
    connect(w, &EditSubscriberDialog::closed, this, [this] { setEnabled(true); });
    setEnabled(false);
    w->show();
}

void DirectoryWindow::remove() {
    const int row = m_selRow;
    if (!CanDelete(m_state.table, row))
        return;
    const MsgAnswer answer =
        m_platform.message(DeleteQuestion(m_state.table, row), u"Подтвердите удаление."_s,
                           MsgIcon::Information, MsgButtons::YesNo, MsgAnswer::No);
    if (answer != MsgAnswer::Yes)
        return;
    // The journal's rows follow in the same save, so the two never disagree.
    if (DeleteSubscriber(m_state.table, row))
        m_database.journal().renumberAfterDelete(row);
    save();
    m_model->fill(HeaderVariant::A); // ZAPOLNTABL
    applyHeaderWidths();
    m_cmdDel->setEnabled(false);
    // The row now holds someone else, or no one: nothing stays selected.
    m_selRow = 0;
    m_cmd2->setEnabled(false);
}

void DirectoryWindow::exportWorkbook() {
    const QString chosen = m_platform.saveFileName(
        u"Сохранить как"_s, WorkbookProposedPath(m_state.programFolder, DirectoryExportName),
        WorkbookFilter());
    if (chosen.isEmpty())
        return;
    // A failed export ends without a message.
    WriteWorkbook(DirectoryExportSheet(m_state.table), WorkbookSavePath(chosen));
}

void DirectoryWindow::importWorkbook() {
    const MsgAnswer answer = m_platform.message(
        u"Вы действительно хотите безвозвратно изменить данные справочника абонентов?"_s,
        u"Импорт справочника из Exel"_s, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
    if (answer != MsgAnswer::Yes)
        return;
    const QString path =
        m_platform.openFileName(u"Открыть"_s, m_state.programFolder, WorkbookFilter());
    if (path.isEmpty())
        return;
    const WorkbookReadResult sheet = ReadWorkbook(path);
    if (ReportWorkbookReadFailure(m_platform, sheet))
        return;
    const DirectoryImport import = ReadDirectoryImport(sheet);
    if (import.status == DirectoryImport::Status::Empty)
        return;
    if (import.status == DirectoryImport::Status::TooMany) {
        m_platform.message(u"В книге больше 501 абонента, а справочник вмещает не более 501. "
                           "Справочник не изменён."_s,
                           u"Ошибка импорта"_s, MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    ApplyDirectoryImport(m_state.table, import.rows);
    m_model->fill(HeaderVariant::B);
    applyHeaderWidths();
    m_selRow = 0;
    m_cmd2->setEnabled(false);
    m_cmdDel->setEnabled(false);
    save();
}

void DirectoryWindow::save() {
    const bool ok = m_database.saveOrTell();
    emit databaseWritten(ok);
}

void DirectoryWindow::closeEvent(QCloseEvent* event) {
    if (m_child) {
        // The add or edit window is open: the directory stays with it.
        event->ignore();
        return;
    }
    Settings& settings = m_platform.settings();
    for (int k = 0; k < 6; ++k)
        settings.setNumber(TunGrid, widthKey(k), Twips::FromPixels(m_grid->columnWidth(k)));
    settings.sync();
    event->accept();
    emit closed();
}
