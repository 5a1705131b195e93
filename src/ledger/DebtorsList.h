#pragma once

#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

class SubscriberTable;

// "Сверка расчётов": who owes and who has paid ahead at the end of a month,
// read from the ledger's stored closing balances. Nothing is written.
struct DebtorEntry {
    int row = 0;
    QString label;  // as the ledger's first column: "3. Иванов И. И."
    QString plot;   // the subscriber's address
    QString debt;   // closing debt as stored
    QString credit; // closing credit as stored
    double debtValue = 0;
    double creditValue = 0;
};

struct DebtorsList {
    QString title;
    int month = 1;
    QString yearText;
    std::vector<DebtorEntry> entries;
    double totalDebt = 0;
    double totalCredit = 0;

    static QStringList headers(); // the four columns
};

// Every subscriber whose closing debt or credit of month 1..12 of the year
// is not empty (nor a stored zero), in row order.
DebtorsList MakeDebtorsList(const SubscriberTable& table, int yearIndex, int month);

// "Сверка расчётов за электроэнергию на конец марта 2019 г."
QString DebtorsTitle(int month, const QString& yearText);
// The file name the export proposes, without extension.
QString DebtorsExportName(int month, const QString& yearText);

// How the printed list falls into pages: (first line, line count) of each
// page, where the lines are the entries and then the totals line. The first
// page has room for firstPageLines (the title takes the rest), the others
// for pageLines.
std::vector<std::pair<int, int>> DebtorsPageSlices(int entries, int firstPageLines, int pageLines);
