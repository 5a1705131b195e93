#pragma once

#include <array>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The code pages a client-bank exchange file may be written in: "Кодировка=Windows"
// is Windows-1251, "Кодировка=DOS" is CP866. Both are one byte a character, so
// each is a table.
enum class StatementCodec { Windows1251, Cp866 };

struct StatementEncoding {
    StatementCodec codec = StatementCodec::Windows1251;
    bool found = false; // a "Кодировка=" line was there
    bool known = false; // and named a code page this reader has
    QString written;    // its value, as Windows-1251 reads it
};

// Finds the "Кодировка=" line by its bytes in either code page: the key is
// Cyrillic itself, so the file cannot be decoded before it is found.
StatementEncoding DetectStatementEncoding(QByteArrayView bytes);

// Byte -> UTF-16 code unit.
const std::array<char16_t, 256>& StatementByteTable(StatementCodec codec);
QString DecodeStatementText(QByteArrayView bytes, StatementCodec codec);
// Characters the code page has no byte for become '?'.
QByteArray EncodeStatementText(QStringView text, StatementCodec codec);
