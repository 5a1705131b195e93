#include "ReceiptPayment.h"

#include "PayeeValidation.h"
#include "core/MonthNames.h"
#include "core/NumberText.h"
#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

qint64 PayableKopecks(const QString& total) {
    if (!IsNumberText(total))
        return 0;
    QString shown = FormatMoney(ReadNumber(total));
    if (shown.startsWith(u'-'))
        return 0;
    shown.remove(u',');
    return shown.toLongLong();
}

QString PaymentPlot(const SubscriberTable& table, int row) {
    const QString address = table.cell(row, ColAddress).trimmed();
    if (!address.isEmpty())
        return address;
    const QString number = table.cell(row, ColRowNumber).trimmed();
    return number.isEmpty() ? QString::number(row) : number;
}

QString PaymentValue(const QString& value) {
    QString v = value;
    v.replace(u'|', u'/');
    v.replace(u'\r', u' ');
    v.replace(u'\n', u' ');
    v.replace(u'\t', u' ');
    return v.simplified();
}

QString FillPurpose(QString tmpl, int month, const QString& yearText, const QString& plot,
                    const QString& name) {
    if (tmpl.trimmed().isEmpty())
        tmpl = PayeeDetails::defaultPurpose();
    tmpl.replace(u"{месяц}"_s, MonthName(month).toLower());
    tmpl.replace(u"{год}"_s, yearText);
    tmpl.replace(u"{участок}"_s, plot);
    tmpl.replace(u"{фио}"_s, name);
    QString out = PaymentValue(tmpl);
    if (out.size() > MaxPurposeLength) {
        out.truncate(MaxPurposeLength);
        // Never leave half of a surrogate pair.
        if (out.back().isHighSurrogate())
            out.chop(1);
        out = out.trimmed();
    }
    return out;
}

QString PaymentPayload(const PayeeDetails& d, const PaymentRequest& r) {
    QString s = u"ST00012"_s;
    auto add = [&s](const QString& name, const QString& value) {
        const QString v = PaymentValue(value);
        if (!v.isEmpty())
            s += u'|' + name + u'=' + v;
    };
    add(u"Name"_s, d[PayeeField::Name]);
    add(u"PersonalAcc"_s, d[PayeeField::Account]);
    add(u"BankName"_s, d[PayeeField::BankName]);
    add(u"BIC"_s, d[PayeeField::Bic]);
    add(u"CorrespAcc"_s, d[PayeeField::CorrAccount]);
    add(u"PayeeINN"_s, d[PayeeField::Inn]);
    add(u"KPP"_s, d[PayeeField::Kpp]);
    add(u"Sum"_s, QString::number(r.kopecks));
    add(u"Purpose"_s, r.purpose);
    add(u"PersAcc"_s, r.plot);
    add(u"LastName"_s, r.lastName);
    add(u"PaymPeriod"_s, u"%1%2"_s.arg(r.month, 2, 10, QLatin1Char('0')).arg(r.yearText));
    return s;
}

std::optional<ReceiptPayment> MakeReceiptPayment(const PayeeDetails& details,
                                                 const SubscriberTable& table, int row, int month,
                                                 const QString& yearText) {
    const auto year = YearIndex(yearText);
    if (details.isEmpty() || !year || month < 1 || month > 12 || row < 1 ||
        row > SubscriberTable::MaxRow)
        return std::nullopt;
    const PayeeDetails d = details.normalized();
    // Details changed by hand outside the program are not put on a receipt
    // unchecked: a code with a wrong account sends the money astray.
    if (!ValidatePayee(d).empty())
        return std::nullopt;
    PaymentRequest r;
    r.kopecks = PayableKopecks(table.cell(row, MonthColumn(*year, month, SlotTotalDue)));
    r.plot = PaymentPlot(table, row);
    r.lastName = table.cell(row, ColName);
    r.month = month;
    r.yearText = yearText;
    r.purpose = FillPurpose(d[PayeeField::Purpose], month, yearText, r.plot, r.lastName);

    ReceiptPayment p;
    p.purpose = r.purpose;
    QString innKpp = u"ИНН "_s + d[PayeeField::Inn];
    if (!d[PayeeField::Kpp].isEmpty())
        innKpp += u"   КПП "_s + d[PayeeField::Kpp];
    p.payeeLines = {u"Получатель: "_s + d[PayeeField::Name], innKpp,
                    u"Р/с "_s + d[PayeeField::Account], u"Банк: "_s + d[PayeeField::BankName],
                    u"БИК "_s + d[PayeeField::Bic] + u"   К/с "_s + d[PayeeField::CorrAccount]};
    if (r.kopecks > 0) {
        p.payload = PaymentPayload(d, r);
        p.code = QrMatrix::encode(p.payload.toUtf8());
        if (p.code)
            p.codeOutline = p.code->outline();
    }
    return p;
}
