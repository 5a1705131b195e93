#pragma once

#include <QString>

// The words of an amount and whether its text was rejected. On a rejected
// text `words` holds what had been written before the fault: nothing for a
// malformed amount, the rubles in words when the kopecks are not digits.
struct AmountWords {
    QString words;
    bool formatError = false;
};

// Writes an amount of money in Russian words: "125=" (rubles only) or
// "125,50" (rubles and two kopeck digits), spaces ignored. Every word carries
// a leading space, except "Ноль рублей". An empty text gives empty words.
// The caller tells the user about a format error.
AmountWords PROPIS(const QString& amountText);
