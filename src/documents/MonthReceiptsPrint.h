#pragma once

#include <vector>

#include <QString>

#include "ReceiptContent.h"
#include "ReceiptPayment.h"

class Platform;
class QWidget;
class SubscriberTable;

// One receipt of the month's batch, ready to draw.
struct BatchReceipt {
    ReceiptContent content;
    std::optional<ReceiptPayment> payment;
};

// The receipts of every subscriber with something to pay for month 1..12 of
// yearText, in row order. A progress dialog shows when building takes longer
// than half a second; cancelling it gives an empty list.
std::vector<BatchReceipt> BuildMonthReceipts(const SubscriberTable& table, Platform& platform,
                                             int month, const QString& yearText,
                                             QWidget* parent = nullptr);

// "Квитанции за месяц": the receipts above through one print preview, two to
// an A4 page (one to a page in two copies, as the single receipt prints
// then), each drawn as the single receipt is. Tells the user when there is
// nothing to print. false when nothing was printed.
bool PrintMonthReceipts(const SubscriberTable& table, Platform& platform, int month,
                        const QString& yearText, QWidget* parent = nullptr);
