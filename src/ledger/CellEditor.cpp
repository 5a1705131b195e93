#include "CellEditor.h"

#include <QLineEdit>
#include <QTableView>

void ShowEditorOverCell(QLineEdit* editor, QTableView* grid, const QModelIndex& cell,
                        const QString& text) {
    grid->scrollTo(cell);
    const QRect r = grid->visualRect(cell);
    const QPoint topLeft = grid->viewport()->mapTo(editor->parentWidget(), r.topLeft());
    editor->setGeometry(topLeft.x() - 1, topLeft.y(), r.width() + 2, r.height());
    editor->show();
    editor->raise();
    editor->setText(text);
    editor->setFocus();
}

void HideCellEditor(QLineEdit* editor) {
    editor->hide();
    editor->clear();
}
