#include "BankStatement.h"

using namespace Qt::StringLiterals;

std::optional<qint64> ReadStatementAmount(QStringView text) {
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

QDate ReadStatementDate(QStringView text) {
    text = text.trimmed();
    int parts[3] = {0, 0, 0};
    int lengths[3] = {0, 0, 0};
    int part = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u'.') {
            if (++part > 2)
                return {};
        } else if (c >= u'0' && c <= u'9') {
            parts[part] = parts[part] * 10 + (c - u'0');
            ++lengths[part];
        } else {
            return {};
        }
    }
    if (part != 2 || lengths[0] < 1 || lengths[0] > 2 || lengths[1] < 1 || lengths[1] > 2 ||
        lengths[2] != 4)
        return {};
    return QDate(parts[2], parts[1], parts[0]);
}

QString KopecksText(qint64 kopecks) {
    const bool negative = kopecks < 0;
    const qint64 v = negative ? -kopecks : kopecks;
    const qint64 cents = v % 100;
    return (negative ? u"-"_s : QString()) + QString::number(v / 100) + u',' +
           QChar(u'0' + int(cents / 10)) + QChar(u'0' + int(cents % 10));
}
