#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

#include "StatementFixture.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "documents/PayeeDetails.h"
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
    state.shownYearText = QStringLiteral("2026");
    state.ledgerMonth = 2; // March
}

inline QString Text() {
    Doc plot;
    plot.number = QStringLiteral("11");
    Doc name;
    name.number = QStringLiteral("12");
    name.amount = QStringLiteral("250,50");
    name.purpose = QStringLiteral("Оплата за электроэнергию");
    name.payer = name.payer1 = QStringLiteral("ПЕТРОВ ПЕТР ПЕТРОВИЧ");
    name.payerAccount = QStringLiteral("40817810000000000202");
    Doc unknown;
    unknown.number = QStringLiteral("13");
    unknown.amount = QStringLiteral("300.00");
    unknown.purpose = QStringLiteral("Перевод по номеру телефона");
    unknown.payer = unknown.payer1 = QStringLiteral("КУЗНЕЦОВ КУЗЬМА КУЗЬМИЧ");
    unknown.payerAccount = QStringLiteral("40817810000000000303");
    Doc bad;
    bad.number = QStringLiteral("14");
    bad.amount = QStringLiteral("сто");
    Doc loaded;
    loaded.number = QStringLiteral("15");
    loaded.amount = QStringLiteral("400.00");
    loaded.purpose = QStringLiteral("уч. 3 электроэнергия");
    loaded.payer = loaded.payer1 = QStringLiteral("СИДОРОВА АННА БОРИСОВНА");
    loaded.payerAccount = QStringLiteral("40817810000000000404");
    // The bank's own total is short of the documents by 450,50.
    QString s = Header() + Section(OurAccount, QStringLiteral("100.00"), QStringLiteral("2000.00"),
                                   QStringLiteral("2100.00"));
    for (const Doc& d : {plot, name, unknown, bad, loaded})
        s += DocText(d);
    return s + QStringLiteral("КонецФайла\n");
}

inline bool WriteStatement(const QString& path, const QString& text = Text()) {
    QFile f(path);
    const QByteArray bytes = StatementFixture::Cp1251(text);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
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
