#pragma once

#include <QDate>
#include <QString>

class Settings;

// The VAT lines of a cash receipt order. Most garden partnerships pass the
// electricity on to their members without VAT; the others state the VAT
// contained in the total at the rate in force on the order's date.
enum class VatMode { ByDate, None };

// The rate in percent: 18 before 2019, 20 for 2019 to 2025, 22 from 2026.
int VatRateOn(const QDate& date);

// The VAT contained in the gross total at the rate, total * rate / (100 +
// rate), in roubles and kopecks ("222,61"); empty when the total is not a
// number or the VAT is not above 0.
QString VatAmountText(const QString& total, int rate);

// The texts of the receipt's label lb(7) and the order's lb(16). Both are
// empty when there is nothing to pay.
struct VatLines {
    QString receipt;
    QString order;
};
VatLines MakeVatLines(const QString& total, const QDate& orderDate, VatMode mode);

// The choice is kept in the settings store; the rate by date unless "без НДС"
// was chosen.
VatMode LoadVatMode(const Settings& settings);
void StoreVatMode(Settings& settings, VatMode mode);
