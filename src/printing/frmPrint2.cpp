#include "frmPrint2.h"

#include <QCloseEvent>
#include <QPainter>

#include "LedgerColumn.h"
#include "PageGeometry.h"
#include "ReadingSheetPainter.h"
#include "core/AppState.h"

using namespace Qt::StringLiterals;

frmPrint2::frmPrint2(AppState& state, Platform&, QWidget* parent)
    : PrintPage(parent), m_state(state), m_model(state.table, state.docYear, state.docMonth),
      m_dateText(MonthName(state.docMonth) + u' ' + state.docYear) {
    setObjectName(u"frmPrint2"_s);
    setWindowTitle(frameCaption());
    m_state.printMode = 2;
    setFixedSize(int(ReadingSheetTwips.width() / PageGeometry::TwipsPerPixel),
                 int(ReadingSheetTwips.height() / PageGeometry::TwipsPerPixel));
}

QString frmPrint2::frameCaption() const {
    return u"Печать ведомости для снятия показаний счетчиков"_s;
}

int frmPrint2::pageCount() const {
    return m_model.pageCount();
}

int frmPrint2::shownPage() const {
    return m_model.page();
}

void frmPrint2::showPage(int page) {
    m_model.setPage(page, ReadingSheetModel::StopField::RowNumber);
    update();
}

PrintJob frmPrint2::printJob() {
    PrintJob job;
    job.title = frameCaption();
    job.orientation = PageOrientation::Portrait;
    job.pageCount = 1;
    job.paint = [this](QPainter& painter, int, double width, double height) {
        PageGeometry::fitPage(painter, ReadingSheetTwips, width, height);
        PaintReadingSheet(painter, m_model, m_dateText);
    };
    return job;
}

void frmPrint2::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(1 / PageGeometry::TwipsPerPixel, 1 / PageGeometry::TwipsPerPixel);
    PaintReadingSheet(painter, m_model, m_dateText);
}

void frmPrint2::closeEvent(QCloseEvent* event) {
    m_state.docMonth = 0;
    m_state.docYear.clear();
    m_state.printMode = 0;
    event->accept();
    emit closed();
}
