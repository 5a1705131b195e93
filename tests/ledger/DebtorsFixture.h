#pragma once

#include <QStringList>

#include "core/SubscriberTable.h"
#include "ledger/LedgerMath.h"
#include "ledger/LedgerModel.h"

// Six subscribers whose March 2019 the ledger has computed: charges and
// payments leave two owing, one ahead, one even, one never billed and one
// with a closing value typed as text.
struct DebtorsFixture {
    static constexpr int Month = 3;
    static inline const QString Year = QStringLiteral("2019");

    static QStringList names() {
        return {QStringLiteral("Андреев А. А."),   QStringLiteral("Борисов Б. Б."),
                QStringLiteral("Васильева В. В."), QStringLiteral("Григорьев Г. Г."),
                QStringLiteral("Дмитриев Д. Д."),  QStringLiteral("Егоров Е. Е.")};
    }

    static int column(int slot) { return LedgerColumn(*YearIndex(Year), Month) - 10 + slot; }

    static void fill(SubscriberTable& t) {
        const QStringList n = names();
        t.setSubscriberCount(int(n.size()));
        const QStringList plots = {QStringLiteral("12"), QStringLiteral("7А"), QString(),
                                   QStringLiteral("3"),  QStringLiteral("40"), QStringLiteral("8")};
        for (int r = 1; r <= int(n.size()); ++r) {
            t.setCell(r, ColRowNumber, QString::number(r));
            t.setCell(r, ColName, n[r - 1]);
            t.setCell(r, ColAddress, plots[r - 1]);
        }
        // Electricity, paid in.
        t.setCell(1, column(9), QStringLiteral("1150,00"));
        t.setCell(1, column(SlotPaidIn), QStringLiteral("1000,00"));
        t.setCell(3, column(9), QStringLiteral("450,00"));
        t.setCell(3, column(SlotPaidIn), QStringLiteral("500,00"));
        t.setCell(4, column(SlotOpenDebt), QStringLiteral("1000,00"));
        t.setCell(4, column(9), QStringLiteral("234,56"));
        t.setCell(5, column(9), QStringLiteral("300,00"));
        t.setCell(5, column(SlotPaidIn), QStringLiteral("300,00"));
        LedgerModel ledger(t);
        ledger.fill(Year, Month);
        ledger.compute();
        ledger.save();
        // Typed outside the ledger: shown as it stands, counted as 0.
        t.setCell(6, column(SlotCloseDebt), QStringLiteral("см. акт"));
    }
};
