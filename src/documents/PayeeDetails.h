#pragma once

#include <array>

#include <QString>

class Settings;

// The payee's bank details printed on every receipt and put into its QR code.
// They are settings (section "Rekv"), not database cells.
enum class PayeeField { Name, Inn, Kpp, Account, BankName, Bic, CorrAccount, Purpose };
constexpr int PayeeFieldCount = 8;

struct PayeeDetails {
    std::array<QString, PayeeFieldCount> fields;

    QString& operator[](PayeeField f) { return fields[size_t(f)]; }
    const QString& operator[](PayeeField f) const { return fields[size_t(f)]; }

    // Nothing filled in but (perhaps) the purpose: receipts look as without details.
    bool isEmpty() const;
    // Surrounding blanks trimmed; blanks inside the numbers (as pasted from a
    // bank's letter: ordinary, non-breaking, narrow, tabs) dropped.
    PayeeDetails normalized() const;

    static const QString Section; // "Rekv"
    static QString key(PayeeField f);
    static QString defaultPurpose();
};

PayeeDetails LoadPayeeDetails(const Settings& settings);
void StorePayeeDetails(Settings& settings, const PayeeDetails& details);
