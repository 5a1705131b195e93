#include "ConsumptionChartWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "readings/ConsumptionChartData.h"

using namespace Qt::StringLiterals;

ConsumptionChartWindow::ConsumptionChartWindow(const SubscriberTable& table, int row,
                                               const QString& yearText, QWidget* parent)
    : QWidget(parent), m_table(table) {
    setObjectName(u"frmGrafik"_s);
    setWindowTitle(u"График потребления"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    QString error;
    m_charts = ChartModule(&error);
    if (m_charts) {
        layout->addWidget(m_charts->consumptionChart(this, &m_parts));
    } else {
        auto* reason = new QLabel(u"График недоступен: "_s + error, this);
        reason->setWordWrap(true);
        layout->addWidget(reason);
    }
    resize(760, 440);
    refresh(row, yearText);
}

void ConsumptionChartWindow::refresh(int row, const QString& yearText) {
    if (m_charts)
        m_charts->showConsumption(m_parts, SubscriberConsumption(m_table, row, yearText));
}

void ConsumptionChartWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
