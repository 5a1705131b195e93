#pragma once

#include <array>

#include <QByteArray>
#include <QString>
#include <QStringView>

// Windows-1251, the code page of the database file: per-character work is a
// lookup in fixed tables.
class Cp1251 final {
public:
    static QString decode(const char* data, qsizetype size);
    // Decodes size bytes into dst (room for size code units). Runs of ASCII,
    // most of the database, are widened 16 bytes at a time.
    static void decodeInto(const char* data, qsizetype size, char16_t* dst);
    // Byte -> UTF-16 code unit.
    static const std::array<char16_t, 256>& byteTable();
    static QString decode(const QByteArray& bytes) {
        return decode(bytes.constData(), bytes.size());
    }
    // Characters with no Windows-1251 form become '?'.
    static void appendEncoded(QByteArray& out, QStringView text);
    static QByteArray encode(QStringView text);
    // Whether every character has a Windows-1251 form.
    static bool canEncode(QStringView text);
};
