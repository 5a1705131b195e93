#include "AddSubscriberDialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "DirectoryFieldBoxes.h"
#include "DirectoryOps.h"
#include "core/AppState.h"
#include "storage/Database.h"
#include "core/Platform.h"
#include "core/UserWarnings.h"

using namespace Qt::StringLiterals;

AddSubscriberDialog::AddSubscriberDialog(AppState& state, Database& database, Platform& platform,
                                         QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_database(database), m_platform(platform),
      m_cmd1(new QPushButton(u"Добавить"_s, this)),
      m_cmdOk(new QPushButton(u"Занести в базу"_s, this)),
      m_fields(new DirectoryFieldBoxes(this, m_cmd1)) {
    setObjectName(u"frmAdd"_s);
    setWindowTitle(u"Добавление нового абонента"_s);
    m_cmd1->setObjectName(u"Cmd1"_s);
    m_cmdOk->setObjectName(u"CmdOk"_s);
    m_cmdOk->setVisible(false);
    for (QPushButton* b : {m_cmd1, m_cmdOk})
        b->setMinimumSize(130, 30);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmd1);
    buttons->addWidget(m_cmdOk);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->addWidget(m_fields->frame());
    layout->addLayout(buttons);
    setFixedSize(sizeHint().width(), sizeHint().height());

    m_fields->onNameLeft = [this] { checkDuplicate(); };
    connect(m_cmd1, &QPushButton::clicked, this, &AddSubscriberDialog::add);
    connect(m_cmdOk, &QPushButton::clicked, this, &AddSubscriberDialog::commit);
    m_fields->box(0)->setFocus();
}

void AddSubscriberDialog::checkDuplicate() {
    const QString name = m_fields->box(0)->text();
    const int last = m_state.table.subscriberCount() + m_addedCount;
    if (!NameExists(m_state.table, name, last))
        return;
    m_platform.message(u"Абонент с такой Фамилией И. О. уже есть!"_s, u"Повтор Ф. И. О."_s,
                       MsgIcon::Critical, MsgButtons::Ok);
    // Back to the name once the focus change under way is over.
    QTimer::singleShot(0, m_fields->box(0), [box = m_fields->box(0)] { box->setFocus(); });
}

void AddSubscriberDialog::add() {
    for (const QString& text : m_fields->texts())
        WarnIfNotStorable(m_platform, text);
    switch (AddPending(m_state.table, m_addedCount, m_fields->texts())) {
    case AddStatus::EmptyName:
        m_platform.message(u"Не введена Фамилия И. О. "_s, u"Ошибка ввода"_s, MsgIcon::Critical,
                           MsgButtons::Ok);
        m_fields->box(0)->setFocus();
        return;
    case AddStatus::TableFull:
        m_platform.message(
            u"Справочник заполнен: в нём может быть не более 501 абонента, считая ещё не "
            "занесённых в базу. Абонент не добавлен."_s,
            u"Ошибка ввода"_s, MsgIcon::Critical, MsgButtons::Ok);
        return;
    case AddStatus::Added:
        break;
    }
    ++m_addedCount;
    m_fields->box(0)->setFocus();
    m_fields->clear();
    m_cmdOk->setVisible(true);
}

void AddSubscriberDialog::commit() {
    CommitPending(m_state.table, m_addedCount);
    m_addedCount = 0;
    const bool ok = m_database.saveOrTell();
    emit databaseWritten(ok);
    emit committed();
    close();
}

void AddSubscriberDialog::closeEvent(QCloseEvent* event) {
    // Pending subscribers not committed stay past the count and are never saved.
    m_addedCount = 0;
    event->accept();
    emit closed();
}
