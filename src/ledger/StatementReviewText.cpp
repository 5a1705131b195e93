#include "StatementReviewText.h"

#include <QDir>

#include "StatementLoadSteps.h"
#include "core/MoneyText.h"

using namespace Qt::StringLiterals;

namespace {

QString Rubles(const std::optional<qint64>& kopecks, const QString& none = u"не указан"_s) {
    return kopecks ? KopecksText(*kopecks) + u" руб."_s : none;
}

QString CountAndSum(int count, qint64 kopecks) {
    return QString::number(count) + u" на сумму "_s + KopecksText(kopecks) + u" руб."_s;
}

} // namespace

QStringList StatementReviewHeader(const StatementToReview& review) {
    const BankStatement& st = review.statement;
    const StatementPayments& pay = review.payments;
    const auto& in = pay.incoming;
    int found = 0, loaded = 0, notFound = 0, erroneous = 0;
    for (const StatementPayment& p : in) {
        if (!p.canWrite())
            ++erroneous;
        else if (p.row > 0)
            ++found;
        else
            ++notFound;
        loaded += p.loadedBefore.isValid();
    }
    QStringList lines;
    lines << u"Файл: "_s + QDir::toNativeSeparators(review.path);
    lines << u"Счёт: "_s + pay.account + u"    Период: "_s + st.dateFrom + u" – "_s + st.dateTo;
    lines << u"Остаток на начало: "_s + Rubles(pay.opening) + u"    Остаток на конец: "_s +
                 Rubles(pay.closing);
    lines << u"Поступлений: "_s + CountAndSum(int(in.size()), pay.incomingKopecks) +
                 u" Найдено "_s + QString::number(found) + u" (уже загружено "_s +
                 QString::number(loaded) + u"), не найдено "_s + QString::number(notFound) +
                 u", с ошибкой "_s + QString::number(erroneous) + u". Списаний: "_s +
                 CountAndSum(pay.outgoingCount, pay.outgoingKopecks) + u" (в список не входят)."_s;
    return lines;
}

StatementReviewTotalsText StatementReviewTotals(const StatementReviewModel::Totals& t) {
    StatementReviewTotalsText s;
    s.ticked = u"Записать: "_s + CountAndSum(t.ticked, t.tickedKopecks);
    s.notWritten = u"Не записывать: "_s + CountAndSum(t.notWritten, t.notWrittenKopecks);
    s.stated = u"Всего поступило по выписке: "_s + Rubles(t.stated, u"не указано"_s) +
               u"    Сумма поступлений в выписке: "_s + KopecksText(t.documents) + u" руб."_s;
    if (const auto d = t.difference(); d && *d != 0)
        s.mismatch = u"Расхождение: "_s + KopecksText(*d) + u" руб."_s;
    return s;
}
