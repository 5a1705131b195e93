#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <QHash>
#include <QString>

class SubscriberTable;

// Whose payment a statement's document is.
struct PaymentMatch {
    enum class Way { Plot, PayerAccount, Name, NotFound, Ambiguous };
    Way way = Way::NotFound;
    int row = 0;                 // the subscriber found; 0 when none
    QString plot;                // the plot as the table has it, when found by plot
    std::vector<int> candidates; // the subscribers in question when ambiguous
    // A membership or target fee that says nothing of electricity: the
    // program keeps the electricity account only.
    bool notElectricity = false;
    // "по участку 12", "по счёту плательщика", "по ФИО", "не найден",
    // "неоднозначно: 3. Иванов И. И., 7. Иванов И. И.", each followed by
    // ", не за электроэнергию?" for a fee.
    QString how;

    bool found() const { return row > 0; }
};

// Finds subscribers by what a payment carries: a plot mark in the purpose,
// then the payer's account, then a surname with initials. Built once per
// statement from the table.
class PaymentMatcher {
public:
    // accountOwners: payer account -> the one subscriber the journal ties it to.
    PaymentMatcher(const SubscriberTable& table, QHash<QString, int> accountOwners);

    PaymentMatch match(const QString& purpose, const QString& payerName,
                       const QString& payerAccount) const;

    // "№. Фамилия И. О." as the subscriber lists show it.
    QString label(int row) const;

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::u16string_view s) const {
            return std::hash<std::u16string_view>{}(s);
        }
    };
    template <typename T>
    using Index = std::unordered_map<std::u16string, T, Hash, std::equal_to<>>;
    struct NameEntry {
        int row;
        std::u16string initials;
    };

    std::vector<int> rowsByPlot(const QString& folded) const;
    std::vector<int> rowsByName(const QString& text, const QString& folded,
                                std::vector<int> rows) const;
    PaymentMatch ambiguous(std::vector<int> rows) const;

    const SubscriberTable& m_table;
    QHash<QString, int> m_accountOwners;
    // Per row, read from the table once: a statement names the same
    // subscribers over and over.
    std::vector<QString> m_labels, m_plotTexts;
    Index<std::vector<int>> m_plots; // folded plot -> rows
    qsizetype m_longestPlot = 0;
    Index<std::vector<NameEntry>> m_surnames;
};

// A text lowered, with "ё" read as "е".
QString FoldForMatching(const QString& text);
// Whether a payer account is a person's own (balance accounts 40817, 40820,
// 423): payments made at a bank without an account arrive from the bank's
// transit account, which many members share.
bool IsPersonalAccount(const QString& account);
