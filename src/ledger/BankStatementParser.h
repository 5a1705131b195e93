#pragma once

#include <QByteArrayView>
#include <QString>

#include "BankStatement.h"

// A statement bigger than this is refused before it is read.
constexpr qsizetype MaxStatementBytes = 50 * 1024 * 1024;

enum class StatementFailure { None, NotStatement, TooLarge };

struct BankStatementRead {
    StatementFailure failure = StatementFailure::None;
    BankStatement statement; // what was whole, when nothing failed
};

// Reads a 1CClientBankExchange file (versions 1.02 and 1.03), CR LF or LF line
// ends. A file cut off is read up to its last whole document, with a warning.
BankStatementRead ParseBankStatement(QByteArrayView bytes);

// What the user is told when the file is refused.
QString StatementFailureText(StatementFailure failure);
