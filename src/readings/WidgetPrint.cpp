#include "WidgetPrint.h"

#include <algorithm>

#include <QPainter>
#include <QWidget>

#include "core/Platform.h"

void PrintWidget(Platform& platform, QWidget* widget, const QString& title) {
    PrintJob job;
    job.title = title;
    job.orientation = PageOrientation::Landscape;
    job.pageCount = 1;
    job.paint = [widget](QPainter& painter, int, double width, double height) {
        const double scale = std::min(width / widget->width(), height / widget->height());
        painter.scale(scale, scale);
        widget->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    };
    platform.print(job);
}
