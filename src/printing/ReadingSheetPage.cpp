#include "ReadingSheetPage.h"

#include <QCloseEvent>
#include <QPainter>

#include "core/MonthNames.h"
#include "PageGeometry.h"
#include "ReadingSheetPainter.h"
#include "core/Twips.h"

using namespace Qt::StringLiterals;

ReadingSheetPage::ReadingSheetPage(const SubscriberTable& table, const MonthRequest& month,
                                   QWidget* parent)
    : PrintPage(parent), m_model(table, month.year, month.month),
      m_dateText(MonthName(month.month) + u' ' + month.year) {
    setObjectName(u"frmPrint2"_s);
    setWindowTitle(frameCaption());
    setFixedSize(int(Twips::ToPixels(ReadingSheetTwips.width())),
                 int(Twips::ToPixels(ReadingSheetTwips.height())));
}

QString ReadingSheetPage::frameCaption() const {
    return u"Печать ведомости для снятия показаний счетчиков"_s;
}

int ReadingSheetPage::pageCount() const {
    return m_model.pageCount();
}

int ReadingSheetPage::shownPage() const {
    return m_model.page();
}

void ReadingSheetPage::showPage(int page) {
    m_model.setPage(page, ReadingSheetModel::StopField::RowNumber);
    update();
}

PrintJob ReadingSheetPage::printJob() {
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

void ReadingSheetPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(Twips::ToPixels(1), Twips::ToPixels(1));
    PaintReadingSheet(painter, m_model, m_dateText);
}

void ReadingSheetPage::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
