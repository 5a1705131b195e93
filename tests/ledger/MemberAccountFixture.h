#pragma once

#include <QStringList>

#include "core/NumberText.h"
#include "core/SubscriberTable.h"
#include "ledger/LedgerMath.h"
#include "ledger/LedgerModel.h"
#include "storage/PaymentJournal.h"

// Three subscribers' 2019: charges every month, payments, an opening debt
// and an opening credit brought into January, a prepayment charge and its
// income for one of them, nothing at all for the third.
struct MemberAccountFixture {
    static inline const QString Year = QStringLiteral("2019");
    static int year() { return *YearIndex(Year); }

    static QStringList names() {
        return {QStringLiteral("Андреев А. А."), QStringLiteral("Борисов Б. Б."),
                QStringLiteral("Васильева В. В.")};
    }

    static void put(SubscriberTable& t, int row, int month, int slot, const QString& text) {
        t.setCell(row, MonthColumn(year(), month, slot), text);
    }
    static QString cell(const SubscriberTable& t, int row, int month, int slot) {
        return t.cell(row, MonthColumn(year(), month, slot));
    }

    // shown: the ledger has shown every month of the year since.
    static void fill(SubscriberTable& t, bool shown) {
        const QStringList n = names();
        t.setSubscriberCount(int(n.size()));
        const QStringList plots = {QStringLiteral("12"), QStringLiteral("7А"), QString()};
        for (int r = 1; r <= int(n.size()); ++r) {
            t.setCell(r, ColRowNumber, QString::number(r));
            t.setCell(r, ColName, n[r - 1]);
            t.setCell(r, ColAddress, plots[r - 1]);
        }
        // Subscriber 1: 200,50 + month for electricity, 100 owed from 2018.
        put(t, 1, 1, SlotOpenDebt, QStringLiteral("100,00"));
        for (int m = 1; m <= 12; ++m)
            put(t, 1, m, ChargeWithComp, FormatMoney(200.5 + m));
        put(t, 1, 1, SlotPaidIn, QStringLiteral("300,00"));
        put(t, 1, 3, SlotPaidIn, QStringLiteral("500,00"));
        put(t, 1, 7, SlotPaidIn, QStringLiteral("1000,00"));
        put(t, 1, 6, SlotElectrician, QStringLiteral("50,00"));
        put(t, 1, 9, SlotOtherCharge, QStringLiteral("25,00"));
        put(t, 1, 10, SlotOtherIncome, QStringLiteral("10,00"));
        // Subscriber 2: 80 ahead from 2018, a prepayment charged in April and
        // paid in May, a payment typed as text.
        put(t, 2, 1, SlotOpenCredit, QStringLiteral("80,00"));
        for (int m = 1; m <= 12; ++m)
            put(t, 2, m, ChargeWithComp, QStringLiteral("150,00"));
        put(t, 2, 4, SlotPrepayment, QStringLiteral("120,00"));
        put(t, 2, 5, SlotIncome2, QStringLiteral("120,00"));
        put(t, 2, 2, SlotPaidIn, QStringLiteral("500,00"));
        put(t, 2, 8, SlotPaidIn, QStringLiteral("см. чек"));
        if (shown)
            RunLedgerYear(t, year());
    }

    static JournalEntry payment(int row, const QString& name, int year, const QString& date,
                                qint64 kopecks, const QString& number, int month) {
        JournalEntry e;
        e.account = QStringLiteral("40703810000000000001");
        e.number = number;
        e.dateText = date;
        e.kopecks = kopecks;
        e.row = row;
        e.name = name;
        e.month = month;
        e.year = year;
        return e;
    }
};
