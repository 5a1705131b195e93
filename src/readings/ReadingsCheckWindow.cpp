#include "ReadingsCheckWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/SubscriberTable.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"
#include "readings/ReadingsCheckExport.h"
#include "readings/ReadingsCheckModel.h"
#include "readings/ReadingsCheckPage.h"

using namespace Qt::StringLiterals;

namespace {
QString arrayName(const QString& name, int index) {
    return name + u'(' + QString::number(index) + u')';
}
} // namespace

ReadingsCheckWindow::ReadingsCheckWindow(AppState& state, Platform& platform,
                                         const QString& yearText, QWidget* parent)
    : QWidget(parent), m_state(state), m_platform(platform) {
    setObjectName(u"frmProverka"_s);
    setWindowTitle(u"Проверка показаний"_s);
    m_model = new ReadingsCheckModel(this);

    auto* top = new QHBoxLayout;
    m_year = new QLabel(this);
    m_year->setObjectName(u"Lbyear"_s);
    QFont bold = m_year->font();
    bold.setBold(true);
    m_year->setFont(bold);
    top->addWidget(m_year);
    top->addStretch();
    auto* printButton = new QPushButton(u"Печать"_s, this);
    printButton->setObjectName(u"CmdPrint"_s);
    auto* exportButton = new QPushButton(u"Экспорт"_s, this);
    exportButton->setObjectName(u"CmdExport"_s);
    top->addWidget(printButton);
    top->addWidget(exportButton);
    connect(printButton, &QPushButton::clicked, this, &ReadingsCheckWindow::print);
    connect(exportButton, &QPushButton::clicked, this, &ReadingsCheckWindow::exportList);

    auto* kinds = new QHBoxLayout;
    for (int k = 0; k < FindingKindCount; ++k) {
        auto* box = new QCheckBox(FindingKindName(FindingKind(k)), this);
        box->setObjectName(arrayName(u"ChKind"_s, k));
        box->setChecked(true);
        auto* count = new QLabel(this);
        count->setObjectName(arrayName(u"LbCount"_s, k));
        count->setMinimumWidth(28);
        kinds->addWidget(box);
        kinds->addWidget(count);
        kinds->addSpacing(10);
        connect(box, &QCheckBox::toggled, this,
                [this, k](bool on) { m_model->setKindShown(FindingKind(k), on); });
        m_kinds[size_t(k)] = box;
        m_counts[size_t(k)] = count;
    }
    kinds->addStretch();

    m_view = new QTableView(this);
    m_view->setObjectName(u"gList"_s);
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(20);
    m_view->setAlternatingRowColors(true);
    m_view->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {40, 170, 80, 200};
    for (int c = 0; c < int(std::size(widths)); ++c)
        m_view->setColumnWidth(c, widths[c]);
    connect(m_view, &QTableView::doubleClicked, this, &ReadingsCheckWindow::onActivated);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(kinds);
    layout->addWidget(m_view);
    resize(900, 520);
    refresh(yearText);
}

ReadingsCheckWindow::~ReadingsCheckWindow() = default;

void ReadingsCheckWindow::refresh(const QString& yearText) {
    const QModelIndex current = m_view->currentIndex();
    std::optional<ReadingFinding> selected;
    if (current.isValid())
        selected = m_model->finding(current.row());
    m_yearText = yearText;
    const auto y = m_state.table.offeredYears().indexOf(m_yearText);
    m_year->setText(y ? m_yearText + u" г."_s : QString());
    if (y)
        m_model->check(m_state.table, *y);
    else
        m_model->check(SubscriberTable(), 0);
    updateCounts();
    if (selected) {
        const int line = m_model->lineOf(*selected);
        if (line >= 0)
            m_view->setCurrentIndex(m_model->index(line, current.column()));
    }
}

void ReadingsCheckWindow::updateCounts() {
    for (int k = 0; k < FindingKindCount; ++k)
        m_counts[size_t(k)]->setText(QString::number(m_model->count(FindingKind(k))));
}

void ReadingsCheckWindow::onActivated(const QModelIndex& index) {
    if (!index.isValid())
        return;
    const ReadingFinding& f = m_model->finding(index.row());
    emit cellRequested(f.row, m_yearText, f.month, f.slot);
}

void ReadingsCheckWindow::print() {
    PrintJob job;
    job.title = windowTitle();
    job.orientation = PageOrientation::Landscape;
    const QList<QStringList> lines = m_model->shownTexts();
    job.pageCount = ReadingsCheckPageCount(lines.size());
    const QString title = u"Проверка показаний "_s + m_yearText + u" г."_s;
    job.paint = [lines, title](QPainter& painter, int page, double width, double height) {
        PaintReadingsCheckPage(painter, title, lines, page, width, height);
    };
    m_platform.print(job);
}

void ReadingsCheckWindow::exportList() {
    const QString chosen = m_platform.saveFileName(
        u"Экспорт в Excel"_s,
        WorkbookProposedPath(m_state.programFolder, ReadingsCheckExportName(m_yearText)),
        WorkbookFilter());
    const QString path = WorkbookSavePath(chosen);
    if (path.isEmpty())
        return;
    // A failed export ends without a message, as the other exports do.
    WriteWorkbook(ReadingsCheckSheet(m_yearText, m_model->shownTexts()), path);
}

bool ReadingsCheckWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        emit becameActive();
    return QWidget::event(event);
}

void ReadingsCheckWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
