#include "StatementLoadSteps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "BankStatementParser.h"
#include "PaymentsWriter.h"
#include "storage/Database.h"
#include "storage/PaymentJournal.h"

using namespace Qt::StringLiterals;

StatementToReview ReadStatementToReview(const QString& path, const SubscriberTable& table,
                                        const QString& payeeAccount, const PaymentJournal& journal,
                                        const std::vector<PaymentJournal>& setAside) {
    StatementToReview r;
    r.path = path;
    // Refused before reading: a file of gigabytes would take the memory first.
    if (QFileInfo(path).size() > MaxStatementBytes) {
        r.refusal = StatementFailureText(StatementFailure::TooLarge);
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.refusal = u"Не удалось прочитать файл\n"_s + QDir::toNativeSeparators(path);
        return r;
    }
    BankStatementRead read = ParseBankStatement(file.readAll());
    if (read.failure != StatementFailure::None) {
        r.refusal = StatementFailureText(read.failure);
        return r;
    }
    r.statement = std::move(read.statement);
    const StatementAccountChoice account = ChooseStatementAccount(r.statement, payeeAccount);
    if (account.account.isEmpty()) {
        r.refusal = account.refusal;
        return r;
    }
    std::vector<const PaymentJournal*> asides;
    asides.reserve(setAside.size());
    for (const PaymentJournal& j : setAside)
        asides.push_back(&j);
    r.payments = CollectStatementPayments(r.statement, account.account, table, journal, asides);
    return r;
}

SavedPayments WriteAndSavePayments(Database& database, SubscriberTable& table,
                                   const StatementToReview& review, const QDateTime& now) {
    SavedPayments res;
    const StatementWrite w =
        WriteTickedPayments(table, review.statement, review.payments, database.journal(), now);
    if (w.write.written == 0) {
        // Nothing changed: nothing to save.
        res.saved = true;
        res.message = w.summary;
        return res;
    }
    if (!database.save()) {
        UndoPaymentsWrite(table, database.journal(), w.write);
        res.message = u"Ошибка сохранения. Платежи из выписки не записаны: лицевые счета "
                      u"остались прежними."_s;
        return res;
    }
    res.saved = true;
    res.written = w.write.written;
    res.message = w.summary;
    return res;
}
