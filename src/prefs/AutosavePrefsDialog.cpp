#include "AutosavePrefsDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "Preferences.h"
#include "core/Platform.h"
#include "storage/Database.h"

using namespace Qt::StringLiterals;

AutosavePrefsDialog::AutosavePrefsDialog(Database& database, Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_database(database), m_platform(platform) {
    setObjectName(u"frmTunSave"_s);
    setWindowTitle(u"Параметры сохранения"_s);

    m_save = new QCheckBox(u"Сохранять изменения на HDD каждые 2 минуты"_s, this);
    m_save->setObjectName(u"ChSave1"_s);
    m_save->setGeometry(16, 14, 400, 24);
    m_save->setChecked(database.autosave());

    auto* label = new QLabel(
        u"Если этот флаг не установлен то изменения в базе будут сохраняться на HDD  при выходе "
        u"из программы, при закрытии формы лицевого счета, при добавлении новых абонентов или "
        u"при нажатии кнопки \"Сохранить\" ( с изображением дискеты)."_s,
        this);
    label->setObjectName(u"Label1"_s);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(16, 46, 400, 72);

    auto* ok = new QPushButton(u"OK"_s, this);
    ok->setObjectName(u"CmdOk"_s);
    ok->setDefault(true);
    ok->setGeometry(316, 128, 100, 30);
    connect(ok, &QPushButton::clicked, this, &AutosavePrefsDialog::accept);
    setFixedSize(432, 172);
}

void AutosavePrefsDialog::accept() {
    m_database.setAutosave(m_save->isChecked());
    emit autosaveChanged(m_database.autosave());
    close();
}

void AutosavePrefsDialog::closeEvent(QCloseEvent* event) {
    StoreAutosave(m_database.autosave(), m_platform.settings());
    event->accept();
    emit closed();
}
