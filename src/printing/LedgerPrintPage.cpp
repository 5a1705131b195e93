#include "LedgerPrintPage.h"

#include <QCloseEvent>
#include <QPainter>

#include "LedgerPagePainter.h"
#include "core/MonthNames.h"
#include "core/YearLayout.h"
#include "PageGeometry.h"
#include "core/Twips.h"

using namespace Qt::StringLiterals;

LedgerPrintPage::LedgerPrintPage(const SubscriberTable& table, const MonthRequest& month,
                                 QWidget* parent)
    : PrintPage(parent), m_model(table, LedgerColumn(month.year, month.month)),
      m_dateText(month.year + u"   "_s + MonthName(month.month)) {
    setObjectName(u"frmPrint1"_s);
    setWindowTitle(frameCaption());
    setFixedSize(int(Twips::ToPixels(LedgerPageTwips.width())),
                 int(Twips::ToPixels(LedgerPageTwips.height())));
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
    painter.scale(Twips::ToPixels(1), Twips::ToPixels(1));
    PaintLedgerPage(painter, m_model, m_dateText, false);
}

void LedgerPrintPage::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
