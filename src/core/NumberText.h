#pragma once

#include <QString>
#include <QStringView>

// Numbers are kept as texts with a decimal comma and no grouping. Rounding is
// done on the 15-significant-digit decimal form of a double, as a person
// would round the number they see, never on its binary value.

// Empty or not a number -> 0. A point is taken as a decimal separator too,
// so a value typed or imported with a point is not silently lost.
double ReadNumber(const QString& text);
double ReadNumber(QStringView text);
// Whether the text reads as a number (ReadNumber would not fall back to 0).
bool IsNumberText(QStringView text);

double R6(double v);           // 6 decimals, half to even
QString PlainNumber(double v); // "402,5", "125", "-12,75"
// Whether text is exactly PlainNumber(v), without building it.
bool IsPlainNumberOf(QStringView text, double v);
QString FormatMoney(double v); // "##0.00"      -> "402,50"
QString FormatCoef(double v);  // "##0.000000"  -> "1,052632"
QString LedgerText(double v);  // two-decimal text rule; 0 -> ""

enum class HalfRounding { AwayFromZero, ToEven };
// v rounded to the given decimals and written with a decimal comma; trailing
// zeros are kept when fixedDecimals is true ("2,50"), dropped otherwise ("2,5").
QString RoundedText(double v, int decimals, HalfRounding half, bool fixedDecimals);
