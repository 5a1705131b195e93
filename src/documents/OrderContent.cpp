#include "OrderContent.h"

#include <QLocale>

#include "AmountInWords.h"
#include "core/NumberText.h"
#include "core/SubscriberTable.h"
#include "core/YearLayout.h"

using namespace Qt::StringLiterals;

QString NextOrderNumber(const QString& stored) {
    return PlainNumber(ReadNumber(stored) + 1);
}

QString LongRussianDate(const QDate& date) {
    return QLocale(QLocale::Russian, QLocale::Russia).toString(date, u"dd MMMM yyyy"_s) + u" г."_s;
}

QString ShortDate(const QDate& date) {
    return date.toString(u"dd.MM.yyyy"_s);
}

OrderContent MakeOrder(const SubscriberTable& table, int row, int month, const QString& yearText,
                       const OrderSettings& stored, const QDate& today) {
    OrderContent o;
    auto& lb = o.labels;
    lb[0] = stored.organisation;
    lb[9] = lb[0];
    lb[1] = NextOrderNumber(stored.number);
    lb[10] = lb[1];
    lb[4] = stored.receiptBasis;
    lb[14] = stored.orderBasis;
    lb[19] = stored.accountant;
    lb[20] = stored.cashier;
    lb[17] = lb[19];
    lb[18] = lb[20];
    lb[2] = LongRussianDate(today);
    lb[8] = lb[2];
    lb[11] = ShortDate(today);

    if (row < 1 || row > SubscriberTable::MaxRow)
        return o;
    const QString name = table.cell(row, ColName);
    lb[3] = u"Принято от: "_s + name;
    lb[13] = name;

    const QString total =
        table.cell(row, LedgerColumn(yearText, month) - SlotOpenDebt + SlotTotalDue);
    o.total = total;
    if (!total.trimmed().isEmpty()) {
        lb[5] = total + u" руб."_s;
        lb[12] = lb[5];
    }
    const AmountWords words = PROPIS(total);
    o.formatError = words.formatError;
    if (!words.formatError) {
        lb[6] = words.words;
        lb[15] = words.words;
    }
    const VatLines vat = MakeVatLines(total, today, stored.vat);
    lb[7] = vat.receipt;
    lb[16] = vat.order;
    return o;
}
