#include "LedgerMath.h"

#include "core/NumberText.h"
#include "core/YearLayout.h"

using namespace Qt::StringLiterals;

std::optional<int> MonthNumber(const QString& name) {
    const qsizetype i = MonthNames().indexOf(name);
    if (i < 0)
        return std::nullopt;
    return int(i) + 1;
}

int LedgerSlotOfColumn(int gridColumn) {
    static constexpr int slotOf[LedgerGridColumns] = {-1,
                                                      SlotOpenDebt,
                                                      SlotOpenCredit,
                                                      ChargeWithComp,
                                                      SlotPrepayment,
                                                      SlotElectrician,
                                                      SlotOtherCharge,
                                                      -1,
                                                      SlotPaidIn,
                                                      SlotIncome2,
                                                      SlotOtherIncome,
                                                      -1,
                                                      -1,
                                                      -1};
    if (gridColumn < 0 || gridColumn >= LedgerGridColumns)
        return -1;
    return slotOf[gridColumn];
}

bool IsLedgerEditableColumn(int c) {
    return c == LgPrepayment || c == LgElectrician || c == LgOtherCharge || c == LgPaidIn ||
           c == LgIncome2 || c == LgOtherIncome;
}

bool IsLedgerHiddenColumn(int c) {
    return c == LgPrepayment || c == LgIncome2 || c == LgPrepayBalance;
}

namespace {

// Whether the text is already what FormatMoney would make of it ("402,50",
// "-3,05"): most stored ledger cells are, since the ledger stores what it shows.
bool IsMoneyForm(QStringView t) {
    const qsizetype n = t.size();
    if (n < 4 || n > 15 || t[n - 3] != u',')
        return false;
    const qsizetype first = t[0] == u'-' ? 1 : 0;
    if (n - 3 - first < 1 || (t[first] == u'0' && n - 3 - first > 1))
        return false;
    bool nonZero = false;
    for (qsizetype i = first; i < n; ++i) {
        if (i == n - 3)
            continue;
        const char16_t ch = t[i].unicode();
        if (ch < u'0' || ch > u'9')
            return false;
        nonZero = nonZero || ch != u'0';
    }
    return nonZero || first == 0;
}

} // namespace

QString LedgerLoadText(const QString& stored) {
    if (stored.isEmpty() || IsMoneyForm(stored) || !IsNumberText(stored))
        return stored;
    return FormatMoney(ReadNumber(stored));
}

QString LedgerEditorText(QString t) {
    for (qsizetype cr = t.indexOf(u'\r'); cr >= 0; cr = t.indexOf(u'\r'))
        t.remove(cr, 2);
    const qsizetype n = t.size();
    if (n == 0)
        return t;
    if (n >= 3 && t[n - 3] == u',')
        return t;
    if (n >= 2 && t[n - 2] == u',')
        return t + u'0';
    if (!t.contains(u','))
        return t + u",00"_s;
    return t;
}

LedgerRowResult ComputeLedgerRow(const double (&a)[LedgerGridColumns], double carried) {
    // Kept in this order so that the sums come out as the treasurer's book has them.
    const double total = a[LgElectricity] + a[LgPrepayment] + a[LgElectrician] + a[LgOtherCharge] +
                         a[LgOpenDebt] - a[LgOpenCredit];
    const double net = a[LgPaidIn] + a[LgIncome2] + a[LgOtherIncome] - total;
    const double prepay = carried + a[LgPrepayment] - a[LgIncome2];
    LedgerRowResult r;
    r.totalDue = LedgerText(total);
    if (!(net > 0))
        r.closeDebt = LedgerText(-net);
    else
        r.closeCredit = LedgerText(net);
    r.prepayBalance = LedgerText(prepay);
    r.prepayNegative = prepay < 0;
    return r;
}

std::optional<LedgerCell> NextLedgerCell(LedgerCell from, int rowCount, bool moveDown) {
    const bool lastRow = from.row + 1 >= rowCount;
    if (moveDown) {
        if (lastRow)
            return std::nullopt;
        return LedgerCell{from.row + 1, from.column};
    }
    switch (from.column) {
    case LgElectrician:
        return LedgerCell{from.row, LgOtherCharge};
    case LgOtherCharge:
        return LedgerCell{from.row, LgPaidIn};
    case LgPaidIn:
        return LedgerCell{from.row, LgOtherIncome};
    case LgOtherIncome:
        if (lastRow)
            return std::nullopt;
        return LedgerCell{from.row + 1, LgElectrician};
    default:
        return from; // the hidden columns keep the cursor where it is
    }
}
