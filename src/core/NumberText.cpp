#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

using namespace Qt::StringLiterals;

namespace {

// The decimal digits of |v| with 15 significant digits: v = 0.d1d2... x 10^exp.
struct Decimal {
    bool negative = false;
    std::string digits; // no leading zeros unless the value is zero ("")
    int exponent = 0;   // position of the decimal point from the left of digits
};

Decimal toDecimal(double v) {
    Decimal d;
    if (v == 0 || !std::isfinite(v))
        return d;
    d.negative = v < 0;
    char buf[64];
    auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 14);
    std::string s(buf, res.ptr);
    const auto e = s.find('e');
    const int exp10 = std::stoi(s.substr(e + 1));
    std::string mant = s.substr(0, e);
    mant.erase(1, 1); // drop the point: 15 digits
    while (!mant.empty() && mant.back() == '0')
        mant.pop_back();
    d.digits = mant;
    d.exponent = exp10 + 1;
    return d;
}

// Rounds to `decimals` places after the point; returns integer and fraction
// digit strings.
void roundDecimal(const Decimal& d, int decimals, HalfRounding half, std::string& intPart,
                  std::string& fracPart) {
    // Lay the digits out as a fixed string: intDigits . fracDigits (full).
    std::string all; // digits with the point after `pointAt` characters
    int pointAt;
    if (d.exponent <= 0) {
        all = std::string(size_t(1 - d.exponent), '0') + d.digits;
        pointAt = 1;
    } else {
        all = d.digits;
        if (int(all.size()) < d.exponent)
            all.append(size_t(d.exponent) - all.size(), '0');
        pointAt = d.exponent;
    }
    const int keep = pointAt + decimals;
    if (int(all.size()) < keep)
        all.append(size_t(keep - int(all.size())), '0');
    bool roundUp = false;
    if (int(all.size()) > keep) {
        const char first = all[size_t(keep)];
        bool restNonZero = false;
        for (size_t i = size_t(keep) + 1; i < all.size(); ++i)
            if (all[i] != '0') {
                restNonZero = true;
                break;
            }
        if (first > '5' || (first == '5' && restNonZero))
            roundUp = true;
        else if (first == '5') {
            if (half == HalfRounding::AwayFromZero)
                roundUp = true;
            else {
                const char last = keep > 0 ? all[size_t(keep - 1)] : '0';
                roundUp = (last - '0') % 2 == 1;
            }
        }
        all.resize(size_t(keep));
    }
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0 && all[size_t(i)] == '9') {
            all[size_t(i)] = '0';
            --i;
        }
        if (i >= 0)
            ++all[size_t(i)];
        else {
            all.insert(all.begin(), '1');
            ++pointAt;
        }
    }
    intPart = all.substr(0, size_t(pointAt));
    fracPart = all.substr(size_t(pointAt));
    const auto nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
}

QString assemble(bool negative, const std::string& intPart, const std::string& fracPart) {
    const bool zero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
    std::string s;
    if (negative && !zero)
        s += '-';
    s += intPart;
    if (!fracPart.empty()) {
        s += ',';
        s += fracPart;
    }
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

} // namespace

bool IsNumberText(QStringView text) {
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool seenDigit = false;
    bool seenSep = false;
    bool seenExp = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128) {
            seenDigit = true;
        } else if ((c == u',' || c == u'.') && !seenSep && !seenExp) {
            seenSep = true;
        } else if ((c == u'+' || c == u'-') &&
                   (i == 0 || ((t[i - 1] == u'e' || t[i - 1] == u'E') && seenExp))) {
        } else if ((c == u'e' || c == u'E') && seenDigit && !seenExp && i + 1 < t.size()) {
            seenExp = true;
            seenDigit = false;
        } else {
            return false;
        }
    }
    return seenDigit;
}

namespace {

// The common texts ("10625", "5,47", "-12,75") read exactly without a
// general parser: an integer of at most 15 digits divided by a power of ten
// is correctly rounded, so it equals what a full parse would give.
bool readSimple(QStringView t, double* out) {
    static constexpr double Pow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    qsizetype i = 0;
    const qsizetype n = t.size();
    bool negative = false;
    if (i < n && (t[i] == u'-' || t[i] == u'+')) {
        negative = t[i] == u'-';
        ++i;
    }
    uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool seenSep = false;
    bool any = false;
    for (; i < n; ++i) {
        const char16_t c = t[i].unicode();
        if (c >= u'0' && c <= u'9') {
            any = true;
            if (mantissa == 0 && c == u'0') {
                if (seenSep)
                    ++decimals;
                continue;
            }
            if (++digits > 15)
                return false;
            mantissa = mantissa * 10 + uint64_t(c - u'0');
            if (seenSep)
                ++decimals;
        } else if ((c == u',' || c == u'.') && !seenSep) {
            seenSep = true;
        } else {
            return false;
        }
    }
    if (!any || decimals > 15)
        return false;
    const double v = double(mantissa) / Pow10[decimals];
    *out = negative ? -v : v;
    return true;
}

} // namespace

double ReadNumber(QStringView text) {
    double simple = 0;
    if (readSimple(text, &simple))
        return simple;
    if (!IsNumberText(text))
        return 0;
    // The checked text is ASCII: parse it without allocating, since the
    // computations read tens of thousands of cells at a time.
    const QStringView t = text.trimmed();
    char small[64];
    std::string large;
    char* buf = small;
    if (t.size() >= qsizetype(sizeof small)) {
        large.resize(size_t(t.size()) + 1);
        buf = large.data();
    }
    qsizetype n = 0;
    qsizetype i = 0;
    if (t[0] == u'+')
        ++i;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        buf[n++] = c == u',' ? '.' : char(c);
    }
    double v = 0;
    const auto res = std::from_chars(buf, buf + n, v);
    if (res.ec != std::errc() || !std::isfinite(v))
        return 0;
    return v;
}

double ReadNumber(const QString& text) {
    return ReadNumber(QStringView(text));
}

QString RoundedText(double v, int decimals, HalfRounding half, bool fixedDecimals) {
    const Decimal d = toDecimal(v);
    std::string ip, fp;
    roundDecimal(d, decimals, half, ip, fp);
    if (!fixedDecimals)
        while (!fp.empty() && fp.back() == '0')
            fp.pop_back();
    return assemble(d.negative, ip, fp);
}

double R6(double v) {
    if (!std::isfinite(v))
        return 0;
    // Away from a tie, rounding the scaled binary value gives the same number
    // as rounding the decimal form: both are the double nearest to N / 10^6.
    if (std::fabs(v) < 1e6) {
        const double scaled = v * 1e6;
        const double frac = std::fabs(scaled - std::trunc(scaled));
        if (std::fabs(frac - 0.5) > 1e-3)
            return std::round(scaled) / 1e6;
    }
    return ReadNumber(RoundedText(v, 6, HalfRounding::ToEven, false));
}

namespace {

// The plain text of v with a decimal point into buf when the cheap way
// applies; -1 otherwise. The shortest form that reads back is the 15-digit
// form whenever it has at most 15 significant digits.
int plainChars(double v, char* buf, int size) {
    const double a = std::fabs(v);
    if (a == 0) {
        buf[0] = '0';
        return 1;
    }
    if (!std::isfinite(v))
        return -1;
    if (a < 1e15 && a == std::trunc(a)) {
        const auto res = std::to_chars(buf, buf + size, static_cast<long long>(v));
        return int(res.ptr - buf);
    }
    // The 15 significant digits, laid out without an exponent.
    char sci[40];
    const auto res = std::to_chars(sci, sci + sizeof sci, a, std::chars_format::scientific, 14);
    if (res.ec != std::errc())
        return -1;
    char digits[15];
    digits[0] = sci[0];
    std::copy(sci + 2, sci + 16, digits + 1);
    int nd = 15;
    while (nd > 1 && digits[nd - 1] == '0')
        --nd;
    int exponent = 0;
    std::from_chars(sci + 17 + (sci[17] == '+' ? 1 : 0), res.ptr, exponent);
    const int intDigits = exponent + 1; // digits before the point
    const int length = (v < 0) + (intDigits <= 0 ? 2 - intDigits + nd
                                                 : std::max(intDigits, nd) + (nd > intDigits));
    if (length > size)
        return -1;
    char* out = buf;
    if (v < 0)
        *out++ = '-';
    if (intDigits <= 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -intDigits, '0');
        out = std::copy(digits, digits + nd, out);
    } else if (intDigits >= nd) {
        out = std::copy(digits, digits + nd, out);
        out = std::fill_n(out, intDigits - nd, '0');
    } else {
        out = std::copy(digits, digits + intDigits, out);
        *out++ = '.';
        out = std::copy(digits + intDigits, digits + nd, out);
    }
    return int(out - buf);
}

} // namespace

bool IsPlainNumberOf(QStringView text, double v) {
    char buf[64];
    const int n = plainChars(v, buf, sizeof buf);
    if (n < 0)
        return text == PlainNumber(v);
    if (text.size() != n)
        return false;
    for (int i = 0; i < n; ++i) {
        const char16_t want = buf[i] == '.' ? u',' : char16_t(buf[i]);
        if (text[i].unicode() != want)
            return false;
    }
    return true;
}

QString PlainNumber(double v) {
    char buf[64];
    const int n = plainChars(v, buf, sizeof buf);
    if (n >= 0) {
        QString out(n, Qt::Uninitialized);
        QChar* d = out.data();
        for (int i = 0; i < n; ++i)
            d[i] = QLatin1Char(buf[i] == '.' ? ',' : buf[i]);
        return out;
    }
    // Every digit of the 15-digit form, without an exponent.
    const Decimal d = toDecimal(v);
    const int decimals = std::max(0, int(d.digits.size()) - d.exponent);
    return RoundedText(v, decimals, HalfRounding::ToEven, false);
}

QString FormatMoney(double v) {
    return RoundedText(v, 2, HalfRounding::AwayFromZero, true);
}

QString FormatCoef(double v) {
    return RoundedText(v, 6, HalfRounding::AwayFromZero, true);
}

QString LedgerText(double v) {
    QString t = RoundedText(v, 5, HalfRounding::ToEven, false);
    const qsizetype n = t.size();
    if (n >= 3 && t[n - 3] == u',') {
        // two decimals already
    } else if (n >= 2 && t[n - 2] == u',') {
        t += u'0';
    } else if (!t.contains(u',')) {
        t += u",00"_s;
    }
    if (t == u"0,00"_s)
        return {};
    return t;
}
