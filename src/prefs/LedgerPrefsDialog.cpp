#include "LedgerPrefsDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "Preferences.h"
#include "core/AppState.h"
#include "core/Platform.h"

using namespace Qt::StringLiterals;

LedgerPrefsDialog::LedgerPrefsDialog(AppState& state, Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_state(state),
      m_platform(platform) {
    setObjectName(u"frmTunLs"_s);
    setWindowTitle(u"Настройки в лицевом счете"_s);

    auto* frame = new QGroupBox(u"Настройка перехода по ячейкам"_s, this);
    frame->setObjectName(u"Frame1"_s);
    frame->setGeometry(12, 10, 316, 86);
    m_down = new QRadioButton(u"При нажатии Enter переходить вниз"_s, frame);
    m_down->setObjectName(u"Op1"_s);
    m_right = new QRadioButton(u"При нажатии Enter переходить вправо"_s, frame);
    m_right->setObjectName(u"Op2"_s);
    auto* column = new QVBoxLayout(frame);
    column->addWidget(m_down);
    column->addWidget(m_right);

    m_paint = new QCheckBox(u"Подкрашивать строку"_s, this);
    m_paint->setObjectName(u"ChP"_s);
    m_paint->setGeometry(20, 106, 300, 24);

    auto* ok = new QPushButton(u"OK"_s, this);
    ok->setObjectName(u"CmdOk"_s);
    ok->setDefault(true);
    ok->setGeometry(228, 140, 100, 30);
    connect(ok, &QPushButton::clicked, this, &LedgerPrefsDialog::accept);

    m_down->setChecked(state.flPls);
    m_right->setChecked(!state.flPls);
    m_paint->setChecked(state.flPs);
    setFixedSize(340, 184);
}

void LedgerPrefsDialog::accept() {
    m_state.flPls = m_down->isChecked();
    m_state.flPs = m_paint->isChecked();
    StoreLedgerPreferences(m_state, m_platform.settings());
    emit preferencesChanged();
    close();
}

void LedgerPrefsDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
