#include "OrderLayout.h"

#include <array>

namespace {

constexpr std::array<std::array<int, 4>, OrderLayout::Labels> Rects = {{
    {7500, 480, 3675, 300},  // 0 receipt: organisation
    {10140, 1380, 975, 240}, // 1 receipt: order number
    {7800, 1680, 3315, 240}, // 2 receipt: date
    {7500, 1980, 3615, 540}, // 3 receipt: from whom
    {7500, 2580, 3675, 780}, // 4 receipt: basis
    {8100, 4260, 2895, 240}, // 5 receipt: amount
    {7440, 4680, 3675, 600}, // 6 receipt: amount in words
    {7440, 5340, 4035, 300}, // 7 receipt: VAT
    {7500, 5940, 3315, 240}, // 8 receipt: date by the stamp
    {780, 1380, 4245, 195},  // 9 order: organisation
    {4680, 2640, 1095, 240}, // 10 order: number
    {5880, 2640, 1035, 240}, // 11 order: date
    {4380, 4320, 1335, 240}, // 12 order: amount
    {1560, 4680, 5400, 195}, // 13 order: from whom
    {1500, 4980, 5400, 435}, // 14 order: basis
    {1200, 5520, 5775, 435}, // 15 order: amount in words
    {1560, 6180, 5295, 300}, // 16 order: VAT
    {9720, 6660, 2295, 240}, // 17 receipt: chief accountant
    {9060, 7140, 2895, 240}, // 18 receipt: cashier
    {3600, 6780, 3375, 240}, // 19 order: chief accountant
    {3600, 7260, 3375, 240}, // 20 order: cashier
}};

constexpr std::array<int, OrderLayout::Labels> Twins = {9,  10, -1, -1, -1, 12, 15, -1, -1, 0, 1,
                                                        -1, 5,  -1, -1, 6,  -1, 19, 20, 17, 18};

} // namespace

namespace OrderLayout {

QRect labelRect(int label) {
    if (label < 0 || label >= Labels)
        return {};
    const auto& r = Rects[size_t(label)];
    return QRect(r[0], r[1], r[2], r[3]);
}

Qt::Alignment labelAlignment(int label) {
    switch (label) {
    case 1:
    case 10:
    case 11:
    case 12:
        return Qt::AlignHCenter | Qt::AlignBottom;
    case 3:
    case 4:
    case 6:
    case 14:
    case 15:
        return Qt::AlignLeft | Qt::AlignTop; // may take two lines
    default:
        return Qt::AlignLeft | Qt::AlignBottom;
    }
}

int twin(int label) {
    if (label < 0 || label >= Labels)
        return -1;
    return Twins[size_t(label)];
}

} // namespace OrderLayout
