#include "AboutDialog.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

QString AboutDialog::AgreementText() {
    return u"Остреванка 2.1 — программа учёта электроэнергии садоводческого товарищества: "
           u"показания двухтарифных счётчиков абонентов и общего счётчика, расчёт начислений "
           u"и небаланса, лицевые счета, квитанции и приходные кассовые ордера.\n\n"
           u"Пользовательское соглашение\n\n"
           u"1. Программа предоставляется «как есть». Автор не отвечает за убытки, вызванные "
           u"её использованием, ошибками ввода или потерей данных.\n"
           u"2. Все данные хранятся только на этом компьютере, в файле Ostrevanka21.spb в папке "
           u"программы. Программа ничего не передаёт по сети.\n"
           u"3. Пользователь сам проверяет начисления перед выдачей документов и регулярно "
           u"делает резервные копии базы (меню «Настройки» — «Резервное копирование базы»).\n"
           u"4. Программу можно свободно копировать и использовать в товариществе при "
           u"сохранении этого текста.\n\n"
           u"Нажимая OK или продолжая работу, вы принимаете эти условия."_s;
}

AboutDialog::AboutDialog(AppState&, Platform&, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(u"frmAbout"_s);
    setWindowTitle(u"О программе Остреванка 2.1"_s);

    auto* text = new QPlainTextEdit(AgreementText(), this);
    text->setObjectName(u"txtSogl"_s);
    text->setReadOnly(true);
    text->setGeometry(12, 12, 456, 236);

    auto* ok = new QPushButton(u"OK"_s, this);
    ok->setObjectName(u"cmdOK"_s);
    ok->setDefault(true);
    ok->setGeometry(184, 258, 112, 30);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    setFixedSize(480, 300);
}

bool AboutDialog::event(QEvent* event) {
    // Clicking anywhere else closes the window. Deferred, so the window is
    // not closed from inside the activation change that reports it.
    if (event->type() == QEvent::WindowDeactivate && isVisible())
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                close();
        });
    return QWidget::event(event);
}

void AboutDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
