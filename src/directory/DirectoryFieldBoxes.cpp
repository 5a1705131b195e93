#include "DirectoryFieldBoxes.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/CellSeparator.h"

using namespace Qt::StringLiterals;

namespace {

const char16_t* const Captions[5] = {u"Фамилия И. О.", u"Адрес", u"Телефон", u"Тип счетчика",
                                     u"Примечание"};

void setBackground(QLineEdit* box, bool focused) {
    QPalette p = box->palette();
    if (focused)
        p.setColor(QPalette::Base, QColor(255, 255, 0));
    else
        p.setColor(QPalette::Base, QApplication::palette(box).color(QPalette::Base));
    box->setPalette(p);
}

bool isEnter(QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

DirectoryFieldBoxes::DirectoryFieldBoxes(QWidget* window, QPushButton* cmd1)
    : QObject(window), m_frame(new QGroupBox(window)), m_cmd1(cmd1) {
    m_frame->setObjectName(u"Frame1"_s);
    auto* grid = new QGridLayout(m_frame);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    for (int k = 0; k < 5; ++k) {
        auto* label = new QLabel(QString::fromUtf16(Captions[k]), m_frame);
        label->setObjectName(u"lbl1(%1)"_s.arg(k));
        auto* box = new QLineEdit(m_frame);
        box->setObjectName(u"txt1(%1)"_s.arg(k));
        box->setMinimumWidth(300);
        label->setBuddy(box);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, box] {
            refuseSeparator(box);
            updateCommand();
        });
        grid->addWidget(label, k, 0);
        grid->addWidget(box, k, 1);
        m_boxes[size_t(k)] = box;
        m_labels[size_t(k)] = label;
    }
    // A focused button takes Enter as a click, as the boxes lead there.
    m_cmd1->installEventFilter(this);
    updateCommand();
}

DirectoryFields DirectoryFieldBoxes::texts() const {
    DirectoryFields f;
    for (int k = 0; k < 5; ++k)
        f[size_t(k)] = m_boxes[size_t(k)]->text();
    return f;
}

void DirectoryFieldBoxes::setTexts(const DirectoryFields& fields) {
    for (int k = 0; k < 5; ++k)
        m_boxes[size_t(k)]->setText(fields[size_t(k)]);
}

void DirectoryFieldBoxes::clear() {
    for (QLineEdit* box : m_boxes)
        box->clear();
}

void DirectoryFieldBoxes::refuseSeparator(QLineEdit* box) {
    const QString fixed = WithoutCellSeparator(box->text());
    if (fixed == box->text())
        return;
    // The caret stays after the same character.
    const int caret = box->cursorPosition();
    const QString before = box->text().left(caret);
    box->setText(fixed);
    box->setCursorPosition(int(WithoutCellSeparator(before).size()));
}

void DirectoryFieldBoxes::updateCommand() {
    m_cmd1->setEnabled(!TrimSpaces(m_boxes[0]->text()).isEmpty());
}

void DirectoryFieldBoxes::left(int k) {
    QLineEdit* box = m_boxes[size_t(k)];
    if (k == 0) {
        box->setText(ProperCase(box->text()));
        if (onNameLeft)
            onNameLeft();
    }
    box->setText(RemoveLineBreaks(box->text()));
    setBackground(box, false);
}

bool DirectoryFieldBoxes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_cmd1) {
        if (isEnter(event) && m_cmd1->isEnabled()) {
            m_cmd1->click();
            return true;
        }
        return false;
    }
    int k = 0;
    while (k < 5 && m_boxes[size_t(k)] != watched)
        ++k;
    if (k == 5)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
        setBackground(m_boxes[size_t(k)], true);
        break;
    case QEvent::FocusOut: {
        // Another window coming up (a message box) does not leave the box.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            left(k);
        break;
    }
    case QEvent::KeyPress:
        if (isEnter(event)) {
            if (k < 4)
                m_boxes[size_t(k + 1)]->setFocus(Qt::TabFocusReason);
            else if (m_cmd1->isEnabled())
                m_cmd1->setFocus(Qt::TabFocusReason);
            return true; // no line break, no other use of Enter
        }
        break;
    default:
        break;
    }
    return false;
}
