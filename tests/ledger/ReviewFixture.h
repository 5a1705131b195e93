#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

#include "StatementFixture.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "documents/PayeeDetails.h"
#include "ledger/StatementLoadSteps.h"
#include "storage/PaymentJournal.h"

// A statement of March 2026 for three members, one payment of each kind the
// review shows: found by the plot, found by the name, not found, unreadable,
// and one already in the journal. Invented accounts and people only.
namespace ReviewFixture {

using namespace StatementFixture;

// Rows of the review, in the statement's order.
enum Payment { ByPlot, ByName, NotFound, Unreadable, Loaded, PaymentCount };

inline int Year2026() {
    return *YearIndex(QStringLiteral("2026"));
}

// Иванов on plot 12, Петров on 7, Сидорова on 3; 2026 offered.
inline void FillMembers(AppState& state, const QString& folder) {
    state.table = MakeTable({{QStringLiteral("Иванов И. И."), QStringLiteral("12")},
                             {QStringLiteral("Петров П. П."), QStringLiteral("7")},
                             {QStringLiteral("Сидорова А. Б."), QStringLiteral("3")}});
    state.table.setOfferedYears(OfferedYears(2027));
    state.programFolder = folder;
}

// A payment of another member than the fixture's default Иванов.
inline Doc Paid(const QString& number, const QString& amount, const QString& purpose,
                const QString& payer, const QString& payerAccount) {
    Doc d;
    d.number = number;
    d.amount = amount;
    d.purpose = purpose;
    d.payer = d.payer1 = payer;
    d.payerAccount = payerAccount;
    return d;
}

inline QString Text() {
    Doc plot;
    plot.number = QStringLiteral("11");
    Doc bad;
    bad.number = QStringLiteral("14");
    bad.amount = QStringLiteral("сто");
    const QList<Doc> docs = {
        plot,
        Paid(QStringLiteral("12"), QStringLiteral("250,50"),
             QStringLiteral("Оплата за электроэнергию"), QStringLiteral("ПЕТРОВ ПЕТР ПЕТРОВИЧ"),
             QStringLiteral("40817810000000000202")),
        Paid(QStringLiteral("13"), QStringLiteral("300.00"),
             QStringLiteral("Перевод по номеру телефона"),
             QStringLiteral("КУЗНЕЦОВ КУЗЬМА КУЗЬМИЧ"), QStringLiteral("40817810000000000303")),
        bad,
        Paid(QStringLiteral("15"), QStringLiteral("400.00"), QStringLiteral("уч. 3 электроэнергия"),
             QStringLiteral("СИДОРОВА АННА БОРИСОВНА"), QStringLiteral("40817810000000000404")),
    };
    // The bank's own total is short of the documents by 450,50.
    QString s = Header() + Section(OurAccount, QStringLiteral("100.00"), QStringLiteral("2000.00"),
                                   QStringLiteral("2100.00"));
    for (const Doc& d : docs)
        s += DocText(d);
    return s + QStringLiteral("КонецФайла\n");
}

inline bool WriteStatement(const QString& path, const QString& text = Text()) {
    QFile f(path);
    const QByteArray bytes = StatementFixture::Cp1251(text);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The fixture's statement written to folder/statement.txt and read for review.
inline StatementToReview ReadFixture(const QString& folder, const SubscriberTable& table,
                                     const PaymentJournal& journal) {
    const QString path = folder + QStringLiteral("/statement.txt");
    if (!WriteStatement(path))
        qFatal("cannot write the statement");
    return ReadStatementToReview(path, table, OurAccount, journal, {});
}

// The journal's line of the loaded payment, written on 20.03.2026.
inline JournalEntry LoadedEntry() {
    JournalEntry e;
    e.account = OurAccount;
    e.number = QStringLiteral("15");
    e.dateText = QStringLiteral("14.03.2026");
    e.kopecks = 40000;
    e.payerAccount = QStringLiteral("40817810000000000404");
    e.row = 3;
    e.name = QStringLiteral("Сидорова А. Б.");
    e.month = 3;
    e.year = 2026;
    e.written = QDateTime(QDate(2026, 3, 20), QTime(10, 0));
    return e;
}

// The payee details name our account.
inline void StoreOurAccount(Settings& settings) {
    PayeeDetails payee;
    payee[PayeeField::Name] = QStringLiteral("СНТ «Остров»");
    payee[PayeeField::Account] = OurAccount;
    StorePayeeDetails(settings, payee);
}

} // namespace ReviewFixture
