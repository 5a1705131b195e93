#include "Cp1251.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>

#include "Cp1251Tables.h"

const std::array<char16_t, 256>& Cp1251::byteTable() {
    return Cp1251Tables::ToUnicode;
}

void Cp1251::decodeInto(const char* data, qsizetype size, char16_t* dst) {
    const auto& t = Cp1251Tables::ToUnicode;
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        if (_mm_movemask_epi8(v) != 0) {
            for (qsizetype j = i; j < i + 16; ++j)
                dst[j] = t[(unsigned char)data[j]];
            continue;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 8), _mm_unpackhi_epi8(v, zero));
    }
#endif
    for (; i < size; ++i)
        dst[i] = t[(unsigned char)data[i]];
}

QString Cp1251::decode(const char* data, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    decodeInto(data, size, reinterpret_cast<char16_t*>(out.data()));
    return out;
}

void Cp1251::appendEncoded(QByteArray& out, QStringView text) {
    const auto& t = Cp1251Tables::FromUnicode;
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
    const auto& t = Cp1251Tables::FromUnicode;
    for (QChar c : text)
        if (!t[c.unicode()] && c.unicode() != 0)
            return false;
    return true;
}
