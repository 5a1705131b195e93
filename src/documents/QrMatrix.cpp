#include "QrMatrix.h"

#include <array>
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

std::vector<std::vector<QPoint>> QrMatrix::outline() const {
    // Every edge between a dark module and a light one (or the border),
    // directed clockwise around the dark module; at most two leave a corner.
    const int n = m_size;
    const int side = n + 1;
    std::vector<std::array<int, 2>> out(size_t(side) * size_t(side), {-1, -1});
    auto vertex = [side](int x, int y) { return y * side + x; };
    auto addEdge = [&](int from, int to) {
        auto& leaving = out[size_t(from)];
        (leaving[0] < 0 ? leaving[0] : leaving[1]) = to;
    };
    auto darkAt = [&](int x, int y) { return x >= 0 && y >= 0 && x < n && y < n && dark(x, y); };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            if (!dark(x, y))
                continue;
            if (!darkAt(x, y - 1))
                addEdge(vertex(x, y), vertex(x + 1, y));
            if (!darkAt(x + 1, y))
                addEdge(vertex(x + 1, y), vertex(x + 1, y + 1));
            if (!darkAt(x, y + 1))
                addEdge(vertex(x + 1, y + 1), vertex(x, y + 1));
            if (!darkAt(x - 1, y))
                addEdge(vertex(x, y + 1), vertex(x, y));
        }

    auto point = [side](int v) { return QPoint(v % side, v / side); };
    auto takeEdge = [&](int from) {
        auto& leaving = out[size_t(from)];
        for (int& to : leaving)
            if (to >= 0) {
                const int t = to;
                to = -1;
                return t;
            }
        return -1;
    };
    std::vector<std::vector<QPoint>> loops;
    for (int start = 0; start < int(out.size()); ++start) {
        while (out[size_t(start)][0] >= 0 || out[size_t(start)][1] >= 0) {
            std::vector<QPoint> loop;
            int at = start;
            QPoint first, direction;
            for (int next = takeEdge(at); next >= 0; next = takeEdge(at)) {
                const QPoint d = point(next) - point(at);
                // A corner is kept only where the outline turns.
                if (d != direction)
                    loop.push_back(point(at));
                if (loop.size() == 1 && first.isNull())
                    first = d;
                direction = d;
                at = next;
                if (at == start)
                    break;
            }
            if (loop.size() > 1 && direction == first)
                loop.erase(loop.begin()); // the start lay on a straight side
            loops.push_back(std::move(loop));
        }
    }
    return loops;
}
