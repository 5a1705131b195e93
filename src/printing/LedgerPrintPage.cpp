#include "LedgerPrintPage.h"

#include <QCloseEvent>
#include <QPainter>

#include "LedgerPagePainter.h"
#include "LedgerColumn.h"
#include "PageGeometry.h"

using namespace Qt::StringLiterals;

LedgerPrintPage::LedgerPrintPage(const SubscriberTable& table, const MonthRequest& month,
                                 QWidget* parent)
    : PrintPage(parent), m_model(table, LedgerColumnOf(month.year, month.month)),
      m_dateText(month.year + u"   "_s + MonthName(month.month)) {
    setObjectName(u"frmPrint1"_s);
    setWindowTitle(frameCaption());
    setFixedSize(int(LedgerPageTwips.width() / PageGeometry::TwipsPerPixel),
                 int(LedgerPageTwips.height() / PageGeometry::TwipsPerPixel));
}

QString LedgerPrintPage::frameCaption() const {
    return u"Печать лицевого счета"_s;
}

int LedgerPrintPage::pageCount() const {
    return m_model.pageCount();
}

int LedgerPrintPage::shownPage() const {
    return m_model.page();
}

void LedgerPrintPage::showPage(int page) {
    m_model.setPage(page);
    update();
}

PrintJob LedgerPrintPage::printJob() {
    PrintJob job;
    job.title = frameCaption();
    job.orientation = PageOrientation::Landscape;
    job.pageCount = 1;
    job.paint = [this](QPainter& painter, int, double width, double height) {
        PageGeometry::fitPage(painter, LedgerPageTwips, width, height);
        PaintLedgerPage(painter, m_model, m_dateText, true);
    };
    return job;
}

void LedgerPrintPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(1 / PageGeometry::TwipsPerPixel, 1 / PageGeometry::TwipsPerPixel);
    PaintLedgerPage(painter, m_model, m_dateText, false);
}

void LedgerPrintPage::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
