#pragma once

#include <vector>

#include <QString>

#include "PayeeDetails.h"

enum class PayeeError {
    Missing,       // a field a bank transfer cannot do without
    BicDigits,     // not 9 digits
    AccountDigits, // not 20 digits
    AccountKey,    // control key does not match the BIC
    CorrPrefix,    // a correspondent account starts with 30101
    InnDigits,     // not 10 or 12 digits
    InnCheck,      // check digits wrong
    KppForm,       // not 9 characters of the allowed kinds
    TooLong,       // longer than the payment code's field allows
};

struct PayeeProblem {
    PayeeField field;
    PayeeError error;
    friend bool operator==(const PayeeProblem&, const PayeeProblem&) = default;
};

// Every problem of the (normalized) details, at most one per field. Empty
// details have none; otherwise the name, ИНН, accounts, bank and БИК must be
// there, the КПП may be left out.
std::vector<PayeeProblem> ValidatePayee(const PayeeDetails& details);
// What the details window shows under the field.
QString PayeeErrorText(const PayeeProblem& problem);
// The longest text the payment code takes for the field; 0 for no limit
// checked here (the numbers have their own lengths).
int PayeeMaxLength(PayeeField field);
// Details that are filled in but fail a check: stored by hand, not through
// the details window. Receipts leave them out.
bool PayeeDetailsRejected(const PayeeDetails& details);

bool IsBic(const QString& bic);
// The Bank of Russia control key (weights 7, 1, 3) of a settlement account
// opened in the bank with this BIC, and of the bank's correspondent account.
bool AccountKeyMatches(const QString& bic, const QString& account);
bool CorrAccountKeyMatches(const QString& bic, const QString& corrAccount);
bool IsValidInn(const QString& inn);
bool IsValidKpp(const QString& kpp);
