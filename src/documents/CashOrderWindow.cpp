#include "CashOrderWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "OrderPainter.h"
#include "core/Platform.h"
#include "core/Settings.h"
#include "core/Twips.h"
#include "printing/PageGeometry.h"

using namespace Qt::StringLiterals;

namespace {

const QString Section = u"Nastr"_s;

} // namespace

CashOrderWindow::CashOrderWindow(const SubscriberTable& table, Platform& platform,
                                 const DocumentRequest& request, QWidget* parent)
    : QWidget(parent), m_platform(platform), m_editor(new QLineEdit(this)),
      m_print(new QPushButton(u"Печать "_s, this)), m_noVat(new QCheckBox(u"без НДС"_s, this)) {
    setObjectName(u"frmOrd"_s);
    setWindowTitle(u"Ордер"_s);
    setFixedSize(OrderLayout::BlankWidthPx + 8, 620);

    m_editor->setObjectName(u"txt1"_s);
    m_editor->setVisible(false);
    m_editor->setFont(OrderLabelFont());
    m_editor->installEventFilter(this);
    m_print->setObjectName(u"Command1"_s);
    m_print->setGeometry(Twips::ToPixelsTruncated(5790), Twips::ToPixelsTruncated(8655), 90, 26);
    connect(m_print, &QPushButton::clicked, this, &CashOrderWindow::print);
    m_noVat->setObjectName(u"ChNDS"_s);
    m_noVat->setGeometry(m_print->geometry().right() + 24, m_print->y(), 160, m_print->height());

    const Settings& s = m_platform.settings();
    const OrderSettings stored{s.text(Section, u"lb0"_s),
                               s.text(Section, u"lb1"_s),
                               s.text(Section, u"lb4"_s),
                               s.text(Section, u"lb14"_s),
                               s.text(Section, u"lb19"_s),
                               s.text(Section, u"lb20"_s),
                               LoadVatMode(s)};
    m_date = m_platform.now().date();
    const OrderContent content =
        MakeOrder(table, request.row, request.month, request.year, stored, m_date);
    m_labels = content.labels;
    m_total = content.total;
    m_noVat->setChecked(stored.vat == VatMode::None);
    connect(m_noVat, &QCheckBox::toggled, this,
            [this](bool on) { setVatMode(on ? VatMode::None : VatMode::ByDate); });
    if (content.formatError)
        m_platform.message(u"Неправильный формат введенной суммы"_s, u"Ошибка формата"_s,
                           MsgIcon::Critical, MsgButtons::Ok);
}

QString CashOrderWindow::label(int i) const {
    return i >= 0 && i < OrderLayout::Labels ? m_labels[size_t(i)] : QString();
}

QRect CashOrderWindow::labelGeometry(int i) {
    const QRect r = OrderLayout::labelRect(i);
    return QRect(Twips::ToPixelsTruncated(r.x()), Twips::ToPixelsTruncated(r.y()),
                 Twips::ToPixelsTruncated(r.width()), Twips::ToPixelsTruncated(r.height()));
}

void CashOrderWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintOrder(painter, m_labels);
}

void CashOrderWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    for (int i = 0; i < OrderLayout::Labels; ++i) {
        if (labelGeometry(i).contains(pos)) {
            startEdit(i);
            return;
        }
    }
    cancelEdit();
}

void CashOrderWindow::mousePressEvent(QMouseEvent* event) {
    // A click on the blank or the window drops the edit.
    cancelEdit();
    QWidget::mousePressEvent(event);
}

void CashOrderWindow::startEdit(int i) {
    m_edited = i;
    const QRect r = labelGeometry(i);
    m_editor->setAlignment(OrderLayout::labelAlignment(i) & Qt::AlignHorizontal_Mask);
    m_editor->setGeometry(r.x(), r.y(), std::max(r.width(), 40), std::max(r.height(), 16));
    m_editor->setText(m_labels[size_t(i)]);
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus();
    m_editor->selectAll();
}

void CashOrderWindow::commitEdit(bool goOn) {
    if (m_edited < 0)
        return;
    const int i = m_edited;
    m_labels[size_t(i)] = m_editor->text();
    const int twin = OrderLayout::twin(i);
    if (twin >= 0)
        m_labels[size_t(twin)] = m_editor->text();
    cancelEdit();
    update();
    if (goOn && i + 1 < OrderLayout::Labels)
        startEdit(i + 1);
}

void CashOrderWindow::cancelEdit() {
    m_edited = -1;
    m_editor->hide();
}

bool CashOrderWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_editor) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                commitEdit(true);
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                cancelEdit();
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            commitEdit(false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CashOrderWindow::setVatMode(VatMode mode) {
    cancelEdit();
    StoreVatMode(m_platform.settings(), mode);
    const VatLines vat = MakeVatLines(m_total, m_date, mode);
    m_labels[7] = vat.receipt;
    m_labels[16] = vat.order;
    update();
}

void CashOrderWindow::print() {
    cancelEdit();
    m_print->hide();
    PrintJob job;
    job.title = windowTitle();
    job.orientation = PageOrientation::Landscape;
    job.pageCount = 1;
    job.paint = [this](QPainter& painter, int, double width, double height) {
        const double k = Twips::PerPixel;
        PageGeometry::fitPage(painter,
                              QSizeF(OrderLayout::BlankWidthPx * k, OrderLayout::BlankHeightPx * k),
                              width, height);
        painter.scale(k, k);
        PaintOrder(painter, m_labels);
    };
    // A cancelled preview leaves the order open for another try.
    if (m_platform.print(job)) {
        close();
        return;
    }
    m_print->show();
}

void CashOrderWindow::closeEvent(QCloseEvent* event) {
    Settings& s = m_platform.settings();
    s.setText(Section, u"lb0"_s, m_labels[0]);
    s.setText(Section, u"lb1"_s, m_labels[1]);
    s.setText(Section, u"lb4"_s, m_labels[4]);
    s.setText(Section, u"lb14"_s, m_labels[14]);
    s.setText(Section, u"lb19"_s, m_labels[19]);
    s.setText(Section, u"lb20"_s, m_labels[20]);
    event->accept();
    emit closed();
}
