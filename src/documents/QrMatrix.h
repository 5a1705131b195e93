#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QPoint>

// A QR code symbol as dark and light modules, without the quiet zone.
class QrMatrix final {
public:
    // The bytes in one 8-bit segment, error correction level M, the smallest
    // version that holds them; nullopt when they do not fit any.
    static std::optional<QrMatrix> encode(const QByteArray& bytes);

    int size() const { return m_size; } // modules per side
    bool dark(int x, int y) const { return m_dark[size_t(y * m_size + x)] != 0; }

    // The outlines of the dark areas, corners only, in module units (the
    // symbol spans 0..size()). Filled with the even-odd rule they give the
    // dark modules exactly: one shape without seams, far fewer points than a
    // square per module.
    std::vector<std::vector<QPoint>> outline() const;

private:
    int m_size = 0;
    std::vector<unsigned char> m_dark;
};
