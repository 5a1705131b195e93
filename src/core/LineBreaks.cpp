#include "LineBreaks.h"

QString RemoveLineBreaks(const QString& text) {
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            ++i; // and the character after it
            continue;
        }
        out += text[i] == u'\n' ? QChar(u' ') : text[i];
    }
    return out;
}
