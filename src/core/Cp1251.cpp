#include "Cp1251.h"

#include <array>

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

struct Tables {
    std::array<char16_t, 256> toUnicode{};
    std::array<unsigned char, 65536> fromUnicode{}; // 0 = no form (except U+0000)

    Tables() {
        QStringDecoder decoder("windows-1251");
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            QString s = decoder.decode(QByteArrayView(&byte, 1));
            char16_t u = s.size() == 1 ? s.at(0).unicode() : char16_t(b < 128 ? b : 0xFFFD);
            if (!decoder.isValid() || s.size() != 1) {
                decoder.resetState();
                u = b < 128 ? char16_t(b) : char16_t(0xFFFD);
            }
            toUnicode[size_t(b)] = u;
        }
        for (int b = 255; b >= 1; --b)
            if (toUnicode[size_t(b)] != 0xFFFD)
                fromUnicode[toUnicode[size_t(b)]] = (unsigned char)b;
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

} // namespace

const std::array<char16_t, 256>& Cp1251::byteTable() {
    return tables().toUnicode;
}

QString Cp1251::decode(const char* data, qsizetype size) {
    const auto& t = tables().toUnicode;
    QString out(size, Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = t[(unsigned char)data[i]];
    return out;
}

void Cp1251::appendEncoded(QByteArray& out, QStringView text) {
    const auto& t = tables().fromUnicode;
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char* dst = out.data() + at;
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const unsigned char b = t[u];
        dst[n++] = (b || u == 0) ? char(b) : '?';
        // A character beyond 16 bits is one character: one '?'.
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    out.resize(at + n);
}

QByteArray Cp1251::encode(QStringView text) {
    QByteArray out;
    appendEncoded(out, text);
    return out;
}

bool Cp1251::canEncode(QStringView text) {
    const auto& t = tables().fromUnicode;
    for (QChar c : text)
        if (!t[c.unicode()] && c.unicode() != 0)
            return false;
    return true;
}
