#include "MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include "core/CellSeparator.h"
#include "core/LineBreaks.h"
#include "core/MonthNames.h"
#include "core/UserWarnings.h"
#include "readings/EntryText.h"
#include "readings/MonthCell.h"
#include "readings/ReadingsCheck.h"

// How the main window answers the user's hand: entering, typing into and
// leaving a cell, the keys that move between months, the quick copy, and the
// hover over the month names and the toolbar.

using namespace Qt::StringLiterals;

namespace {

// A message box, a menu, the menu bar or another window has the focus only
// for a while: losing it to them is not leaving the cell, and getting it
// back is no new entering.
bool IsFocusLent(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
           reason == Qt::MenuBarFocusReason;
}

} // namespace

void MainWindow::onCellTextChanged(MonthCell* cell) {
    const QString text = cell->text();
    const QString fixed = WithoutCellSeparator(ApplySeparatorRule(text, cell->index()));
    if (fixed != text) {
        cell->setText(fixed);
        cell->setCursorPosition(int(fixed.size()));
    }
    if (cell->index() >= T1Current && cell->index() <= T2Previous)
        markLowerReading(cell->month());
}

void MainWindow::markLowerReading(int month) {
    for (const int current : {int(T1Current), int(T2Current)}) {
        const QString previous = entryCell(month, current + 1)->text();
        MonthCell* cell = entryCell(month, current);
        cell->setWarning(CurrentBelowPrevious(cell->text(), previous)
                             ? CurrentBelowPreviousTip(previous)
                             : QString());
    }
}

void MainWindow::onCellFocusIn(MonthCell* cell, Qt::FocusReason reason) {
    cell->setBackground(focusColor());
    // A command may have left the cell while the focus was lent.
    if (!IsFocusLent(reason))
        owe(cell);
}

void MainWindow::owe(MonthCell* cell) {
    if (m_cellToLeave != cell)
        leaveOwedCell();
    m_cellToLeave = cell;
}

void MainWindow::leaveOwedCell() {
    if (m_cellToLeave)
        onCellFocusOut(m_cellToLeave);
}

// The leave-cell sequence; it runs once for each entering of the cell.
void MainWindow::onCellFocusOut(MonthCell* cell) {
    if (m_leaving || cell != m_cellToLeave)
        return;
    m_cellToLeave = nullptr;
    m_leaving = true;
    // The cell belongs to the row and year shown, whatever the selectors
    // name while a choice is made: the store and the computation use those.
    const int m = cell->month();
    const int s = cell->index();
    const QString cleaned = RemoveLineBreaks(cell->text());
    if (cleaned != cell->text())
        cell->setText(cleaned);
    WarnIfNotStorable(m_platform, cell->text());
    YearSheet::Entries shown = shownEntries();
    for (const YearSheet::Cell& c :
         YearSheet::leaveCell(shown, m, s, {m_ch1->isChecked(), m_ch2->isChecked()}))
        entryCell(c.month, c.slot)->setText(c.text);
    storeShownCells();
    computeYear();
    cell->setBackground(monthColor(m));
    m_leaving = false;
}

bool MainWindow::onCellKey(MonthCell* cell, int key) {
    const int m = cell->month();
    const int s = cell->index();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
        if (m < 12)
            entryCell(m + 1, s)->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (key == Qt::Key_Up) {
        if (m > 1)
            entryCell(m - 1, s)->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return false;
}

void MainWindow::onQuickCopy(MonthCell* cell) {
    const int s = cell->index();
    if (!YearSheet::isQuickCopySlot(s))
        return;
    const QString text = cell->text();
    if (m_platform.message(u"Копировать содержимое этой ячейки: "_s + text +
                               u" для всех абонентов? "_s,
                           u"Быстрое копирование."_s, MsgIcon::Question, MsgButtons::YesNo,
                           MsgAnswer::No) == MsgAnswer::Yes)
        copyToAllSubscribers(cell->month(), s, text);
}

void MainWindow::setMonthLabelsBold(int boldMonth) {
    for (int m = 1; m <= 12; ++m) {
        QLabel* l = m_monthLabels[size_t(m - 1)];
        if (l->font().bold() == (m == boldMonth))
            continue;
        QFont f = l->font();
        f.setBold(m == boldMonth);
        l->setFont(f);
    }
}

void MainWindow::hideButtonCaptions() {
    for (QLabel* l : m_buttonCaptions)
        l->hide();
}

void MainWindow::onMonthLabelReleased(int month, Qt::MouseButton button, const QPoint& globalPos) {
    m_popupMonthName = MonthNames()[month - 1];
    m_popupLabelIndex = 100 + month;
    if (button == Qt::RightButton)
        m_popup->popup(globalPos);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (MonthCell* cell = MonthCell::of(watched)) {
        if (type == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
            emit helpRequested();
            return true;
        }
        if (cell->isResult())
            return false;
        switch (type) {
        case QEvent::FocusIn:
            onCellFocusIn(cell, static_cast<QFocusEvent*>(event)->reason());
            break;
        case QEvent::FocusOut:
            // A command run from the menu leaves the cell itself, once.
            if (!IsFocusLent(static_cast<QFocusEvent*>(event)->reason())) {
                onCellFocusOut(cell);
                cell->setBackground(monthColor(cell->month()));
            }
            break;
        case QEvent::KeyPress:
            return onCellKey(cell, static_cast<QKeyEvent*>(event)->key());
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
                onQuickCopy(cell);
                return true;
            }
            break;
        default:
            break;
        }
        return false;
    }
    if (watched == m_subscriber || watched == m_year) {
        if (type == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
            emit helpRequested();
            return true;
        }
        return false;
    }
    for (int m = 1; m <= 12; ++m) {
        if (watched != m_monthLabels[size_t(m - 1)])
            continue;
        if (type == QEvent::Enter || type == QEvent::MouseMove)
            setMonthLabelsBold(m);
        if (type == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            onMonthLabelReleased(m, me->button(), me->globalPosition().toPoint());
            return true;
        }
        return false;
    }
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (watched != m_buttons[i])
            continue;
        if (type == QEvent::Enter) {
            hideButtonCaptions();
            m_buttonCaptions[i]->show();
        }
        return false;
    }
    // A move over a label or a button that it does not take reaches the
    // background too: only the background's own moves reset the hover.
    const auto onBackground = [event](QWidget* background) {
        if (event->type() != QEvent::MouseMove)
            return true;
        return !background->childAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    };
    if (watched == m_client && (type == QEvent::MouseMove || type == QEvent::Enter) &&
        onBackground(m_client)) {
        setMonthLabelsBold(0);
        hideButtonCaptions();
    } else if (watched == m_buttonBar && (type == QEvent::MouseMove || type == QEvent::Enter) &&
               onBackground(m_buttonBar)) {
        hideButtonCaptions();
    }
    return QMainWindow::eventFilter(watched, event);
}
