#pragma once

#include <QByteArrayView>
#include <QtEndian>

// Little-endian fields of a file's bytes. A field that runs past the end
// reads as 0, so a damaged offset gives a value to refuse, never a read
// outside the bytes.
inline quint16 Le16(QByteArrayView b, qsizetype at) {
    if (at < 0 || at + 2 > b.size())
        return 0;
    return qFromLittleEndian<quint16>(b.data() + at);
}

inline quint32 Le32(QByteArrayView b, qsizetype at) {
    if (at < 0 || at + 4 > b.size())
        return 0;
    return qFromLittleEndian<quint32>(b.data() + at);
}
