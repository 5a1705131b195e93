#include "HotKeysHelp.h"

#include <QCloseEvent>
#include <QLabel>

using namespace Qt::StringLiterals;

const QStringList& HotKeysHelp::Lines() {
    // The Latin "c" in "вcтавить" and "cтрелка" and the double spaces are
    // part of the texts.
    static const QStringList lines = {
        u"Для редактирования ячейки кликните по ней мышкой.           Ячейка, если она "
        u"редактируемая подсветится зеленым цветом. "_s,
        u"При редактировании:"_s,
        u"Shift+cтрелка - выделить текст в направлении стрелки от курсора."_s,
        u"Ctr + C - копировать выделенный текст  в буфер."_s,
        u"Ctr + X - вырезать выделенный текст в буфер."_s,
        u"Ctr + V - вcтавить из буфера."_s,
        u"Ctr + Z - отмена."_s,
        u"Эти функции есть и  в контекстном меню, которое можно вызвать кликнув по полю правой "
        u"кнопкой мыши."_s,
        u"Для сохранения результатов редактирования - нажмите Enter."_s,
        u"Для выхода без сохранения - кликните мышкой по любой другой ячейке или клавиша Esc."_s,
    };
    return lines;
}

HotKeysHelp::HotKeysHelp(AppState&, Platform&, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(u"frmHlp1"_s);
    setWindowTitle(u"Справка по горячим клавишам"_s);
    constexpr int Margin = 16, Width = 560, Spacing = 6;
    int top = 14;
    for (int i = 0; i < Lines().size(); ++i) {
        auto* label = new QLabel(Lines().at(i), this);
        label->setObjectName(u"Label1(%1)"_s.arg(i));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        if (i == 1) {
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
        }
        const int h = label->heightForWidth(Width - 2 * Margin);
        label->setGeometry(Margin, top, Width - 2 * Margin, h);
        top += h + Spacing;
    }
    setFixedSize(Width, top + Margin - Spacing);
}

void HotKeysHelp::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
