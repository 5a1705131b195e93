#pragma once

#include <array>

// Windows-1251 as compile-time tables: no codec is opened at start, and the
// file code can check its assumptions about them while it is compiled.
namespace Cp1251Tables {

// Byte -> UTF-16 code unit. The lower half is ASCII; 0x98, unassigned in
// the code page, stands for the C1 control U+0098, as the system codecs read it.
inline constexpr std::array<char16_t, 256> ToUnicode = [] {
    constexpr char16_t from80[64] = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, //
        0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, //
        0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
        0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, //
        0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, //
        0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, //
        0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, //
        0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, //
    };
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 128; ++b)
        t[size_t(b)] = char16_t(b);
    for (int b = 0; b < 64; ++b)
        t[size_t(128 + b)] = from80[b];
    // А..я follow each other in both.
    for (int b = 0; b < 64; ++b)
        t[size_t(192 + b)] = char16_t(0x0410 + b);
    return t;
}();

// UTF-16 code unit -> byte; 0 where the code page has no form (and for U+0000).
inline constexpr std::array<unsigned char, 65536> FromUnicode = [] {
    std::array<unsigned char, 65536> t{};
    for (int b = 255; b >= 1; --b)
        t[ToUnicode[size_t(b)]] = static_cast<unsigned char>(b);
    return t;
}();

} // namespace Cp1251Tables
