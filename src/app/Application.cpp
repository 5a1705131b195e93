#include "Application.h"

#include <QApplication>
#include <QDir>

#include "core/DatabaseFile.h"
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
    connect(form, &Form1::closed, this, &Application::onMainClosed);
    // Windows that are not there yet stay disabled rather than pretend.
    for (const auto* name :
         {u"Cmd1", u"Mnu_Abonenty", u"CmdRazbalans", u"Menu_Tools_Razbalans", u"Cmd2",
          u"Mnu_LicSchet", u"Cmd3", u"Menu_Tools_kalc", u"Menu_Tools_Perenos", u"Menu_Tuns_Save",
          u"Menu_Tuns_Coloor", u"Menu_Tuns_RCopy", u"Menu_Tuns_Vost", u"Menu_Tuns_Vost1",
          u"Menu_Hlp_About", u"Menu_Hlp_Hlp1", u"Cmd5", u"Vedomost"})
        form->setCommandEnabled(QString::fromUtf16(name), false);
}

void Application::onMainClosed(bool directorySwitch) {
    if (m_form)
        m_form->deleteLater();
    if (directorySwitch)
        return;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w != m_form && w->isVisible())
            w->close();
    emit finished(0);
}
