#pragma once

#include <QByteArray>
#include <QString>
#include <QStringEncoder>
#include <QStringList>

#include "core/SubscriberTable.h"

// Hand-made client-bank exchange files: invented accounts and people only.
namespace StatementFixture {

inline const QString OurAccount = QStringLiteral("40703810900000000001");
inline const QString OtherAccount = QStringLiteral("40702810500000000002");

struct Doc {
    QString number = QStringLiteral("1");
    QString date = QStringLiteral("14.03.2026");
    QString amount = QStringLiteral("1500.00");
    QString payerAccount = QStringLiteral("40817810000000000101");
    QString payer = QStringLiteral("ИНН 0 ИВАНОВ ИВАН ИВАНОВИЧ");
    QString payer1 = QStringLiteral("ИВАНОВ ИВАН ИВАНОВИЧ");
    QString payerInn = QStringLiteral("000000000001");
    QString payeeAccount = OurAccount;
    QString received = QStringLiteral("14.03.2026");
    QString purpose = QStringLiteral("Оплата электроэнергии уч. 12 за февраль 2026");
    QStringList purposeLines; // НазначениеПлатежа1..
    bool closed = true;
};

inline QString DocText(const Doc& d) {
    QStringList l;
    l << QStringLiteral("СекцияДокумент=Платежное поручение") << u"Номер=" + d.number
      << u"Дата=" + d.date << u"Сумма=" + d.amount << u"ПлательщикСчет=" + d.payerAccount
      << u"Плательщик=" + d.payer << u"ПлательщикИНН=" + d.payerInn << u"Плательщик1=" + d.payer1
      << QStringLiteral("ПлательщикБанк1=ПАО \"ВЫДУМАННЫЙ БАНК\"")
      << QStringLiteral("ПлательщикБИК=044500001") << u"ПолучательСчет=" + d.payeeAccount
      << u"ДатаПоступило=" + d.received << QStringLiteral("Получатель=СНТ \"ОСТРОВ\"")
      << QStringLiteral("Получатель1=СНТ \"ОСТРОВ\"") << QStringLiteral("ВидОплаты=01")
      << QStringLiteral("Очередность=5") << u"НазначениеПлатежа=" + d.purpose;
    for (int k = 0; k < d.purposeLines.size(); ++k)
        l << u"НазначениеПлатежа" + QString::number(k + 1) + u'=' + d.purposeLines[k];
    if (d.closed)
        l << QStringLiteral("КонецДокумента");
    return l.join(u'\n') + u'\n';
}

inline QString Header(const QString& encoding = QStringLiteral("Windows"),
                      const QStringList& accounts = {OurAccount}) {
    QString h = QStringLiteral("1CClientBankExchange\nВерсияФормата=1.03\n") + u"Кодировка=" +
                encoding +
                QStringLiteral("\nОтправитель=Бухгалтерия\nПолучатель=\nДатаСоздания=01.04.2026\n"
                               "ВремяСоздания=10:00:00\nДатаНачала=01.03.2026\n"
                               "ДатаКонца=31.03.2026\n");
    for (const QString& a : accounts)
        h += u"РасчСчет=" + a + u'\n';
    h += QStringLiteral("Документ=Платежное поручение\n");
    return h;
}

inline QString Section(const QString& account, const QString& opening, const QString& received,
                       const QString& closing) {
    return u"СекцияРасчСчет\nДатаНачала=01.03.2026\nДатаКонца=31.03.2026\nРасчСчет=" + account +
           u"\nНачальныйОстаток=" + opening + u"\nВсегоПоступило=" + received +
           u"\nВсегоСписано=0.00\nКонечныйОстаток=" + closing + u"\nКонецРасчСчет\n";
}

inline QString Statement(const QList<Doc>& docs, bool endOfFile = true) {
    QString s = Header() + Section(OurAccount, QStringLiteral("100.00"), QStringLiteral("1500.00"),
                                   QStringLiteral("1600.00"));
    for (const Doc& d : docs)
        s += DocText(d);
    if (endOfFile)
        s += QStringLiteral("КонецФайла\n");
    return s;
}

// The text in a code page ("windows-1251", "IBM866") with CR LF or LF line ends.
inline QByteArray Encode(QString text, const char* codec, bool crlf) {
    if (crlf)
        text.replace(u'\n', QStringLiteral("\r\n"));
    QStringEncoder enc(codec);
    return enc.encode(text);
}

inline QByteArray Cp1251(const QString& text) {
    return Encode(text, "windows-1251", true);
}

struct Member {
    QString name, address;
};
// Subscriber r + 1 from members[r], row numbers "1", "2", ...
inline SubscriberTable MakeTable(const QList<Member>& members) {
    SubscriberTable t;
    t.setSubscriberCount(int(members.size()));
    for (int r = 1; r <= members.size(); ++r) {
        t.setCell(r, ColRowNumber, QString::number(r));
        t.setCell(r, ColName, members[r - 1].name);
        t.setCell(r, ColAddress, members[r - 1].address);
    }
    return t;
}

} // namespace StatementFixture
