#include "QrMatrix.h"

#include <memory>

#include <qrencode.h>

std::optional<QrMatrix> QrMatrix::encode(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return std::nullopt;
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(int(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data()),
                          0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!code)
        return std::nullopt;
    QrMatrix m;
    m.m_size = code->width;
    m.m_dark.resize(size_t(code->width) * size_t(code->width));
    for (size_t i = 0; i < m.m_dark.size(); ++i)
        m.m_dark[i] = code->data[i] & 1; // bit 0: dark module
    return m;
}
