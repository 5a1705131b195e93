#pragma once

#include <optional>
#include <vector>

#include <QDate>
#include <QString>
#include <QStringList>

#include "core/MoneyText.h"

// A bank statement as the client-bank exchange file carries it: the header, the
// account sections and the documents, texts as written in the file.

// One "СекцияРасчСчет" ... "КонецРасчСчет": an account's balances over a period.
struct StatementAccountSection {
    QString account;
    QString dateFrom, dateTo;
    std::optional<qint64> opening;  // kopecks; none when missing or unreadable
    std::optional<qint64> received; // "ВсегоПоступило"
    std::optional<qint64> spent;    // "ВсегоСписано"
    std::optional<qint64> closing;
};

// One "СекцияДокумент=<вид>" ... "КонецДокумента".
struct StatementDocument {
    QString kind; // the value of "СекцияДокумент"
    QString number;
    QString dateText;   // "Дата"
    QString amountText; // "Сумма"
    QString payerAccount;
    QString payerSettlementAccount; // "ПлательщикРасчСчет"
    QString payer, payer1;
    QString payerInn;
    QString payeeAccount;
    QString payeeSettlementAccount; // "ПолучательРасчСчет"
    QString payee, payee1;
    QString receivedText; // "ДатаПоступило"
    QString debitedText;  // "ДатаСписано"
    QString purpose;      // "НазначениеПлатежа" and its continuations, joined
    int line = 0;         // of "СекцияДокумент", from 1

    // Read from the texts; an error keeps the document but it is never written.
    std::optional<qint64> kopecks;
    QDate date;        // "Дата"
    QDate paymentDate; // "ДатаПоступило", else "Дата"
    QString error;     // why the sum or a date cannot be read; empty when both can

    // The account the money went to and the one it came from, as banks fill
    // either of the two keys.
    const QString& payeeAccountOrSettlement() const {
        return payeeAccount.isEmpty() ? payeeSettlementAccount : payeeAccount;
    }
    const QString& payerAccountOrSettlement() const {
        return payerAccount.isEmpty() ? payerSettlementAccount : payerAccount;
    }
    // The payer's name: "Плательщик1" where given (banks put the person there).
    const QString& payerName() const { return payer1.isEmpty() ? payer : payer1; }
};

struct BankStatement {
    QString formatVersion; // "ВерсияФормата"
    QString encoding;      // "Кодировка" as written
    QString sender;        // "Отправитель"
    QString created;       // "ДатаСоздания"
    QString dateFrom, dateTo;
    QStringList accounts; // "РасчСчет" of the header, in order
    std::vector<StatementAccountSection> sections;
    std::vector<StatementDocument> documents;
    // What the reader could not take as written: an unknown encoding, a missing
    // end of file, a document cut off. Shown to the user with the statement.
    QStringList warnings;
};

// "ДД.ММ.ГГГГ"; an invalid date for anything else.
QDate ReadStatementDate(QStringView text);
