#include "MonthCell.h"

#include <array>
#include <bit>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace {

const QMargins TextMargins(1, 0, 1, 0);
// The gap a line edit keeps on either side of its text, inside the margins.
constexpr int LineEditHorizontalMargin = 2;

// Events the cell hands to its editor: what the user points at or types.
bool IsForEditor(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace

MonthCell::MonthCell(int month, int index, bool result, QWidget* parent)
    : QWidget(parent), m_month(month), m_index(index), m_result(result) {
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setFocusPolicy(result ? Qt::ClickFocus : Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(!result); // as a line edit, which takes dropped text
#ifndef QT_NO_CURSOR
    setCursor(result ? Qt::ArrowCursor : Qt::IBeamCursor);
#endif
}

// Results to the right, entries centred.
Qt::Alignment MonthCell::alignment() const {
    return m_result ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignCenter;
}

QString MonthCell::text() const {
    return m_editor ? m_editor->text() : m_text;
}

void MonthCell::setText(const QString& text) {
    if (m_editor) {
        m_editor->setText(text); // its signal is passed on
        return;
    }
    m_cursor = -1;
    if (text == m_text)
        return;
    m_text = text;
    m_layout.reset();
    update();
    emit textChanged(m_text);
}

int MonthCell::cursorPosition() const {
    if (m_editor)
        return m_editor->cursorPosition();
    return m_cursor < 0 ? int(m_text.size()) : m_cursor;
}

void MonthCell::setCursorPosition(int position) {
    if (m_editor)
        m_editor->setCursorPosition(position);
    else
        m_cursor = qBound(0, position, int(m_text.size()));
}

void MonthCell::selectAll() {
    editor()->selectAll();
}

void MonthCell::setFrame(bool frame) {
    m_frame = frame;
    if (m_editor)
        m_editor->setFrame(frame);
    update();
}

void MonthCell::setBackground(const QColor& color) {
    QPalette p = palette();
    if (p.color(QPalette::Base) == color)
        return;
    p.setColor(QPalette::Base, color);
    setPalette(p); // the editor takes the cell's palette
}

void MonthCell::setWarning(const QString& reason) {
    if (toolTip() == reason)
        return;
    QPalette p = palette();
    p.setColor(QPalette::Text,
               reason.isEmpty() ? QApplication::palette().color(QPalette::Text) : QColor(Qt::red));
    setPalette(p);
    setToolTip(reason); // the editor has none, so its tooltip event comes here
}

void MonthCell::setEditorWatcher(QObject* watcher) {
    if (m_editor && m_watcher)
        m_editor->removeEventFilter(m_watcher);
    m_watcher = watcher;
    if (m_editor && m_watcher)
        m_editor->installEventFilter(m_watcher);
}

QLineEdit* MonthCell::editor() {
    if (m_editor)
        return m_editor;
    auto* e = new QLineEdit(this);
    e->setFrame(m_frame);
    e->setAlignment(alignment());
    e->setReadOnly(m_result);
    e->setFocusPolicy(focusPolicy());
    e->setTextMargins(TextMargins);
    e->setText(m_text);
    if (m_cursor >= 0)
        e->setCursorPosition(m_cursor);
    e->setGeometry(rect());
    connect(e, &QLineEdit::textChanged, this, &MonthCell::textChanged);
    connect(e, &QLineEdit::textEdited, this, &MonthCell::textEdited);
    // Right after the cell in the tab order; the cell, proxied, is passed over.
    QWidget::setTabOrder(this, e);
    setFocusProxy(e);
    m_editor = e;
    m_layout.reset(); // the editor paints from now on
    if (m_watcher)
        e->installEventFilter(m_watcher);
    e->show();
    return e;
}

MonthCell* MonthCell::of(QObject* object) {
    if (auto* cell = qobject_cast<MonthCell*>(object))
        return cell;
    if (!object)
        return nullptr;
    auto* cell = qobject_cast<MonthCell*>(object->parent());
    return cell && cell->m_editor == object ? cell : nullptr;
}

bool MonthCell::event(QEvent* event) {
    // Text dragged over the cell: the editor made now lies under the pointer,
    // and the window sends the drag on to it.
    if (event->type() == QEvent::DragEnter) {
        editor();
        event->ignore();
        return true;
    }
    // An event the editor leaves goes on to its parent, this cell: it must
    // not be handed back.
    if (IsForEditor(event->type()) && !m_forwarding) {
        QLineEdit* e = editor();
        m_forwarding = true;
        QCoreApplication::sendEvent(e, event);
        m_forwarding = false;
        return true;
    }
    return QWidget::event(event);
}

void MonthCell::focusInEvent(QFocusEvent* event) {
    editor()->setFocus(event->reason());
}

void MonthCell::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LayoutDirectionChange)
        m_layout.reset();
    QWidget::changeEvent(event);
}

// The text laid out as a line edit lays it out, kept until the text or the
// font changes: a repaint of the whole window then only draws.
QTextLine MonthCell::textLine() {
    if (!m_layout) {
        m_layout = std::make_unique<QTextLayout>(m_text, font());
        QTextOption option = m_layout->textOption();
        option.setTextDirection(layoutDirection());
        option.setFlags(QTextOption::IncludeTrailingSpaces);
        m_layout->setTextOption(option);
        m_layout->beginLayout();
        m_layout->createLine();
        m_layout->endLayout();
    }
    return m_layout->lineAt(0);
}

void MonthCell::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_editor)
        m_editor->setGeometry(rect());
}

// The cells of a column differ in their text only: their line-edit panel, the
// larger part of painting one, is drawn once for each look and then copied.
void MonthCell::drawPanel(QPainter& p, const QStyleOptionFrame& panel) {
    const QBrush& background = palette().brush(backgroundRole());
    if (background.style() != Qt::SolidPattern || panel.rect != rect()) {
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &p, this);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    // Each number of the look goes into the key as four characters, not as
    // text: formatting them was most of the cost of a copied panel.
    std::array<char16_t, 4 * (6 + QPalette::NColorRoles)> look{};
    size_t at = 0;
    const auto add = [&look, &at](quint64 n) {
        for (int shift = 0; shift < 64; shift += 16)
            look[at++] = char16_t(n >> shift);
    };
    add(quint64(width()));
    add(quint64(height()));
    add(quint64(panel.lineWidth));
    add(quint64(panel.state.toInt()));
    add(std::bit_cast<quint64>(double(ratio)));
    add(quintptr(style()));
    for (int role = 0; role < QPalette::NColorRoles; ++role)
        add(panel.palette.color(QPalette::ColorRole(role)).rgba());
    const QString key = u"MonthCell "_s + QStringView(look.data(), qsizetype(look.size()));
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap(size() * ratio);
        pixmap.setDevicePixelRatio(ratio);
        // What the widget's own background fill leaves under the panel.
        pixmap.fill(background.color());
        QPainter onPixmap(&pixmap);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &onPixmap, this);
        onPixmap.end();
        QPixmapCache::insert(key, pixmap);
    }
    p.drawPixmap(0, 0, pixmap);
}

// As a line edit paints itself with no focus and its cursor at the end.
void MonthCell::paintEvent(QPaintEvent*) {
    if (m_editor)
        return;
    QPainter p(this);
    QStyleOptionFrame panel;
    panel.initFrom(this);
    panel.rect = contentsRect();
    panel.lineWidth =
        m_frame ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, this) : 0;
    panel.midLineWidth = 0;
    panel.state |= QStyle::State_Sunken;
    if (m_result)
        panel.state |= QStyle::State_ReadOnly;
    panel.features = QStyleOptionFrame::None;
    drawPanel(p, panel);
    if (m_text.isEmpty())
        return;

    const QRect r = style()
                        ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                        .marginsRemoved(TextMargins);
    p.setClipRect(r);
    const QFontMetrics fm = fontMetrics();
    const QTextLine line = textLine();
    const int lineTop = r.y() + (r.height() - fm.height() + 1) / 2;
    const int lineWidth = r.width() - 2 * LineEditHorizontalMargin;
    const int widthUsed = qRound(line.naturalTextWidth()) + 1;
    const int cursorX = qRound(line.cursorToX(cursorPosition()));
    int hscroll = 0;
    if (widthUsed <= lineWidth)
        hscroll =
            alignment() & Qt::AlignRight ? widthUsed - lineWidth + 1 : (widthUsed - lineWidth) / 2;
    else if (cursorX >= lineWidth)
        hscroll = cursorX - lineWidth + 1;
    const QPoint topLeft(r.x() + LineEditHorizontalMargin - hscroll,
                         lineTop - (qRound(line.ascent()) - fm.ascent()));
    p.setPen(palette().text().color());
    m_layout->draw(&p, topLeft, {}, r);
}
