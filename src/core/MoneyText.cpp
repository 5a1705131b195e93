#include "MoneyText.h"

using namespace Qt::StringLiterals;

std::optional<qint64> ReadKopecks(QStringView text) {
    text = text.trimmed();
    qint64 whole = 0;
    int digits = 0, decimals = 0;
    qint64 fraction = 0;
    bool afterPoint = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            const int d = c - u'0';
            if (!afterPoint) {
                if (++digits > 15)
                    return std::nullopt;
                whole = whole * 10 + d;
            } else if (++decimals <= 2) {
                fraction = fraction * 10 + d;
            } else if (d != 0) {
                return std::nullopt; // kopecks have two places
            }
        } else if ((c == u'.' || c == u',') && !afterPoint && digits > 0) {
            afterPoint = true;
        } else if ((c == u' ' || c == u'\u00A0') && !afterPoint && digits > 0) {
            continue; // "1 234.56"
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (decimals == 1)
        fraction *= 10;
    return whole * 100 + fraction;
}

QString KopecksText(qint64 kopecks) {
    const bool negative = kopecks < 0;
    const qint64 v = negative ? -kopecks : kopecks;
    const qint64 cents = v % 100;
    return (negative ? u"-"_s : QString()) + QString::number(v / 100) + u',' +
           QChar(u'0' + int(cents / 10)) + QChar(u'0' + int(cents % 10));
}
