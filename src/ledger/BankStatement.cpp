#include "BankStatement.h"

using namespace Qt::StringLiterals;

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
