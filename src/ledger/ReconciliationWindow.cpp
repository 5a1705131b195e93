#include "ReconciliationWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "DebtorsExport.h"
#include "DebtorsModel.h"
#include "DebtorsPainter.h"
#include "core/AppState.h"
#include "core/NumberText.h"
#include "core/Platform.h"
#include "printing/PageGeometry.h"

using namespace Qt::StringLiterals;

ReconciliationWindow::ReconciliationWindow(AppState& state, Platform& platform, int yearIndex,
                                           int month, QWidget* parent)
    : QWidget(parent), m_state(state), m_platform(platform),
      m_model(new DebtorsModel(MakeDebtorsList(state.table, yearIndex, month), this)),
      m_grid(new QTableView(this)) {
    setObjectName(u"frmSverka"_s);
    setWindowTitle(u"Сверка расчётов"_s);
    const DebtorsList& list = m_model->list();

    auto* title = new QLabel(list.title, this);
    title->setObjectName(u"lblTitle"_s);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    title->setFont(bold);

    m_grid->setObjectName(u"g"_s);
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(20);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);
    m_grid->setColumnWidth(DebtorsModel::ColLabel, 280);
    m_grid->setColumnWidth(DebtorsModel::ColPlot, 90);
    m_grid->setColumnWidth(DebtorsModel::ColDebt, 110);
    m_grid->setColumnWidth(DebtorsModel::ColCredit, 110);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    // Sorted by row until a header is clicked.
    m_grid->horizontalHeader()->setSortIndicator(DebtorsModel::ColLabel, Qt::AscendingOrder);
    m_grid->setSortingEnabled(true);

    // The totals stand under their columns.
    m_totals = new QWidget(this);
    m_totals->setFixedHeight(24);
    auto* totalsLabel = new QLabel(u"Итого"_s, m_totals);
    totalsLabel->setObjectName(u"lblItogo"_s);
    auto* debt = new QLabel(FormatMoney(list.totalDebt), m_totals);
    debt->setObjectName(u"lblDebt"_s);
    auto* credit = new QLabel(FormatMoney(list.totalCredit), m_totals);
    credit->setObjectName(u"lblCredit"_s);
    m_totalLabels = {totalsLabel, debt, credit};
    for (QLabel* l : m_totalLabels) {
        l->setFont(bold);
        l->setAlignment((l == totalsLabel ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this,
            &ReconciliationWindow::placeTotals);
    auto* count =
        new QLabel(u"Абонентов в списке: "_s + QString::number(list.entries.size()), this);
    count->setObjectName(u"lblCount"_s);

    auto* printButton = new QPushButton(u"Печать"_s, this);
    printButton->setObjectName(u"CmdPrint"_s);
    auto* exportButton = new QPushButton(u"Экспорт в Excel"_s, this);
    exportButton->setObjectName(u"CmdExport"_s);
    auto* closeButton = new QPushButton(u"Закрыть"_s, this);
    closeButton->setObjectName(u"CmdClose"_s);
    connect(printButton, &QPushButton::clicked, this, &ReconciliationWindow::print);
    connect(exportButton, &QPushButton::clicked, this, &ReconciliationWindow::exportList);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(count);
    buttons->addSpacing(16);
    buttons->addWidget(printButton);
    buttons->addWidget(exportButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_totals);
    layout->addLayout(buttons);
    resize(660, 560);
}

void ReconciliationWindow::placeTotals() {
    const QHeaderView* header = m_grid->horizontalHeader();
    const int x0 = m_grid->frameWidth();
    auto span = [&](int first, int last) {
        const int left = x0 + header->sectionViewportPosition(first);
        const int right = x0 + header->sectionViewportPosition(last) + header->sectionSize(last);
        return QRect(left + 4, 0, right - left - 8, m_totals->height());
    };
    m_totalLabels[0]->setGeometry(span(DebtorsModel::ColLabel, DebtorsModel::ColPlot));
    m_totalLabels[1]->setGeometry(span(DebtorsModel::ColDebt, DebtorsModel::ColDebt));
    m_totalLabels[2]->setGeometry(span(DebtorsModel::ColCredit, DebtorsModel::ColCredit));
}

void ReconciliationWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The last column stretches once the layout has placed the grid.
    QTimer::singleShot(0, this, &ReconciliationWindow::placeTotals);
}

void ReconciliationWindow::print() {
    // What is printed is what is shown, in the shown order.
    const DebtorsList list = m_model->list();
    PrintJob job;
    job.title = u"Сверка расчётов"_s;
    job.orientation = PageOrientation::Portrait;
    job.pageCount = DebtorsPage::pageCount(list);
    job.paint = [list](QPainter& painter, int page, double width, double height) {
        PageGeometry::fitPage(painter, DebtorsPage::size(), width, height);
        PaintDebtorsPage(painter, list, page);
    };
    m_platform.print(job);
}

void ReconciliationWindow::exportList() {
    ExportDebtors(m_model->list(), m_state.programFolder, m_platform);
}

void ReconciliationWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
