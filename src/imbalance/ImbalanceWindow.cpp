#include "ImbalanceWindow.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "core/AppState.h"
#include "core/CellSeparator.h"
#include "core/MonthNames.h"
#include "core/Platform.h"
#include "core/Twips.h"
#include "workbook/WorkbookWriter.h"
#include "charts/ChartModule.h"
#include "imbalance/ImbalanceExport.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int px(int twips) {
    return Twips::ToPixelsTruncated(twips);
}

struct Column {
    int left;
    int width;
};
// Left edge and width of the columns 1..15 right of the month names, in twips.
constexpr std::array<Column, 16> Columns = {{{0, 0},
                                             {2010, 915},
                                             {2910, 975},
                                             {3870, 855},
                                             {4710, 915},
                                             {5610, 975},
                                             {6570, 855},
                                             {7410, 855},
                                             {8250, 855},
                                             {9075, 855},
                                             {9915, 855},
                                             {10755, 855},
                                             {11595, 855},
                                             {12435, 855},
                                             {13275, 855},
                                             {14115, 960}}};

constexpr int FormWidth = px(15360), FormHeight = px(6945);
constexpr int BodyLeft = 8;                     // left edge of the month names
constexpr int MonthRight = px(2025);            // right edge of the month names
constexpr int TableRight = px(14115) + px(960); // right edge of the last column
constexpr int HeadTop = 56, HeadMiddle = 98;    // heading frame and its two lines
constexpr int RowHeight = px(315), RowPitch = px(300);
constexpr int TotalTop = px(6135) + 3; // below the thick rule
constexpr int ChartHeight = 300;

int rowTop(int month) { // month 1..12
    return px(2535) + RowPitch * (month - 1);
}
int colLeft(int c) {
    return px(Columns[size_t(c)].left);
}
int colRight(int c) {
    return px(Columns[size_t(c)].left + Columns[size_t(c)].width);
}

// Which box a table column shows: a head-meter box k (0..3) or a result column.
struct ColumnBox {
    bool input;
    int index;
};
constexpr std::array<ColumnBox, 16> ColumnBoxes = {{{false, -1},
                                                    {true, 0},
                                                    {true, 1},
                                                    {false, ImbCol::HeadT1},
                                                    {true, 2},
                                                    {true, 3},
                                                    {false, ImbCol::HeadT2},
                                                    {false, ImbCol::SubsT1},
                                                    {false, ImbCol::SubsT2},
                                                    {false, ImbCol::ImbT1},
                                                    {false, ImbCol::ImbT2},
                                                    {false, ImbCol::CoefT1},
                                                    {false, ImbCol::CoefT2},
                                                    {false, ImbCol::PayHead},
                                                    {false, ImbCol::PaySubs},
                                                    {false, ImbCol::PayImb}}};

// A spreadsheet page with an arrow leaving it.
QIcon ExportIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1d, 0x6f, 0x42), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 3.5, 19, 24));
    p.fillRect(QRectF(4, 4, 18, 5), QColor(0x1d, 0x6f, 0x42));
    p.setPen(QPen(QColor(0x7a, 0xa8, 0x8c), 1));
    for (int y = 13; y <= 25; y += 4)
        p.drawLine(QPointF(5, y), QPointF(21, y));
    p.drawLine(QPointF(11, 10), QPointF(11, 27));
    p.setPen(QPen(QColor(0xc0, 0x50, 0x10), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(15, 20), QPointF(28, 20));
    p.drawLine(QPointF(23.5, 15.5), QPointF(28, 20));
    p.drawLine(QPointF(23.5, 24.5), QPointF(28, 20));
    return QIcon(pm);
}

} // namespace

ImbalanceWindow::ImbalanceWindow(AppState& state, Platform& platform, const QString& yearText,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_platform(platform) {
    setWindowTitle(u"Разбаланс"_s);
    // The narrow face keeps six-figure amounts inside the boxes.
    QFont f(u"Liberation Sans"_s);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(8);
    setFont(f);
    setMouseTracking(true);

    const std::optional<int> year = state.table.offeredYears().indexOf(yearText);
    m_year = year.value_or(0);

    m_lbYear = new QLabel((year ? yearText : state.table.offeredYears().first()) + u" г."_s, this);
    m_lbYear->setObjectName(u"Lbyear"_s);
    QFont big = f;
    big.setBold(true);
    big.setPointSize(11);
    m_lbYear->setFont(big);
    m_lbYear->adjustSize();
    m_lbYear->move((FormWidth - m_lbYear->width()) / 2, 16);

    m_cmd6 = new QPushButton(this);
    m_cmd6->setObjectName(u"Command6"_s);
    m_cmd6->setGeometry(4, 4, px(555), px(555));
    m_cmd6->setIcon(ExportIcon());
    m_cmd6->setIconSize(QSize(28, 28));
    m_cmd6->setFocusPolicy(Qt::ClickFocus);
    m_cmd6->installEventFilter(this);
    connect(m_cmd6, &QPushButton::clicked, this, &ImbalanceWindow::exportWorkbook);

    m_hint = new QLabel(u"Экспорт"_s, this);
    m_hint->setObjectName(u"Label1(6)"_s);
    QPalette hp = m_hint->palette();
    hp.setColor(QPalette::WindowText, Qt::blue);
    m_hint->setPalette(hp);
    m_hint->adjustSize();
    m_hint->move(4, 4 + px(555) + 1);
    m_hint->hide();

    m_cmdChart = new QPushButton(u"График"_s, this);
    m_cmdChart->setObjectName(u"CmdChart"_s);
    m_cmdChart->setCheckable(true);
    m_cmdChart->setFocusPolicy(Qt::ClickFocus);
    m_cmdChart->setToolTip(u"Показать или скрыть график по месяцам"_s);
    m_cmdChart->setGeometry(4 + px(555) + 6, 8, 70, 28);
    connect(m_cmdChart, &QPushButton::toggled, this, &ImbalanceWindow::setChartShown);

    buildHeadings();
    buildRows();

    QString error;
    m_charts = ChartModule(&error);
    if (m_charts) {
        m_chart = m_charts->imbalanceChart(this);
    } else {
        auto* reason = new QLabel(u"График недоступен: "_s + error, this);
        reason->setAlignment(Qt::AlignCenter);
        reason->setWordWrap(true);
        m_chart = reason;
    }
    m_chart->setObjectName(u"chart"_s);
    m_chart->setGeometry(BodyLeft, FormHeight, TableRight - BodyLeft, ChartHeight - 8);
    m_chart->hide();
    setFixedSize(FormWidth, FormHeight);

    const HeadMeterTexts head = LoadHeadMeter(state.table, m_year);
    for (int m = 0; m < 12; ++m)
        for (int k = 0; k < 4; ++k)
            m_in[size_t(m)][size_t(k)]->setText(head[size_t(m)][size_t(k)]);
    applyRowColours();
    computeImbalance();
}

ImbalanceWindow::~ImbalanceWindow() = default;

ImbalanceWindow* ImbalanceWindow::showSingle(QPointer<ImbalanceWindow>& slot, AppState& state,
                                             Platform& platform, const QString& yearText,
                                             QWidget* parent) {
    if (!slot) {
        slot = new ImbalanceWindow(state, platform, yearText, parent);
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    if (slot->isMinimized())
        slot->showNormal();
    slot->raise();
    slot->activateWindow();
    return slot;
}

void ImbalanceWindow::buildHeadings() {
    struct Heading {
        int index;
        const char* text;
        int firstCol, lastCol; // table columns 0..15
        int top, bottom;
        bool bold;
    };
    const Heading headings[] = {
        {33, "Месяц", 0, 0, HeadTop, rowTop(1), true},
        {2, "Показания Головного сч-ка по Т1, кВт*Ч", 1, 3, HeadTop, HeadMiddle, true},
        {4, "Текущее", 1, 1, HeadMiddle, rowTop(1), false},
        {3, "Последнее", 2, 2, HeadMiddle, rowTop(1), false},
        {5, "Разница с учетом КТ = 1", 3, 3, HeadMiddle, rowTop(1), false},
        {6, "Показания Головного сч-ка по Т2, кВт*Ч", 4, 6, HeadTop, HeadMiddle, true},
        {18, "Текущее", 4, 4, HeadMiddle, rowTop(1), false},
        {21, "Последнее", 5, 5, HeadMiddle, rowTop(1), false},
        {8, "Разница с учетом КТ = 1", 6, 6, HeadMiddle, rowTop(1), false},
        {0, "Расход  по сч. абонентов, кВт*ч", 7, 8, HeadTop, HeadMiddle, true},
        {7, "По Т1", 7, 7, HeadMiddle, rowTop(1), false},
        {9, "По Т2", 8, 8, HeadMiddle, rowTop(1), false},
        {10, "Разбаланс, кВт*ч", 9, 10, HeadTop, HeadMiddle, true},
        {11, "По Т1", 9, 9, HeadMiddle, rowTop(1), false},
        {12, "По Т2", 10, 10, HeadMiddle, rowTop(1), false},
        {13, "К-т компенсации разбаланса", 11, 12, HeadTop, HeadMiddle, true},
        {14, "По Т1", 11, 11, HeadMiddle, rowTop(1), false},
        {15, "По Т2", 12, 12, HeadMiddle, rowTop(1), false},
        {17, "К оплате по учетному счетчику, руб.", 13, 13, HeadTop, rowTop(1), false},
        {16, "К оплате по опорным счетчикам, руб.", 14, 14, HeadTop, rowTop(1), false},
        {1, "Разбаланс с учетным счетчиком, руб. ", 15, 15, HeadTop, rowTop(1), false},
    };
    for (const Heading& h : headings) {
        auto* label = new QLabel(QString::fromUtf8(h.text), this);
        label->setObjectName(u"lbl1(%1)"_s.arg(h.index));
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        QFont f = font();
        f.setBold(h.bold);
        label->setFont(f);
        const int left = h.firstCol == 0 ? BodyLeft : colLeft(h.firstCol);
        const int right = h.lastCol == 0 ? MonthRight : colRight(h.lastCol);
        label->setGeometry(left + 2, h.top + 2, right - left - 4, h.bottom - h.top - 4);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
}

void ImbalanceWindow::buildRows() {
    QWidget* previous = nullptr;
    for (int m = 1; m <= 12; ++m) {
        const int top = rowTop(m);
        auto* shape = new QFrame(this);
        shape->setObjectName(u"Shape1(%1)"_s.arg(m));
        // One pixel lower than the row, so that the rule parting the names shows.
        shape->setGeometry(BodyLeft, top + 1, MonthRight - BodyLeft, RowPitch - 1);
        shape->setAutoFillBackground(true);
        m_shapes[size_t(m - 1)] = shape;

        auto* name = new QLabel(MonthNames()[m - 1], this);
        name->setObjectName(u"lbl1(%1)"_s.arg(100 + m));
        name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        name->setGeometry(BodyLeft, top, MonthRight - BodyLeft - 6, RowHeight);
        name->setAttribute(Qt::WA_TransparentForMouseEvents);

        for (int c = 1; c <= 15; ++c) {
            const ColumnBox box = ColumnBoxes[size_t(c)];
            auto* edit = new QLineEdit(this);
            edit->setGeometry(colLeft(c), top, colRight(c) - colLeft(c), RowHeight);
            edit->setTextMargins(0, 0, 0, 0);
            if (box.input) {
                edit->setObjectName(u"txt%1(%2)"_s.arg(m).arg(box.index + 1));
                edit->setAlignment(Qt::AlignCenter);
                edit->installEventFilter(this);
                connect(edit, &QLineEdit::textChanged, this,
                        [this, edit] { onBoxTextChanged(edit); });
                m_in[size_t(m - 1)][size_t(box.index)] = edit;
            } else {
                edit->setObjectName(u"txtR%1(%2)"_s.arg(m).arg(box.index));
                edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                edit->setReadOnly(true);
                edit->setFocusPolicy(Qt::ClickFocus);
                m_out[size_t(m - 1)][size_t(box.index)] = edit;
            }
        }
        // Row by row, a month's four readings in order.
        for (int k = 0; k < 4; ++k) {
            QWidget* w = m_in[size_t(m - 1)][size_t(k)];
            if (previous)
                setTabOrder(previous, w);
            previous = w;
        }
    }

    for (int c = 3; c <= 15; ++c) {
        const ColumnBox box = ColumnBoxes[size_t(c)];
        if (box.input || !ImbalanceResults::isShown(ImbalanceResults::TotalRow, box.index))
            continue;
        auto* edit = new QLineEdit(this);
        edit->setObjectName(u"txtR13(%1)"_s.arg(box.index));
        edit->setGeometry(colLeft(c), TotalTop, colRight(c) - colLeft(c), RowHeight);
        edit->setTextMargins(0, 0, 0, 0);
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::ClickFocus);
        setBoxColour(edit, palette().color(QPalette::ToolTipBase));
        m_out[ImbalanceResults::TotalRow][size_t(box.index)] = edit;
    }
}

QColor ImbalanceWindow::tableColour(int index) const {
    return QColor(QRgb(BgrToRgb(m_state.cellColors[size_t(index)])));
}

QColor ImbalanceWindow::monthColour(int month) const {
    return tableColour(month % 2 == 1 ? 1 : 0); // odd months Color2, even Color1
}

void ImbalanceWindow::setBoxColour(QLineEdit* box, const QColor& colour) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, colour);
    box->setPalette(p);
}

void ImbalanceWindow::applyRowColours() {
    for (int m = 1; m <= 12; ++m) {
        const QColor c = monthColour(m);
        for (QLineEdit* e : m_in[size_t(m - 1)])
            setBoxColour(e, c);
        for (QLineEdit* e : m_out[size_t(m - 1)])
            setBoxColour(e, c);
        QPalette p = m_shapes[size_t(m - 1)]->palette();
        p.setColor(QPalette::Window, c);
        m_shapes[size_t(m - 1)]->setPalette(p);
    }
}

HeadMeterTexts ImbalanceWindow::headMeterTexts() const {
    HeadMeterTexts head;
    for (int m = 0; m < 12; ++m)
        for (int k = 0; k < 4; ++k)
            head[size_t(m)][size_t(k)] = m_in[size_t(m)][size_t(k)]->text();
    return head;
}

void ImbalanceWindow::computeImbalance() {
    m_results = ComputeImbalance(m_state.table, m_year, headMeterTexts());
    for (int r = 0; r < ImbalanceResults::Rows; ++r)
        for (int c = 0; c < ImbCol::Count; ++c)
            if (QLineEdit* e = m_out[size_t(r)][size_t(c)]) {
                e->setText(m_results.texts[size_t(r)][size_t(c)]);
                e->setCursorPosition(0);
            }
    if (m_charts)
        m_charts->showImbalance(m_chart, m_results);
}

void ImbalanceWindow::onBoxTextChanged(QLineEdit* box) {
    const QString text = box->text();
    QString fixed = WithoutCellSeparator(text);
    if (const qsizetype point = fixed.indexOf(u'.'); point >= 0)
        fixed[point] = u',';
    if (fixed == text)
        return;
    box->setText(fixed); // comes back here for the next point
    box->setCursorPosition(int(box->text().size()));
}

void ImbalanceWindow::leaveInput(int month, int k) {
    HeadMeterTexts head = headMeterTexts();
    if (CarryForward(head, month, k))
        m_in[size_t(month + 1)][size_t(k + 1)]->setText(head[size_t(month + 1)][size_t(k + 1)]);
    computeImbalance();
    setBoxColour(m_in[size_t(month)][size_t(k)], monthColour(month + 1));
}

bool ImbalanceWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_cmd6) {
        if (event->type() == QEvent::Enter)
            m_hint->show();
        else if (event->type() == QEvent::Leave)
            m_hint->hide();
        return false;
    }
    for (int m = 0; m < 12; ++m)
        for (int k = 0; k < 4; ++k) {
            QLineEdit* box = m_in[size_t(m)][size_t(k)];
            if (watched != box)
                continue;
            switch (event->type()) {
            case QEvent::FocusIn:
                setBoxColour(box, tableColour(2));
                break;
            case QEvent::FocusOut: {
                // Switching to another window or opening the box's menu leaves
                // the focus where it is.
                const auto reason = static_cast<QFocusEvent*>(event)->reason();
                if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                    leaveInput(m, k);
                break;
            }
            case QEvent::KeyPress: {
                const int key = static_cast<QKeyEvent*>(event)->key();
                const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
                if ((enter || key == Qt::Key_Down) && m < 11) {
                    m_in[size_t(m + 1)][size_t(k)]->setFocus(Qt::OtherFocusReason);
                    return true;
                }
                if (key == Qt::Key_Up) {
                    if (m > 0)
                        m_in[size_t(m - 1)][size_t(k)]->setFocus(Qt::OtherFocusReason);
                    return true;
                }
                if (key == Qt::Key_Down)
                    return true;
                break;
            }
            default:
                break;
            }
            return false;
        }
    return QWidget::eventFilter(watched, event);
}

void ImbalanceWindow::mouseMoveEvent(QMouseEvent* event) {
    m_hint->hide();
    QWidget::mouseMoveEvent(event);
}

void ImbalanceWindow::closeEvent(QCloseEvent* event) {
    // Every box goes back, changed or not, into the year the window was
    // opened for, whatever the main window shows now.
    StoreHeadMeter(m_state.table, m_year, headMeterTexts());
    event->accept();
    emit closed();
}

void ImbalanceWindow::setChartShown(bool shown) {
    m_chart->setVisible(shown);
    setFixedSize(FormWidth, FormHeight + (shown ? ChartHeight : 0));
}

void ImbalanceWindow::exportWorkbook() {
    const QString title = u"Разбаланс "_s + m_lbYear->text();
    const QString chosen = m_platform.saveFileName(
        u"Экспорт"_s, WorkbookProposedPath(QString(), title), WorkbookFilter());
    const QString path = WorkbookSavePath(chosen);
    if (path.isEmpty())
        return;
    std::array<std::array<QString, ImbCol::Count>, 12> shown;
    for (int m = 0; m < 12; ++m)
        for (int c = 0; c < ImbCol::Count; ++c)
            shown[size_t(m)][size_t(c)] = m_out[size_t(m)][size_t(c)]->text();
    WriteWorkbook(ImbalanceSheet(title, headMeterTexts(), shown), path);
}

void ImbalanceWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPen thick(palette().color(QPalette::WindowText), 2);
    const QPen thin(palette().color(QPalette::Mid), 1);
    const int bodyTop = rowTop(1);

    // Heading frame and its groups.
    p.setPen(thick);
    p.drawRect(QRect(BodyLeft, HeadTop, TableRight - BodyLeft, bodyTop - HeadTop));
    for (int c : {1, 4, 7, 9, 11, 13, 14, 15})
        p.drawLine(colLeft(c), HeadTop, colLeft(c), bodyTop);
    p.setPen(thin);
    p.drawLine(colLeft(1), HeadMiddle, colLeft(13), HeadMiddle);
    for (int c : {2, 3, 5, 6, 8, 10, 12})
        p.drawLine(colLeft(c), HeadMiddle, colLeft(c), bodyTop);

    // Month names parted by thin rules; a thick rule above the year.
    for (int m = 2; m <= 12; ++m)
        p.drawLine(BodyLeft, rowTop(m), MonthRight, rowTop(m));
    p.setPen(thick);
    p.drawLine(BodyLeft, bodyTop, BodyLeft, rowTop(12) + RowHeight);
    p.drawLine(BodyLeft, TotalTop - 2, TableRight, TotalTop - 2);
}
