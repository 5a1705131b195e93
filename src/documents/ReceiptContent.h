#pragma once

#include <array>

#include <QString>

class SubscriberTable;

// What one copy of a subscriber's receipt for a month shows. Lines 1..15
// carry a value (index 0 is unused); line 16 is the pay-by date.
struct ReceiptContent {
    static constexpr int ValueLines = 15;
    static constexpr int Lines = 16;

    QString dateText; // month name, a space, the year text
    QString name;
    std::array<QString, ValueLines + 1> values;
    // The T1 readings are checked: an empty one is told to the user.
    bool t1EndEmpty = false;
    bool t1StartEmpty = false;

    // Captions of lines 1..16; lines 13 and 14 have a second caption beside
    // the first ("переплата"/"недоплата").
    static QString caption(int line);
    static QString secondCaption(int line);
    static QString unit(int line);
};

// The receipt of row `row` for month 1..12 of the year text. A month or year
// outside the lists reads January of the first year; the date line keeps what
// was given.
ReceiptContent MakeReceipt(const SubscriberTable& table, int row, int month,
                           const QString& yearText);

// end - start rounded to 2 decimals, without trailing zeros; texts that are
// not numbers count as 0.
QString ConsumptionText(const QString& end, const QString& start);
