#include "LedgerPrintPage.h"

#include <QCloseEvent>
#include <QPainter>

#include "LedgerPagePainter.h"
#include "core/MonthNames.h"
#include "core/YearLayout.h"
#include "PageGeometry.h"
#include "core/AppState.h"
#include "core/Twips.h"

using namespace Qt::StringLiterals;

LedgerPrintPage::LedgerPrintPage(AppState& state, Platform&, QWidget* parent)
    : PrintPage(parent), m_state(state),
      m_model(state.table, LedgerColumn(state.printYear, state.printMonth)),
      m_dateText(state.printYear + u"   "_s + MonthName(state.printMonth)) {
    setObjectName(u"frmPrint1"_s);
    setWindowTitle(frameCaption());
    m_state.printMode = 1;
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
    m_state.printMode = 0;
    event->accept();
    emit closed();
}
