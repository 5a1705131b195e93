#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "PayeeDetails.h"
#include "QrMatrix.h"

class SubscriberTable;

// What a receipt shows for paying by bank transfer: the payee block and the
// payment QR code of the unified format (header "ST00012", UTF-8).
struct ReceiptPayment {
    QStringList payeeLines;
    QString purpose;
    QString payload;              // empty when there is nothing to pay
    std::optional<QrMatrix> code; // none when there is nothing to pay
    // The code's outline (QrMatrix::outline), made once with the code.
    std::vector<std::vector<QPoint>> codeOutline;
};

// The longest purpose the format allows.
constexpr int MaxPurposeLength = 210;

// A money text in kopecks, rounded as it is shown ("1234,5" -> 123450);
// 0 for an empty text or one that is not a number.
qint64 PayableKopecks(const QString& total);

// The plot a payment is booked to: the subscriber's address, else the row
// number.
QString PaymentPlot(const SubscriberTable& table, int row);

// The purpose template with {месяц}, {год}, {участок} and {фио} filled in,
// cut to MaxPurposeLength characters. An empty template is the default one.
QString FillPurpose(QString tmpl, int month, const QString& yearText, const QString& plot,
                    const QString& name);

// A value made safe for the format: "|" would end the field, line breaks
// would break the reading of some banks' apps.
QString PaymentValue(const QString& value);

struct PaymentRequest {
    qint64 kopecks = 0;
    QString purpose;
    QString plot;
    QString lastName;
    int month = 1;
    QString yearText;
};
// "ST00012|Name=...|PersonalAcc=...|..." for the (normalized, valid) details.
QString PaymentPayload(const PayeeDetails& details, const PaymentRequest& request);

// The payment part of the receipt of `row` for month 1..12 of yearText:
// none when the details are empty or the month or year is not one of the
// lists; the payee block without a code when the total is 0 or less.
std::optional<ReceiptPayment> MakeReceiptPayment(const PayeeDetails& details,
                                                 const SubscriberTable& table, int row, int month,
                                                 const QString& yearText);
