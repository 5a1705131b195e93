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
    MemberAccount,
    ReceiptPdfs,
    BankStatement
};
QIcon LedgerIcon(LedgerIconKind kind);
