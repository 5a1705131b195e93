#pragma once

#include <QString>

class QLineEdit;
class QModelIndex;
class QTableView;

// The in-place editors of the ledger grids: a line edit laid over the cell.
void ShowEditorOverCell(QLineEdit* editor, QTableView* grid, const QModelIndex& cell,
                        const QString& text);
// Hides the editor and drops what was typed.
void HideCellEditor(QLineEdit* editor);
