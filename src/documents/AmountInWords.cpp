#include "AmountInWords.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int MaxRubleDigits = 12;

// Index 0 is the empty word; each word carries its leading space.
const std::array<QString, 10> UnitsMasculine = {
    QString(),  u" один"_s,  u" два"_s,  u" три"_s,    u" четыре"_s,
    u" пять"_s, u" шесть"_s, u" семь"_s, u" восемь"_s, u" девять"_s,
};
const std::array<QString, 10> UnitsFeminine = {
    QString(),  u" одна"_s,  u" две"_s,  u" три"_s,    u" четыре"_s,
    u" пять"_s, u" шесть"_s, u" семь"_s, u" восемь"_s, u" девять"_s,
};
const std::array<QString, 10> Teens = {
    u" десять"_s,     u" одиннадцать"_s, u" двенадцать"_s, u" тринадцать"_s,   u" четырнадцать"_s,
    u" пятнадцать"_s, u" шестнадцать"_s, u" семнадцать"_s, u" восемнадцать"_s, u" девятнадцать"_s,
};
const std::array<QString, 10> Tens = {
    QString(),       QString(),        u" двадцать"_s,  u" тридцать"_s,    u" сорок"_s,
    u" пятьдесят"_s, u" шестьдесят"_s, u" семьдесят"_s, u" восемьдесят"_s, u" девяносто"_s,
};
const std::array<QString, 10> Hundreds = {
    QString(),     u" сто"_s,      u" двести"_s,  u" триста"_s,    u" четыреста"_s,
    u" пятьсот"_s, u" шестьсот"_s, u" семьсот"_s, u" восемьсот"_s, u" девятьсот"_s,
};

// The word with its first letter in capitals (after the leading space).
QString capitalised(const QString& word) {
    if (word.size() < 2)
        return word;
    QString w = word;
    w[1] = w[1].toUpper();
    return w;
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The genitive plural of a group, written after a teen: "двенадцать тысяч".
QString groupPlural(int place) {
    switch (place) {
    case 2:
        return u" рублей"_s;
    case 5:
        return u" тысяч"_s;
    case 8:
        return u" миллионов"_s;
    default:
        return u" миллиардов"_s;
    }
}

// The group word for the units digit d of the group whose units sit at place
// p (4, 7, 10); `groupNonZero` tells whether any digit of the group is not 0.
QString groupEnding(int place, int d, bool groupNonZero) {
    struct Forms {
        const char16_t* one;
        const char16_t* few;
        const char16_t* many;
    };
    const Forms forms = place == 4 ? Forms{u" тысяча", u" тысячи", u" тысяч"}
                        : place == 7 ? Forms{u" миллион", u" миллиона", u" миллионов"}
                                     : Forms{u" миллиард", u" миллиарда", u" миллиардов"};
    if (d == 1)
        return QString::fromUtf16(forms.one);
    if (d >= 2 && d <= 4)
        return QString::fromUtf16(forms.few);
    if (d >= 5 || groupNonZero)
        return QString::fromUtf16(forms.many);
    return {};
}

class Writer {
public:
    Writer(const QString& rubles, bool hasKopecks, QStringView kopecks)
        : m_n(int(rubles.size())), m_hasKopecks(hasKopecks), m_kopecks(kopecks) {
        for (int p = 1; p <= m_n; ++p)
            m_digit[size_t(p)] = rubles[m_n - p].unicode() - u'0';
    }

    // Builds the words; false when the kopecks turned out not to be digits.
    bool write() {
        int p = m_n;
        bool leading = true;
        while (p > 0) {
            const int next = writePlace(p, leading);
            if (next < 0)
                return m_kopecksOk;
            leading = false;
            p = next;
        }
        return true;
    }

    QString words;

private:
    int digit(int p) const { return m_digit[size_t(p)]; }

    void add(const QString& word, bool leading) { words += leading ? capitalised(word) : word; }

    // Writes place p and returns the next place, or -1 when finished.
    int writePlace(int p, bool leading) {
        const int d = digit(p);
        switch (p % 3) {
        case 0: // hundreds
            add(Hundreds[size_t(d)], leading);
            return p - 1;
        case 2: // tens
            if (d == 1) {
                add(Teens[size_t(digit(p - 1))], leading);
                words += groupPlural(p);
                if (p == 2)
                    return finishRubles();
                return p - 2;
            }
            add(Tens[size_t(d)], leading);
            return p - 1;
        default: // units of a group
            if (p == 4)
                add(UnitsFeminine[size_t(d)], leading);
            else
                add(UnitsMasculine[size_t(d)], leading);
            if (p == 1)
                return rublesEnding(d);
            words += groupEnding(p, d, d != 0 || digit(p + 1) != 0 || digit(p + 2) != 0);
            return p - 1;
        }
    }

    int rublesEnding(int d) {
        if (d == 1)
            words += u" рубль"_s;
        else if (d >= 2 && d <= 4)
            words += u" рубля"_s;
        else if (d >= 5)
            words += u" рублей"_s;
        bool allZero = true;
        for (int p = 1; p <= m_n; ++p)
            allZero = allZero && digit(p) == 0;
        if (allZero) {
            words += u"Ноль рублей"_s;
            writeKopecks();
            return -1;
        }
        if (d == 0)
            words += u" рублей"_s;
        return finishRubles();
    }

    int finishRubles() {
        if (m_hasKopecks)
            writeKopecks();
        return -1;
    }

    void writeKopecks() {
        if (!isAsciiDigit(m_kopecks[0]) || !isAsciiDigit(m_kopecks[1])) {
            m_kopecksOk = false;
            return;
        }
        words += u' ' + m_kopecks.toString();
        const int k = m_kopecks[1].unicode() - u'0';
        const int value = (m_kopecks[0].unicode() - u'0') * 10 + k;
        if (value >= 11 && value <= 14)
            words += u" копеек"_s;
        else if (k == 1)
            words += u" копейкa"_s; // the last letter is the Latin "a", as stored
        else if (k >= 2 && k <= 4)
            words += u" копейки"_s;
        else
            words += u" копеек"_s;
    }

    int m_n;
    bool m_hasKopecks;
    QStringView m_kopecks;
    bool m_kopecksOk = true;
    // Places 1..12, plus two zero places above the leading digit.
    std::array<int, MaxRubleDigits + 3> m_digit{};
};

} // namespace

AmountWords PROPIS(const QString& amountText) {
    QString text;
    text.reserve(amountText.size());
    for (const QChar c : amountText)
        if (!c.isSpace())
            text += c;
    if (text.isEmpty())
        return {};

    const AmountWords rejected{QString(), true};
    QString rubles;
    QStringView kopecks;
    bool hasKopecks = false;
    if (text.endsWith(u'=')) {
        rubles = text.chopped(1);
    } else if (text.size() >= 3 && text[text.size() - 3] == u',') {
        rubles = text.chopped(3);
        kopecks = QStringView(text).right(2);
        hasKopecks = true;
    } else {
        return rejected;
    }
    if (rubles.isEmpty() || rubles.size() > MaxRubleDigits)
        return rejected;
    bool allZero = true;
    for (const QChar c : rubles) {
        if (!isAsciiDigit(c))
            return rejected;
        allZero = allZero && c == u'0';
    }
    // A leading zero is allowed only for an amount below one ruble.
    if (rubles[0] == u'0' && !(allZero && hasKopecks))
        return rejected;

    Writer writer(rubles, hasKopecks, kopecks);
    const bool ok = writer.write();
    return {writer.words, !ok};
}
