#include "PaymentMatcher.h"

#include <algorithm>
#include <array>
#include <span>

#include <QVarLengthArray>

#include "core/SubscriberTable.h"
#include "documents/ReceiptPayment.h"

using namespace Qt::StringLiterals;

namespace {

// Marks that a plot follows, folded; a space stands for any run of spaces,
// none included. Longer forms come before their beginnings.
constexpr std::u16string_view PlotMarks[] = {
    u"лицевого счета",
    u"лицевому счету",
    u"лицевой счет",
    u"лиц. счета",
    u"лиц. счет",
    u"лиц. сч.",
    u"участок",
    u"участка",
    u"участку",
    u"участке",
    u"уч-к",
    u"уч.",
    u"уч",
    u"л/с",
    u"л. с.",
    u"лс",
    u"persacc=",
};

constexpr std::u16string_view FeeWords[] = {u"взнос", u"членск", u"целев"};
constexpr std::u16string_view ElectricityWords[] = {u"электр", u"э/э", u"свет"};

std::u16string_view View(QStringView s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size())};
}

// Found by its first letter, which Qt seeks many characters at a time.
bool Contains(QStringView text, std::u16string_view word) {
    const QStringView w(word.data(), qsizetype(word.size()));
    for (qsizetype at = text.indexOf(w.front()); at >= 0; at = text.indexOf(w.front(), at + 1))
        if (text.sliced(at).startsWith(w))
            return true;
    return false;
}

bool ContainsAny(QStringView text, std::span<const std::u16string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [text](std::u16string_view w) { return Contains(text, w); });
}

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber();
}

// Where the mark ends when it starts at `at`, or -1.
qsizetype MarkEnd(QStringView text, qsizetype at, std::u16string_view mark) {
    qsizetype j = at;
    for (const char16_t c : mark) {
        if (c == u' ') {
            while (j < text.size() && text[j].isSpace())
                ++j;
            continue;
        }
        if (j >= text.size() || text[j].unicode() != c)
            return -1;
        ++j;
    }
    // "уч" is not the start of "учет"; "уч12" is a mark and a plot.
    if (QChar(mark.back()).isLetter() && j < text.size() && text[j].isLetter())
        return -1;
    return j;
}

// Plots compare ignoring case, "№" and spaces.
bool IsPlotFiller(QChar c) {
    return c.isSpace() || c == u'№';
}

QString PlotKey(const QString& plot) {
    QString key;
    for (const QChar c : FoldForMatching(plot))
        if (!IsPlotFiller(c))
            key += c;
    return key;
}

// QChar's tests, with Russian and Latin letters answered without a call.
bool IsLetter(QChar ch) {
    const char16_t c = ch.unicode();
    if (c < 0x80)
        return (c | 0x20) >= u'a' && (c | 0x20) <= u'z';
    if ((c >= u'А' && c <= u'я') || c == u'ё' || c == u'Ё')
        return true;
    return ch.isLetter();
}

bool IsUpper(QChar ch) {
    const char16_t c = ch.unicode();
    if (c < 0x80)
        return c >= u'A' && c <= u'Z';
    if ((c >= u'А' && c <= u'Я') || c == u'Ё')
        return true;
    if ((c >= u'а' && c <= u'я') || c == u'ё')
        return false;
    return ch.isUpper();
}

struct Word {
    qsizetype start = 0, size = 0;
    bool capital = false;
};

// The words of a text: runs of letters, a hyphen inside one kept.
using WordList = QVarLengthArray<Word, 32>;
WordList Words(QStringView text) {
    WordList words;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        if (!IsLetter(text[i])) {
            ++i;
            continue;
        }
        Word w{i, 0, IsUpper(text[i])};
        while (i < n && (IsLetter(text[i]) ||
                         (text[i] == u'-' && i + 1 < n && IsLetter(text[i + 1]) && i > w.start)))
            ++i;
        w.size = i - w.start;
        words.push_back(w);
    }
    return words;
}

} // namespace

QString FoldForMatching(const QString& text) {
    // Every Latin and Cyrillic unit from a table: most of every text.
    static const std::array<char16_t, 0x500> Folded = [] {
        std::array<char16_t, 0x500> t{};
        for (size_t c = 0; c < t.size(); ++c)
            t[c] = c == u'ё' || c == u'Ё' ? u'е' : QChar::toLower(char16_t(c));
        return t;
    }();
    QString out(text.size(), Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    const char16_t* src = reinterpret_cast<const char16_t*>(text.constData());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = src[i];
        dst[i] = c < Folded.size() ? Folded[c] : QChar::toLower(c);
    }
    return out;
}

bool IsPersonalAccount(const QString& account) {
    const QString a = account.trimmed();
    if (a.size() != 20 || !std::all_of(a.begin(), a.end(), [](QChar c) { return c.isDigit(); }))
        return false;
    return a.startsWith(u"40817"_s) || a.startsWith(u"40820"_s) || a.startsWith(u"423"_s);
}

PaymentMatcher::PaymentMatcher(const SubscriberTable& table, QHash<QString, int> accountOwners)
    : m_table(table), m_accountOwners(std::move(accountOwners)) {
    m_labels.resize(size_t(table.subscriberCount()) + 1);
    m_plotTexts.resize(m_labels.size());
    for (int row = 1; row <= table.subscriberCount(); ++row) {
        const QString name = table.cell(row, ColName);
        m_labels[size_t(row)] = table.cell(row, ColRowNumber) + u". "_s + name;
        m_plotTexts[size_t(row)] = PaymentPlot(table, row);
        const QString plot = PlotKey(m_plotTexts[size_t(row)]);
        if (!plot.isEmpty()) {
            m_plots[std::u16string(View(plot))].push_back(row);
            m_longestPlot = std::max(m_longestPlot, plot.size());
        }
        const QString folded = FoldForMatching(name);
        const WordList words = Words(name);
        if (words.size() < 2 || words[0].size < 2)
            continue;
        NameEntry e{row, {}};
        for (qsizetype k = 1; k < words.size() && k <= 2; ++k)
            e.initials += folded[words[k].start].unicode();
        m_surnames[std::u16string(View(QStringView(folded).sliced(words[0].start, words[0].size)))]
            .push_back(std::move(e));
    }
}

QString PaymentMatcher::label(int row) const {
    if (row > 0 && size_t(row) < m_labels.size())
        return m_labels[size_t(row)];
    return m_table.cell(row, ColRowNumber) + u". "_s + m_table.cell(row, ColName);
}

// The plots the purpose names after a plot mark, each the longest plot the
// text after the mark begins with, ending where a letter or digit does not
// follow.
std::vector<int> PaymentMatcher::rowsByPlot(const QString& folded) const {
    // On the stack: a purpose names a plot or two, each a few characters.
    QVarLengthArray<std::u16string_view, 4> named;
    const QStringView text(folded);
    const qsizetype n = text.size();
    QVarLengthArray<char16_t, 32> run;
    // ends[k]: where the text stands after k + 1 plot characters
    QVarLengthArray<qsizetype, 32> ends;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if ((c != u'л' && c != u'у' && c != u'p') || (i > 0 && IsWordChar(text[i - 1])))
            continue;
        for (const std::u16string_view mark : PlotMarks) {
            qsizetype j = MarkEnd(text, i, mark);
            if (j < 0)
                continue;
            while (j < n && (IsPlotFiller(text[j]) || text[j] == u':'))
                ++j;
            run.clear();
            ends.clear();
            for (qsizetype k = j; k < n && run.size() < m_longestPlot; ++k) {
                if (IsPlotFiller(text[k]))
                    continue;
                run.append(text[k].unicode());
                ends.append(k + 1);
            }
            for (qsizetype len = run.size(); len > 0; --len) {
                const qsizetype end = ends[len - 1];
                if (end < n && IsWordChar(text[end]))
                    continue;
                const auto it = m_plots.find(std::u16string_view(run.data(), size_t(len)));
                if (it == m_plots.end())
                    continue;
                if (std::find(named.begin(), named.end(), it->first) == named.end())
                    named.append(it->first);
                break;
            }
            break;
        }
    }
    std::vector<int> rows;
    for (const auto plot : named) {
        const auto& on = m_plots.find(plot)->second;
        rows.insert(rows.end(), on.begin(), on.end());
    }
    if (named.size() > 1)
        rows.push_back(-1); // several plots: never one subscriber
    return rows;
}

std::vector<int> PaymentMatcher::rowsByName(const QString& text, const QString& folded,
                                            std::vector<int> rows) const {
    const WordList words = Words(text);
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i].size < 2)
            continue;
        const auto it =
            m_surnames.find(View(QStringView(folded).sliced(words[i].start, words[i].size)));
        if (it == m_surnames.end())
            continue;
        for (const NameEntry& e : it->second) {
            if (i + qsizetype(e.initials.size()) >= words.size())
                continue;
            bool same = true;
            for (size_t k = 0; k < e.initials.size() && same; ++k) {
                const Word& w = words[i + 1 + qsizetype(k)];
                // An initial, or a name as banks write it; "за май" is not "З. М.".
                same = (w.size == 1 || w.capital) && folded[w.start].unicode() == e.initials[k];
            }
            if (same && std::find(rows.begin(), rows.end(), e.row) == rows.end())
                rows.push_back(e.row);
        }
    }
    return rows;
}

PaymentMatch PaymentMatcher::ambiguous(std::vector<int> rows) const {
    PaymentMatch m;
    m.way = PaymentMatch::Way::Ambiguous;
    rows.erase(std::remove(rows.begin(), rows.end(), -1), rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // Namesakes can be many: the text is sized once and copied into.
    const QStringView lead = u"неоднозначно: ", comma = u", ";
    qsizetype size = lead.size();
    for (const int r : rows)
        size += (r == rows.front() ? 0 : comma.size()) + m_labels[size_t(r)].size();
    m.how = QString(size, Qt::Uninitialized);
    QChar* out = m.how.data();
    const auto put = [&out](QStringView s) { out = std::copy(s.begin(), s.end(), out); };
    put(lead);
    for (const int r : rows) {
        if (r != rows.front())
            put(comma);
        put(m_labels[size_t(r)]);
    }
    m.candidates = std::move(rows);
    return m;
}

PaymentMatch PaymentMatcher::match(const QString& purpose, const QString& payerName,
                                   const QString& payerAccount) const {
    const QString folded = FoldForMatching(purpose);
    PaymentMatch m;
    if (std::vector<int> rows = rowsByPlot(folded); !rows.empty()) {
        if (rows.size() == 1) {
            m.way = PaymentMatch::Way::Plot;
            m.row = rows.front();
            m.plot = m_plotTexts[size_t(m.row)];
            m.how = u"по участку "_s + m.plot;
        } else {
            m = ambiguous(std::move(rows));
        }
    } else if (const int owner = IsPersonalAccount(payerAccount)
                                     ? m_accountOwners.value(payerAccount.trimmed())
                                     : 0;
               owner > 0 && owner <= m_table.subscriberCount()) {
        m.way = PaymentMatch::Way::PayerAccount;
        m.row = owner;
        m.how = u"по счёту плательщика"_s;
    } else {
        std::vector<int> byName =
            rowsByName(purpose, folded, rowsByName(payerName, FoldForMatching(payerName), {}));
        if (byName.size() == 1) {
            m.way = PaymentMatch::Way::Name;
            m.row = byName.front();
            m.how = u"по ФИО"_s;
        } else if (byName.size() > 1) {
            m = ambiguous(std::move(byName));
        } else {
            m.how = u"не найден"_s;
        }
    }
    if (ContainsAny(folded, FeeWords) && !ContainsAny(folded, ElectricityWords)) {
        m.notElectricity = true;
        m.how += u", не за электроэнергию?"_s;
    }
    return m;
}
