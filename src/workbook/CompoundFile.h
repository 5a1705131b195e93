#pragma once

#include <optional>

#include <QByteArray>
#include <QStringView>

// A compound document (the container of legacy Office files), read only as
// far as needed to take one stream out of it. Every offset, sector number and
// size in the file is checked: a damaged file gives no stream, never a read
// outside the bytes, an endless walk or an allocation larger than the file.
class CompoundFile final {
public:
    // bytes must outlive the object.
    explicit CompoundFile(const QByteArray& bytes) : m_b(bytes) {}

    // The stream with that name (case-insensitive), wherever it sits in the
    // directory; nothing when it is missing or cannot be read.
    std::optional<QByteArray> stream(QStringView name) const;

    static bool hasSignature(const QByteArray& bytes);

private:
    const QByteArray& m_b;
};
