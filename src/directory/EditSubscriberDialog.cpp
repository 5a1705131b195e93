#include "EditSubscriberDialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "DirectoryFieldBoxes.h"
#include "DirectoryOps.h"
#include "core/AppState.h"
#include "storage/Database.h"
#include "core/Platform.h"
#include "core/UserWarnings.h"

using namespace Qt::StringLiterals;

EditSubscriberDialog::EditSubscriberDialog(AppState& state, Database& database, Platform& platform,
                                           int row, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_database(database), m_platform(platform),
      m_row(row), m_cmd1(new QPushButton(u"Ok"_s, this)),
      m_command1(new QPushButton(u"Отмена"_s, this)),
      m_fields(new DirectoryFieldBoxes(this, m_cmd1)) {
    setObjectName(u"frmRedakt"_s);
    setWindowTitle(u"Редактирование справочника"_s);
    m_cmd1->setObjectName(u"Cmd1"_s);
    m_command1->setObjectName(u"Command1"_s);
    for (QPushButton* b : {m_cmd1, m_command1})
        b->setMinimumSize(110, 30);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmd1);
    buttons->addWidget(m_command1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->addWidget(m_fields->frame());
    layout->addLayout(buttons);
    setFixedSize(sizeHint().width(), sizeHint().height());

    m_fields->setTexts(FieldsOf(m_state.table, m_row));
    connect(m_cmd1, &QPushButton::clicked, this, &EditSubscriberDialog::ok);
    connect(m_command1, &QPushButton::clicked, this, &QWidget::close);
    m_fields->box(0)->setFocus();
}

void EditSubscriberDialog::ok() {
    if (m_row < 1 || m_row > m_state.table.subscriberCount()) {
        close();
        return;
    }
    for (const QString& text : m_fields->texts())
        WarnIfNotStorable(m_platform, text);
    StoreEdit(m_state.table, m_row, m_fields->texts());
    emit stored(m_row);
    const bool saved = m_database.saveOrTell();
    emit databaseWritten(saved);
    close();
}

void EditSubscriberDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
