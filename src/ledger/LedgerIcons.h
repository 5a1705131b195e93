#pragma once

#include <QIcon>

// The pictures of the ledger's buttons, drawn rather than shipped.
enum class LedgerIconKind {
    Save,
    Print,
    Calculator,
    Export,
    Settings,
    Help,
    Left,
    Right,
    MonthReceipts,
    Reconciliation,
    BankStatement
};
QIcon LedgerIcon(LedgerIconKind kind);
