#pragma once

#include <array>

#include <QDate>
#include <QString>

#include "OrderLayout.h"
#include "OrderVat.h"

class SubscriberTable;

// The texts kept between orders in the settings store.
struct OrderSettings {
    QString organisation; // "lb0"
    QString number;       // "lb1": the number of the last order
    QString receiptBasis; // "lb4"
    QString orderBasis;   // "lb14"
    QString accountant;   // "lb19"
    QString cashier;      // "lb20"
    VatMode vat = VatMode::ByDate;
};

// The 21 label texts of a cash receipt order.
struct OrderContent {
    std::array<QString, OrderLayout::Labels> labels;
    // The amount as stored, for the VAT lines when their choice changes.
    QString total;
    // The total could not be written in words; the words stay empty.
    bool formatError = false;
};

// The order for row `row`, month 1..12 of the year text (January of the first
// year for a month or year outside the lists), dated `today`; its VAT lines
// as the stored choice says.
OrderContent MakeOrder(const SubscriberTable& table, int row, int month, const QString& yearText,
                       const OrderSettings& stored, const QDate& today);

// The number after the stored one; a text that is not a number starts again at 1.
QString NextOrderNumber(const QString& stored);
// "10 декабря 2026 г." and "10.12.2026".
QString LongRussianDate(const QDate& date);
QString ShortDate(const QDate& date);
