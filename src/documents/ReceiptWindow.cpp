#include "ReceiptWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "PayeeValidation.h"
#include "ReceiptPainter.h"
#include "core/Platform.h"
#include "core/Settings.h"
#include "core/Twips.h"
#include "printing/PageGeometry.h"

using namespace Qt::StringLiterals;

namespace {

const QString Section = u"Nastr"_s;

QRect toPixels(const QRect& twips) {
    return QRect(int(Twips::ToPixels(twips.x())), int(Twips::ToPixels(twips.y())),
                 int(Twips::ToPixels(twips.width())), int(Twips::ToPixels(twips.height())));
}

} // namespace

ReceiptWindow::ReceiptWindow(const SubscriberTable& table, Platform& platform,
                             const DocumentRequest& request, QWidget* parent)
    : QWidget(parent), m_platform(platform), m_payBy(new QLineEdit(this)),
      m_print(new QPushButton(u"Печать "_s, this)),
      m_copies(new QCheckBox(u"2 экземпляра"_s, this)) {
    setObjectName(u"frmKvit"_s);
    setWindowTitle(u"Квитанция"_s);
    m_content = MakeReceipt(table, request.row, request.month, request.year);
    const PayeeDetails payee = LoadPayeeDetails(m_platform.settings());
    m_payment = MakeReceiptPayment(payee, table, request.row, request.month, request.year);
    const bool withPayee = m_payment.has_value();

    m_payBy->setObjectName(u"txtOPL(0)"_s);
    m_payBy->setFrame(false);
    m_payBy->setFont(PageGeometry::pixelFont(9));
    m_payBy->setGeometry(toPixels(ReceiptPage::payByRect(0, withPayee)));
    m_print->setObjectName(u"Command1"_s);
    m_print->setGeometry(toPixels(ReceiptPage::buttonRect(withPayee)).adjusted(0, -2, 0, 2));
    m_copies->setObjectName(u"Ch1"_s);
    m_copies->setGeometry(toPixels(ReceiptPage::copiesBoxRect(withPayee)));
    if (PayeeDetailsRejected(payee)) {
        // Beside the pay-by line, the buttons a line lower: read before printing.
        auto* warning =
            new QLabel(u"Ошибка в реквизитах: Настройки → Реквизиты получателя..."_s, this);
        warning->setObjectName(u"lblRekv"_s);
        warning->setFont(PageGeometry::pixelFont(9));
        warning->setToolTip(u"Сохранённые реквизиты получателя не проходят проверку. Квитанция "
                            u"печатается без них и без QR-кода, пока они не исправлены."_s);
        QPalette red = warning->palette();
        red.setColor(QPalette::WindowText, QColor(200, 0, 0));
        warning->setPalette(red);
        const QRect payByLine = m_payBy->geometry();
        const int windowWidth = int(Twips::ToPixels(ReceiptPage::Width));
        warning->setGeometry(payByLine.right() + 12, payByLine.y(),
                             windowWidth - payByLine.right() - 16, payByLine.height());
        m_print->move(m_print->x(), payByLine.bottom() + 2);
        m_copies->move(m_copies->x(), payByLine.bottom() + 2);
    }
    if (m_payment && m_payment->code) {
        for (int copy = 0; copy < 2; ++copy) {
            auto* spot = new QWidget(this);
            spot->setObjectName(u"codeSpot(%1)"_s.arg(copy));
            spot->setGeometry(toPixels(ReceiptPage::codeRect(copy)));
            spot->setCursor(Qt::PointingHandCursor);
            spot->setToolTip(u"Показать QR-код крупно"_s);
            spot->installEventFilter(this);
            m_codeSpots[size_t(copy)] = spot;
        }
    }

    Settings& settings = m_platform.settings();
    m_payBy->setText(settings.text(Section, u"txtOPL"_s));
    m_copies->setChecked(settings.number(Section, u"Ch100"_s) == 1);
    fitToCopies();
    // The second copy repeats the pay-by text as it is typed.
    connect(m_payBy, &QLineEdit::textChanged, this, [this] { update(); });
    connect(m_copies, &QCheckBox::toggled, this, &ReceiptWindow::fitToCopies);
    connect(m_print, &QPushButton::clicked, this, &ReceiptWindow::print);

    if (m_content.t1EndEmpty)
        m_platform.message(u"Поле (показания счетчика на комец месяца) не заполнено!"_s,
                           u"Ошибка ввода"_s, MsgIcon::Critical, MsgButtons::Ok);
    if (m_content.t1StartEmpty)
        m_platform.message(u"Поле (показания счетчика на начало месяца) не заполнено!"_s,
                           u"Ошибка ввода"_s, MsgIcon::Critical, MsgButtons::Ok);
}

const ReceiptPayment* ReceiptWindow::paymentShown() const {
    return m_payment ? &*m_payment : nullptr;
}

QString ReceiptWindow::payBy() const {
    return m_payBy->text();
}

bool ReceiptWindow::twoCopies() const {
    return m_copies->isChecked();
}

void ReceiptWindow::fitToCopies() {
    const int height = twoCopies() ? ReceiptPage::TwoCopiesHeight : ReceiptPage::OneCopyHeight;
    setFixedSize(int(Twips::ToPixels(ReceiptPage::Width)), int(Twips::ToPixels(height)));
    if (m_codeSpots[1])
        m_codeSpots[1]->setVisible(twoCopies());
    update();
}

bool ReceiptWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool onCode = watched == m_codeSpots[0] || watched == m_codeSpots[1];
    if (onCode && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        showLargeCode();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ReceiptWindow::showLargeCode() {
    if (!m_largeCode)
        m_largeCode = new QrCodeWindow(*m_payment->code, m_payment->codeOutline, this);
    m_largeCode->show();
    m_largeCode->raise();
    m_largeCode->activateWindow();
}

void ReceiptWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(Twips::ToPixels(1), Twips::ToPixels(1));
    PaintReceipt(painter, m_content, payBy(), twoCopies(), false, paymentShown());
}

void ReceiptWindow::print() {
    fitToCopies();
    PrintJob job;
    job.title = windowTitle();
    job.orientation = PageOrientation::Portrait;
    job.pageCount = 1;
    // One scale for one copy or two, the same as a month's receipts print
    // with: a receipt looks the same however it was printed.
    const QSizeF page(ReceiptPage::Width, ReceiptPage::TwoCopiesHeight);
    job.paint = [this, page](QPainter& painter, int, double width, double height) {
        PageGeometry::fitPage(painter, page, width, height);
        PaintReceipt(painter, m_content, payBy(), twoCopies(), true, paymentShown());
    };
    // A cancelled preview leaves the receipt open for another try.
    if (m_platform.print(job))
        close();
}

void ReceiptWindow::closeEvent(QCloseEvent* event) {
    Settings& settings = m_platform.settings();
    settings.setText(u"Nastr"_s, u"txtOPL"_s, payBy());
    settings.setNumber(u"Nastr"_s, u"Ch100"_s, twoCopies() ? 1 : 0);
    event->accept();
    emit closed();
}
