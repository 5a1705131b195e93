#include "QrCodeWindow.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "ReceiptPainter.h"

using namespace Qt::StringLiterals;

namespace {

// Light modules around the code that a reader needs to find it.
constexpr int QuietModules = 4;
constexpr int MaxModulePixels = 10;

} // namespace

QrCodeWindow::QrCodeWindow(const QrMatrix& code, std::vector<std::vector<QPoint>> outline,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), m_modules(code.size()), m_outline(std::move(outline)) {
    setObjectName(u"frmQr"_s);
    setWindowTitle(u"QR-код для оплаты"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    const int side = m_modules + 2 * QuietModules;
    // As large as fits two thirds of the screen, whole pixels to a module so
    // that every module is as sharp as the next.
    const QScreen* screen = parent ? parent->screen() : nullptr;
    const int room =
        screen ? std::min(screen->availableSize().width(), screen->availableSize().height()) * 2 / 3
               : side * MaxModulePixels;
    m_module = std::clamp(room / side, MinModulePixels, MaxModulePixels);
    setFixedSize(side * m_module, side * m_module);
}

void QrCodeWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const double codeSide = m_modules * m_module;
    PaintCode(painter, m_modules, m_outline,
              QRectF(QuietModules * m_module, QuietModules * m_module, codeSide, codeSide));
}

void QrCodeWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
