#include "StatementEncoding.h"

#include <optional>

#include <QStringDecoder>

#include "core/Cp1251.h"

using namespace Qt::StringLiterals;

namespace {

// CP866 as the system's codec reads it, byte by byte; none when the Qt build
// has no such codec.
const std::array<char16_t, 256>* Cp866Table() {
    static const std::optional<std::array<char16_t, 256>> table =
        []() -> std::optional<std::array<char16_t, 256>> {
        QStringDecoder decoder("IBM866");
        if (!decoder.isValid())
            return std::nullopt;
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString one = decoder.decode(QByteArrayView(&byte, 1));
            if (decoder.hasError() || one.size() != 1)
                return std::nullopt;
            t[size_t(b)] = one.at(0).unicode();
        }
        return t;
    }();
    return table ? &*table : nullptr;
}

std::optional<StatementCodec> CodecOf(QByteArrayView value) {
    const QByteArray v = value.trimmed().toByteArray().toLower();
    if (v == "windows")
        return StatementCodec::Windows1251;
    if (v == "dos" && Cp866Table())
        return StatementCodec::Cp866;
    return std::nullopt;
}

// The value of the first line starting with `key` (bytes), or none.
std::optional<QByteArrayView> LineValue(QByteArrayView bytes, const QByteArray& key) {
    for (qsizetype at = bytes.indexOf(key); at >= 0; at = bytes.indexOf(key, at + 1)) {
        if (at > 0 && bytes[at - 1] != '\n')
            continue;
        const qsizetype from = at + key.size();
        qsizetype end = from;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        return bytes.sliced(from, end - from);
    }
    return std::nullopt;
}

} // namespace

StatementEncoding DetectStatementEncoding(QByteArrayView bytes) {
    StatementEncoding res;
    for (const StatementCodec codec : {StatementCodec::Windows1251, StatementCodec::Cp866}) {
        if (codec == StatementCodec::Cp866 && !Cp866Table())
            continue;
        const auto value = LineValue(bytes, EncodeStatementText(u"Кодировка=", codec));
        if (!value)
            continue;
        res.found = true;
        res.written = Cp1251::decode(value->trimmed().toByteArray());
        if (const auto named = CodecOf(*value)) {
            res.codec = *named;
            res.known = true;
        }
        return res;
    }
    return res;
}

const std::array<char16_t, 256>& StatementByteTable(StatementCodec codec) {
    if (codec == StatementCodec::Cp866)
        if (const auto* t = Cp866Table())
            return *t;
    return Cp1251::byteTable();
}

QString DecodeStatementText(QByteArrayView bytes, StatementCodec codec) {
    if (codec == StatementCodec::Windows1251)
        return Cp1251::decode(bytes.data(), bytes.size());
    const auto& t = StatementByteTable(codec);
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = t[uchar(bytes[i])];
    return out;
}

QByteArray EncodeStatementText(QStringView text, StatementCodec codec) {
    if (codec == StatementCodec::Windows1251)
        return Cp1251::encode(text);
    const auto& t = StatementByteTable(codec);
    QByteArray out(text.size(), '?');
    for (qsizetype i = 0; i < text.size(); ++i)
        for (int b = 0; b < 256; ++b)
            if (t[size_t(b)] == text[i].unicode()) {
                out[i] = char(b);
                break;
            }
    return out;
}
