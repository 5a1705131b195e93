#include "CompoundFile.h"
#include "LittleEndian.h"

#include <vector>

#include <QString>

namespace {

// Sector numbers from here up mark the end of a chain or a special sector.
constexpr quint32 LastRegularSector = 0xFFFFFFF9;
constexpr int DirEntryBytes = 128;
constexpr int HeaderFatEntries = 109;

// Follows a chain of units (sectors or mini sectors) through its allocation
// table and joins them, stopping after maxBytes. A unit met twice (a loop)
// or one outside the table damages the chain.
template <typename ReadUnit>
std::optional<QByteArray> readChain(quint32 start, const std::vector<quint32>& table,
                                    qsizetype maxBytes, ReadUnit&& readUnit) {
    QByteArray out;
    std::vector<bool> seen(table.size(), false);
    for (quint32 s = start; s <= LastRegularSector && out.size() < maxBytes; s = table[s]) {
        if (s >= table.size() || seen[s])
            return std::nullopt;
        seen[s] = true;
        if (!readUnit(s, out))
            return std::nullopt;
    }
    if (out.size() > maxBytes)
        out.truncate(maxBytes);
    return out;
}

} // namespace

bool CompoundFile::hasSignature(const QByteArray& bytes) {
    return bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

std::optional<QByteArray> CompoundFile::stream(QStringView wanted) const {
    if (!hasSignature(m_b) || m_b.size() < 512)
        return std::nullopt;
    const int shift = Le16(m_b, 0x1E);
    const int miniShift = Le16(m_b, 0x20);
    if (shift < 7 || shift > 16 || miniShift < 1 || miniShift >= shift)
        return std::nullopt;
    const qsizetype sector = qsizetype(1) << shift;
    const qsizetype perSector = sector / 4;
    // Sector n starts after the header, which takes one sector's room.
    const qsizetype sectorCount = m_b.size() / sector - 1;
    if (sectorCount <= 0)
        return std::nullopt;
    auto sectorOffset = [&](quint32 s) -> qsizetype {
        return qsizetype(s) < sectorCount ? (qsizetype(s) + 1) * sector : -1;
    };

    // The sectors of the allocation table: listed in the header, then in a
    // chain of extension sectors. No file needs more of them than it has
    // sectors.
    std::vector<quint32> fatSectors;
    auto addFatSector = [&](quint32 s) {
        if (s > LastRegularSector)
            return true;
        if (sectorOffset(s) < 0 || qsizetype(fatSectors.size()) >= sectorCount)
            return false;
        fatSectors.push_back(s);
        return true;
    };
    for (int i = 0; i < HeaderFatEntries; ++i)
        if (!addFatSector(Le32(m_b, 0x4C + 4 * i)))
            return std::nullopt;
    std::vector<bool> seenExtension(std::size_t(sectorCount), false);
    for (quint32 ext = Le32(m_b, 0x44); ext <= LastRegularSector;) {
        const qsizetype at = sectorOffset(ext);
        if (at < 0 || seenExtension[ext])
            return std::nullopt;
        seenExtension[ext] = true;
        for (qsizetype i = 0; i < perSector - 1; ++i)
            if (!addFatSector(Le32(m_b, at + 4 * i)))
                return std::nullopt;
        ext = Le32(m_b, at + 4 * (perSector - 1));
    }
    std::vector<quint32> fat;
    fat.reserve(fatSectors.size() * std::size_t(perSector));
    for (quint32 s : fatSectors) {
        const qsizetype at = sectorOffset(s);
        for (qsizetype i = 0; i < perSector; ++i)
            fat.push_back(Le32(m_b, at + 4 * i));
    }

    auto bigChain = [&](quint32 start, qsizetype maxBytes) {
        return readChain(start, fat, maxBytes, [&](quint32 s, QByteArray& out) {
            const qsizetype at = sectorOffset(s);
            if (at < 0)
                return false;
            out.append(m_b.constData() + at, sector);
            return true;
        });
    };

    const auto dir = bigChain(Le32(m_b, 0x30), m_b.size());
    if (!dir || dir->size() < DirEntryBytes)
        return std::nullopt;
    const quint32 cutoff = Le32(m_b, 0x38);
    for (qsizetype at = 0; at + DirEntryBytes <= dir->size(); at += DirEntryBytes) {
        const int nameBytes = Le16(*dir, at + 0x40);
        const int type = quint8((*dir)[at + 0x42]);
        if (type != 2 || nameBytes < 2 || nameBytes > 64)
            continue;
        QString name(nameBytes / 2 - 1, Qt::Uninitialized);
        for (int i = 0; i < name.size(); ++i)
            name[i] = QChar(char16_t(Le16(*dir, at + 2 * i)));
        if (name.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;

        const quint32 start = Le32(*dir, at + 0x74);
        const qsizetype size = Le32(*dir, at + 0x78);
        if (size > m_b.size())
            return std::nullopt;
        if (size == 0)
            return QByteArray();
        std::optional<QByteArray> data;
        if (quint32(size) >= cutoff) {
            data = bigChain(start, size);
        } else {
            // Small streams live in mini sectors inside the root entry's
            // stream, chained through their own table.
            if (quint8((*dir)[0x42]) != 5)
                return std::nullopt;
            const qsizetype rootSize = Le32(*dir, 0x78);
            if (rootSize > m_b.size())
                return std::nullopt;
            const auto ministream = bigChain(Le32(*dir, 0x74), rootSize);
            const auto miniFatBytes = bigChain(Le32(m_b, 0x3C), m_b.size());
            if (!ministream || !miniFatBytes)
                return std::nullopt;
            std::vector<quint32> miniFat;
            miniFat.reserve(std::size_t(miniFatBytes->size() / 4));
            for (qsizetype i = 0; i + 4 <= miniFatBytes->size(); i += 4)
                miniFat.push_back(Le32(*miniFatBytes, i));
            const qsizetype mini = qsizetype(1) << miniShift;
            const QByteArray& ms = *ministream;
            data = readChain(start, miniFat, size, [&](quint32 s, QByteArray& out) {
                const qsizetype from = qsizetype(s) * mini;
                if (from + mini > ms.size())
                    return false;
                out.append(ms.constData() + from, mini);
                return true;
            });
        }
        if (!data || data->size() < size)
            return std::nullopt;
        return data;
    }
    return std::nullopt;
}
