#include "PrintFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "PrintPage.h"
#include "core/Platform.h"

using namespace Qt::StringLiterals;

PrintFrame::PrintFrame(Platform& platform, QWidget* parent)
    : QWidget(parent), m_platform(platform), m_toolbar(new QToolBar(this)),
      m_buttonRow(new QWidget(this)), m_area(new QScrollArea(this)) {
    setWindowTitle(u"Печать"_s);
    m_toolbar->setObjectName(u"Toolbar1"_s);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* printAction =
        m_toolbar->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton), u"Печать"_s);
    printAction->setObjectName(u"Print"_s);
    QAction* deleteAction =
        m_toolbar->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton), u"Закрыть"_s);
    deleteAction->setObjectName(u"Delete"_s);
    connect(printAction, &QAction::triggered, this, &PrintFrame::print);
    connect(deleteAction, &QAction::triggered, this, &QWidget::close);

    auto* buttons = new QHBoxLayout(m_buttonRow);
    buttons->setContentsMargins(4, 2, 4, 2);
    buttons->setSpacing(2);
    for (int k = 1; k <= MaxPageButtons; ++k) {
        auto* b = new QPushButton(QString::number(k), m_buttonRow);
        b->setObjectName(u"Cmd1(%1)"_s.arg(k));
        b->setFixedWidth(32);
        b->setVisible(false);
        connect(b, &QPushButton::clicked, this, [this, k] { showPageNumber(k); });
        buttons->addWidget(b);
        m_cmd1[size_t(k - 1)] = b;
    }
    buttons->addStretch();

    m_area->setObjectName(u"pageArea"_s);
    m_area->setWidgetResizable(false);
    m_area->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_area->setBackgroundRole(QPalette::Dark);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_buttonRow);
    layout->addWidget(m_area, 1);
    resize(1180, 860);
}

PrintFrame::~PrintFrame() {
    if (m_page)
        disconnect(m_page, nullptr, this, nullptr);
}

void PrintFrame::setPage(QWidget* page) {
    m_page = page;
    page->setAttribute(Qt::WA_DeleteOnClose);
    m_area->setWidget(page);
    connect(page, &QObject::destroyed, this, &PrintFrame::pageGone);

    auto* printPage = qobject_cast<PrintPage*>(page);
    m_toolbar->setVisible(printPage != nullptr);
    m_buttonRow->setVisible(printPage != nullptr);
    if (printPage) {
        setWindowTitle(printPage->frameCaption());
        const int pages = std::clamp(printPage->pageCount(), 1, MaxPageButtons);
        for (int k = 1; k <= MaxPageButtons; ++k)
            m_cmd1[size_t(k - 1)]->setVisible(k <= pages);
        showPageNumber(printPage->shownPage());
    } else {
        setWindowTitle(page->windowTitle());
    }
}

void PrintFrame::showPageNumber(int page) {
    auto* printPage = qobject_cast<PrintPage*>(m_page.data());
    if (!printPage)
        return;
    if (page != printPage->shownPage())
        printPage->showPage(page);
    // The disabled button marks the shown page.
    for (int k = 1; k <= MaxPageButtons; ++k)
        m_cmd1[size_t(k - 1)]->setEnabled(k != page);
}

void PrintFrame::print() {
    auto* printPage = qobject_cast<PrintPage*>(m_page.data());
    if (!printPage)
        return;
    m_platform.print(printPage->printJob());
}

void PrintFrame::pageGone() {
    m_page = nullptr;
    close();
}

void PrintFrame::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        event->accept();
        return;
    }
    m_closing = true;
    if (m_page) {
        QWidget* page = m_page;
        disconnect(page, &QObject::destroyed, this, &PrintFrame::pageGone);
        if (!page->close()) {
            // The page window refused: the frame stays.
            connect(page, &QObject::destroyed, this, &PrintFrame::pageGone);
            m_closing = false;
            event->ignore();
            return;
        }
        m_page = nullptr;
    }
    event->accept();
    m_closing = false;
    emit closed();
}
