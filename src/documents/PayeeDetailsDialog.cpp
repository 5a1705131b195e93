#include "PayeeDetailsDialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "PayeeValidation.h"
#include "core/Platform.h"

using namespace Qt::StringLiterals;

namespace {

QString FieldCaption(PayeeField f) {
    static const std::array<QString, PayeeFieldCount> captions = {u"Получатель (полное название)"_s,
                                                                  u"ИНН"_s,
                                                                  u"КПП"_s,
                                                                  u"Расчётный счёт"_s,
                                                                  u"Банк"_s,
                                                                  u"БИК"_s,
                                                                  u"Корр. счёт"_s,
                                                                  u"Назначение платежа"_s};
    return captions[size_t(f)];
}

QString Indexed(const QString& name, int i) {
    return name + u'(' + QString::number(i) + u')';
}

} // namespace

PayeeDetailsDialog::PayeeDetailsDialog(AppState&, Platform& platform, QWidget* parent)
    : QWidget(parent), m_platform(platform) {
    setObjectName(u"frmRekv"_s);
    setWindowTitle(u"Реквизиты получателя"_s);
    setWindowFlag(Qt::Dialog);

    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(2);
    const PayeeDetails stored = LoadPayeeDetails(m_platform.settings());
    for (int i = 0; i < PayeeFieldCount; ++i) {
        const auto f = PayeeField(i);
        auto* caption = new QLabel(FieldCaption(f), this);
        auto* edit = new QLineEdit(stored[f], this);
        edit->setObjectName(Indexed(u"txtRekv"_s, i));
        edit->setMinimumWidth(f == PayeeField::Name || f == PayeeField::Purpose ? 460 : 240);
        caption->setBuddy(edit);
        auto* error = new QLabel(this);
        error->setObjectName(Indexed(u"lblErr"_s, i));
        QPalette p = error->palette();
        p.setColor(QPalette::WindowText, QColor(200, 0, 0));
        error->setPalette(p);
        error->setWordWrap(true);
        error->hide();
        grid->addWidget(caption, 2 * i, 0);
        grid->addWidget(edit, 2 * i, 1);
        grid->addWidget(error, 2 * i + 1, 1);
        connect(edit, &QLineEdit::returnPressed, this, &PayeeDetailsDialog::save);
        m_edits[size_t(i)] = edit;
        m_errors[size_t(i)] = error;
    }
    auto* hint =
        new QLabel(u"В назначении платежа подставляются {месяц}, {год}, {участок} и {фио}.\n"
                   u"Пустые реквизиты: квитанции печатаются без QR-кода."_s,
                   this);
    hint->setObjectName(u"lblHint"_s);

    auto* saveButton = new QPushButton(u"Сохранить"_s, this);
    saveButton->setObjectName(u"CmdSave"_s);
    saveButton->setDefault(true);
    auto* cancel = new QPushButton(u"Отмена"_s, this);
    cancel->setObjectName(u"CmdCancel"_s);
    connect(saveButton, &QPushButton::clicked, this, &PayeeDetailsDialog::save);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(hint);
    layout->addLayout(buttons);
}

void PayeeDetailsDialog::save() {
    PayeeDetails typed;
    for (int i = 0; i < PayeeFieldCount; ++i)
        typed.fields[size_t(i)] = m_edits[size_t(i)]->text();
    const PayeeDetails details = typed.normalized();
    for (int i = 0; i < PayeeFieldCount; ++i) {
        m_edits[size_t(i)]->setText(details.fields[size_t(i)]);
        m_errors[size_t(i)]->clear();
        m_errors[size_t(i)]->hide();
    }
    const auto problems = ValidatePayee(details);
    for (const PayeeProblem& problem : problems) {
        QLabel* label = m_errors[size_t(problem.field)];
        label->setText(PayeeErrorText(problem));
        label->show();
    }
    if (!problems.empty()) {
        m_edits[size_t(problems.front().field)]->setFocus();
        return;
    }
    StorePayeeDetails(m_platform.settings(), details);
    close();
}

void PayeeDetailsDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
