#include "Application.h"

#include <QApplication>
#include <QDir>

#include "core/DatabaseFile.h"
#include "printing/MDIfrmPrint.h"
#include "printing/frmPrint2.h"
#include "readings/Form1.h"

using namespace Qt::StringLiterals;

Application::Application(Platform& platform, const QString& programFolder) : m_platform(platform) {
    m_state.programFolder = programFolder;
    m_state.databasePath = QDir(programFolder).filePath(DatabaseFile::FileName);
}

Application::~Application() {
    delete m_form;
}

bool Application::start() {
    return openMainWindow();
}

bool Application::openMainWindow() {
    auto* form = new Form1(m_state, m_platform);
    m_form = form;
    wire(form);
    if (!form->load()) {
        delete form;
        emit finished(1);
        return false;
    }
    form->show();
    return true;
}

void Application::wire(Form1* form) {
    connect(form, &Form1::closing, this, &Application::closeOtherWindows);
    connect(form, &Form1::closed, this, &Application::onMainClosed);
    connect(form, &Form1::imbalanceRequested, this, &Application::openImbalance);
    connect(form, &Form1::readingSheetRequested, this, [this] {
        if (m_state.docMonth < 1)
            return;
        m_form->hide();
        openInPrintFrame(new frmPrint2(m_state, m_platform), [this] {
            if (m_form)
                m_form->show();
        });
    });
    // Windows that are not there yet stay disabled rather than pretend.
    for (const auto* name : {u"Cmd1", u"Mnu_Abonenty", u"Cmd2", u"Mnu_LicSchet", u"Cmd3",
                             u"Menu_Tools_kalc", u"Menu_Tools_Perenos", u"Menu_Tuns_Save",
                             u"Menu_Tuns_Coloor", u"Menu_Hlp_About", u"Menu_Hlp_Hlp1", u"Cmd5"})
        form->setCommandEnabled(QString::fromUtf16(name), false);
}

void Application::openImbalance() {
    const bool fresh = !m_imbalance;
    frmRazbalans* window = frmRazbalans::showSingle(m_imbalance, m_state, m_platform);
    if (!fresh)
        return;
    connect(window, &frmRazbalans::closed, this, [this] {
        if (!m_form)
            return;
        m_form->setEnabled(true);
        m_form->VICHISLIT();
    });
}

void Application::openInPrintFrame(QWidget* page, const std::function<void()>& done) {
    auto* frame = new MDIfrmPrint(m_state, m_platform);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setPage(page);
    connect(frame, &MDIfrmPrint::closed, this, done);
    frame->show();
}

void Application::closeOtherWindows() {
    // They store what they show into the table before it is written.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w != m_form && w->isVisible() && w->isWindow())
            w->close();
}

void Application::onMainClosed(bool directorySwitch) {
    if (m_form)
        m_form->deleteLater();
    if (directorySwitch)
        return;
    closeOtherWindows();
    emit finished(0);
}
