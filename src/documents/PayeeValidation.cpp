#include "PayeeValidation.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool AllDigits(const QString& s, qsizetype length) {
    if (s.size() != length)
        return false;
    for (const QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// Characters as the code's reader counts them: a pair of surrogates is one.
qsizetype CharacterCount(const QString& s) {
    return s.size() - std::count_if(s.begin(), s.end(), [](QChar c) { return c.isLowSurrogate(); });
}

int Digit(QChar c) {
    return c.unicode() - u'0';
}

// The 23 digits (3 from the BIC, then the account) weighed 7, 1, 3 in turn
// must sum to a multiple of 10.
bool KeyMatches(const QString& prefix, const QString& account) {
    static constexpr int Weights[3] = {7, 1, 3};
    const QString digits = prefix + account;
    int sum = 0;
    for (qsizetype i = 0; i < digits.size(); ++i)
        sum += Digit(digits[i]) * Weights[i % 3];
    return sum % 10 == 0;
}

int InnCheckDigit(const QString& inn, std::initializer_list<int> weights) {
    int sum = 0;
    qsizetype i = 0;
    for (int w : weights)
        sum += Digit(inn[i++]) * w;
    return sum % 11 % 10;
}

} // namespace

bool IsBic(const QString& bic) {
    return AllDigits(bic, 9);
}

bool AccountKeyMatches(const QString& bic, const QString& account) {
    return IsBic(bic) && AllDigits(account, 20) && KeyMatches(bic.right(3), account);
}

bool CorrAccountKeyMatches(const QString& bic, const QString& corrAccount) {
    return IsBic(bic) && AllDigits(corrAccount, 20) &&
           KeyMatches(u'0' + bic.mid(4, 2), corrAccount);
}

bool IsValidInn(const QString& inn) {
    if (AllDigits(inn, 10))
        return InnCheckDigit(inn, {2, 4, 10, 3, 5, 9, 4, 6, 8}) == Digit(inn[9]);
    if (AllDigits(inn, 12))
        return InnCheckDigit(inn, {7, 2, 4, 10, 3, 5, 9, 4, 6, 8}) == Digit(inn[10]) &&
               InnCheckDigit(inn, {3, 7, 2, 4, 10, 3, 5, 9, 4, 6, 8}) == Digit(inn[11]);
    return false;
}

bool IsValidKpp(const QString& kpp) {
    if (kpp.size() != 9)
        return false;
    for (qsizetype i = 0; i < 9; ++i) {
        const QChar c = kpp[i];
        const bool digit = c >= u'0' && c <= u'9';
        const bool letter = (i == 4 || i == 5) && c >= u'A' && c <= u'Z';
        if (!digit && !letter)
            return false;
    }
    return true;
}

std::vector<PayeeProblem> ValidatePayee(const PayeeDetails& d) {
    std::vector<PayeeProblem> out;
    if (d.isEmpty())
        return out;
    auto problem = [&](PayeeField f, PayeeError e) { out.push_back({f, e}); };
    for (PayeeField f : {PayeeField::Name, PayeeField::BankName}) {
        if (d[f].isEmpty())
            problem(f, PayeeError::Missing);
        else if (CharacterCount(d[f]) > PayeeMaxLength(f))
            problem(f, PayeeError::TooLong);
    }

    const QString& inn = d[PayeeField::Inn];
    if (inn.isEmpty())
        problem(PayeeField::Inn, PayeeError::Missing);
    else if (!AllDigits(inn, 10) && !AllDigits(inn, 12))
        problem(PayeeField::Inn, PayeeError::InnDigits);
    else if (!IsValidInn(inn))
        problem(PayeeField::Inn, PayeeError::InnCheck);

    const QString& kpp = d[PayeeField::Kpp];
    if (!kpp.isEmpty() && !IsValidKpp(kpp))
        problem(PayeeField::Kpp, PayeeError::KppForm);

    const QString& bic = d[PayeeField::Bic];
    const bool bicOk = IsBic(bic);
    if (bic.isEmpty())
        problem(PayeeField::Bic, PayeeError::Missing);
    else if (!bicOk)
        problem(PayeeField::Bic, PayeeError::BicDigits);

    // The keys can only be checked against a good BIC; a bad one is named
    // at its own field.
    const QString& account = d[PayeeField::Account];
    if (account.isEmpty())
        problem(PayeeField::Account, PayeeError::Missing);
    else if (!AllDigits(account, 20))
        problem(PayeeField::Account, PayeeError::AccountDigits);
    else if (bicOk && !AccountKeyMatches(bic, account))
        problem(PayeeField::Account, PayeeError::AccountKey);

    const QString& corr = d[PayeeField::CorrAccount];
    if (corr.isEmpty())
        problem(PayeeField::CorrAccount, PayeeError::Missing);
    else if (!AllDigits(corr, 20))
        problem(PayeeField::CorrAccount, PayeeError::AccountDigits);
    else if (!corr.startsWith(u"30101"_s))
        problem(PayeeField::CorrAccount, PayeeError::CorrPrefix);
    else if (bicOk && !CorrAccountKeyMatches(bic, corr))
        problem(PayeeField::CorrAccount, PayeeError::AccountKey);
    return out;
}

int PayeeMaxLength(PayeeField field) {
    // The field limits of the unified payment code.
    switch (field) {
    case PayeeField::Name:
        return 160;
    case PayeeField::BankName:
        return 45;
    default:
        return 0;
    }
}

bool PayeeDetailsRejected(const PayeeDetails& details) {
    return !details.isEmpty() && !ValidatePayee(details.normalized()).empty();
}

QString PayeeErrorText(const PayeeProblem& problem) {
    switch (problem.error) {
    case PayeeError::Missing:
        return u"Не заполнено"_s;
    case PayeeError::BicDigits:
        return u"БИК — 9 цифр"_s;
    case PayeeError::AccountDigits:
        return u"Счёт — 20 цифр"_s;
    case PayeeError::AccountKey:
        return u"Счёт не сходится с БИК (ошибка в цифрах счёта или БИК)"_s;
    case PayeeError::CorrPrefix:
        return u"Корр. счёт начинается с 30101"_s;
    case PayeeError::InnDigits:
        return u"ИНН — 10 или 12 цифр"_s;
    case PayeeError::InnCheck:
        return u"Неверные контрольные цифры ИНН"_s;
    case PayeeError::KppForm:
        return u"КПП — 9 знаков: цифры, 5-й и 6-й могут быть заглавными латинскими буквами"_s;
    case PayeeError::TooLong:
        return u"Не длиннее %1 знаков"_s.arg(PayeeMaxLength(problem.field));
    }
    return {};
}
