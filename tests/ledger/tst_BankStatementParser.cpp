#include <QTest>

#include "StatementFixture.h"
#include "ledger/BankStatementParser.h"

using namespace Qt::StringLiterals;
using namespace StatementFixture;

Q_DECLARE_METATYPE(std::optional<qint64>)

namespace {

// Both code pages, each with both line ends.
void AddCodePageRows() {
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<QString>("encodingKey");
    QTest::addColumn<bool>("crlf");
    QTest::newRow("Windows, CR LF") << "windows-1251"_ba << u"Windows"_s << true;
    QTest::newRow("Windows, LF") << "windows-1251"_ba << u"Windows"_s << false;
    QTest::newRow("DOS, CR LF") << "IBM866"_ba << u"DOS"_s << true;
    QTest::newRow("DOS, LF") << "IBM866"_ba << u"DOS"_s << false;
}

} // namespace

class tst_BankStatementParser : public QObject {
    Q_OBJECT
private slots:
    void readsBothCodePagesAndLineEnds_data();
    void readsBothCodePagesAndLineEnds();
    void everyKeyToItsOwnField_data();
    void everyKeyToItsOwnField();
    void purposeContinuations_data();
    void purposeContinuations();
    void amounts_data();
    void amounts();
    void damagedFiles_data();
    void damagedFiles();
    void refusedFiles_data();
    void refusedFiles();
    void unreadableDocumentIsKeptAsError_data();
    void unreadableDocumentIsKeptAsError();
    void twentyThousandDocuments();
};

void tst_BankStatementParser::readsBothCodePagesAndLineEnds_data() {
    AddCodePageRows();
}

void tst_BankStatementParser::readsBothCodePagesAndLineEnds() {
    QFETCH(QByteArray, codec);
    QFETCH(QString, encodingKey);
    QFETCH(bool, crlf);
    Doc first;
    first.purpose = u"Оплата за свет, участок № 12, Ёлкин"_s;
    Doc second;
    second.number = u"77"_s;
    second.date = u"31.03.2026"_s;
    second.received = u"01.04.2026"_s;
    second.amount = u"250,5"_s;
    second.payer = u"ПЕТРОВА МАРИЯ"_s;
    second.payer1.clear();
    const QString beforeSecond = Header(encodingKey, {OurAccount, OtherAccount}) +
                                 Section(OurAccount, u"100.00"_s, u"1750.50"_s, u"1850.50"_s) +
                                 DocText(first);
    const QString text = beforeSecond + DocText(second) + u"КонецФайла\n"_s;
    const BankStatementRead read = ParseBankStatement(Encode(text, codec.constData(), crlf));
    QCOMPARE(read.failure, StatementFailure::None);
    const BankStatement& st = read.statement;
    QVERIFY2(st.warnings.isEmpty(), qPrintable(st.warnings.join(u'\n')));
    QCOMPARE(st.formatVersion, u"1.03"_s);
    QCOMPARE(st.encoding, encodingKey);
    QCOMPARE(st.sender, u"Бухгалтерия"_s);
    QCOMPARE(st.dateFrom, u"01.03.2026"_s);
    QCOMPARE(st.accounts, QStringList({OurAccount, OtherAccount}));
    QCOMPARE(st.sections.size(), size_t(1));
    QCOMPARE(st.sections[0].account, OurAccount);
    QCOMPARE(st.sections[0].opening, std::optional<qint64>(10000));
    QCOMPARE(st.sections[0].received, std::optional<qint64>(175050));
    QCOMPARE(st.sections[0].closing, std::optional<qint64>(185050));
    QCOMPARE(st.documents.size(), size_t(2));

    const StatementDocument& a = st.documents[0];
    QCOMPARE(a.kind, u"Платежное поручение"_s);
    QCOMPARE(a.number, u"1"_s);
    QCOMPARE(a.kopecks, std::optional<qint64>(150000));
    QCOMPARE(a.payerName(), u"ИВАНОВ ИВАН ИВАНОВИЧ"_s);
    QCOMPARE(a.payerInn, u"000000000001"_s);
    QCOMPARE(a.payeeAccountOrSettlement(), OurAccount);
    QCOMPARE(a.purpose, u"Оплата за свет, участок № 12, Ёлкин"_s);
    QVERIFY(a.error.isEmpty());

    const StatementDocument& b = st.documents[1];
    QCOMPARE(b.number, u"77"_s);
    QCOMPARE(b.kopecks, std::optional<qint64>(25050));
    QCOMPARE(b.payerName(), u"ПЕТРОВА МАРИЯ"_s);
    QCOMPARE(b.date, QDate(2026, 3, 31));
    // Money received on the first of April is April's.
    QCOMPARE(b.paymentDate, QDate(2026, 4, 1));
    QCOMPARE(b.line, int(beforeSecond.count(u'\n')) + 1);
}

void tst_BankStatementParser::everyKeyToItsOwnField_data() {
    AddCodePageRows();
}

// Every document key in a field of its own, when the same text comes under
// several keys and again in the next document, and when a key is missing
// from the next document.
void tst_BankStatementParser::everyKeyToItsOwnField() {
    QFETCH(QByteArray, codec);
    QFETCH(QString, encodingKey);
    QFETCH(bool, crlf);
    const QString first = u"СекцияДокумент=Платёжное поручение\n"
                          u"Номер=11\nДата=14.03.2026\nСумма=100.00\n"
                          u"ПлательщикСчет=40817810000000000011\n"
                          u"ПлательщикРасчСчет=40817810000000000012\n"
                          u"Плательщик=ИНН 1 ОРЛОВ ОЛЕГ\nПлательщик1=ОРЛОВ ОЛЕГ\n"
                          u"ПлательщикИНН=000000000011\nПолучательСчет="_s +
                          OurAccount +
                          u"\nПолучательРасчСчет=40702810500000000013\n"
                          u"Получатель=ИНН 2 СНТ\nПолучатель1=СНТ\n"
                          u"ДатаСписано=13.03.2026\nДатаПоступило=15.03.2026\n"
                          u"НазначениеПлатежа=Оплата э/э уч 5\nКонецДокумента\n"_s;
    const QString second = u"СекцияДокумент=Платёжное поручение\n"
                           u"Номер=12\nДата=15.03.2026\nСумма=100.00\n"
                           u"ПлательщикСчет=40817810000000000012\nПлательщик=ОРЛОВ ОЛЕГ\n"
                           u"ПолучательСчет="_s +
                           OurAccount +
                           u"\nДатаСписано=15.03.2026\nДатаПоступило=15.03.2026\n"
                           u"КонецДокумента\n"_s;
    const QString text = Header(encodingKey) + first + second + u"КонецФайла\n"_s;
    const BankStatementRead read = ParseBankStatement(Encode(text, codec.constData(), crlf));
    const auto& docs = read.statement.documents;
    QCOMPARE(docs.size(), size_t(2));

    // Each field of the first document and of the second.
    struct Expected {
        QString StatementDocument::*field;
        QString first, second;
    };
    const Expected fields[] = {
        {&StatementDocument::kind, u"Платёжное поручение"_s, u"Платёжное поручение"_s},
        {&StatementDocument::number, u"11"_s, u"12"_s},
        {&StatementDocument::dateText, u"14.03.2026"_s, u"15.03.2026"_s},
        {&StatementDocument::amountText, u"100.00"_s, u"100.00"_s},
        {&StatementDocument::payerAccount, u"40817810000000000011"_s, u"40817810000000000012"_s},
        {&StatementDocument::payerSettlementAccount, u"40817810000000000012"_s, QString()},
        {&StatementDocument::payer, u"ИНН 1 ОРЛОВ ОЛЕГ"_s, u"ОРЛОВ ОЛЕГ"_s},
        {&StatementDocument::payer1, u"ОРЛОВ ОЛЕГ"_s, QString()},
        {&StatementDocument::payerInn, u"000000000011"_s, QString()},
        {&StatementDocument::payeeAccount, OurAccount, OurAccount},
        {&StatementDocument::payeeSettlementAccount, u"40702810500000000013"_s, QString()},
        {&StatementDocument::payee, u"ИНН 2 СНТ"_s, QString()},
        {&StatementDocument::payee1, u"СНТ"_s, QString()},
        {&StatementDocument::debitedText, u"13.03.2026"_s, u"15.03.2026"_s},
        {&StatementDocument::receivedText, u"15.03.2026"_s, u"15.03.2026"_s},
        {&StatementDocument::purpose, u"Оплата э/э уч 5"_s, QString()},
    };
    for (const Expected& e : fields) {
        QCOMPARE(docs[0].*e.field, e.first);
        QCOMPARE(docs[1].*e.field, e.second);
    }
    QCOMPARE(docs[0].date, QDate(2026, 3, 14));
    QCOMPARE(docs[0].paymentDate, QDate(2026, 3, 15));
    QCOMPARE(docs[1].date, QDate(2026, 3, 15));
    QCOMPARE(docs[1].paymentDate, QDate(2026, 3, 15));
}

void tst_BankStatementParser::purposeContinuations_data() {
    QTest::addColumn<QString>("purpose");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole only") << u"Оплата э/э уч 5"_s << QStringList() << u"Оплата э/э уч 5"_s;
    QTest::newRow("lines only") << QString() << QStringList({u"Оплата э/э"_s, u"уч 5"_s})
                                << u"Оплата э/э уч 5"_s;
    QTest::newRow("whole continued")
        << u"Оплата электроэнергии за март"_s << QStringList({u"участок 5"_s, u"Сидорова"_s})
        << u"Оплата электроэнергии за март участок 5 Сидорова"_s;
    // Banks that write both give the same text twice: it is taken once.
    QTest::newRow("lines repeat the whole")
        << u"Оплата электроэнергии за март участок 5"_s
        << QStringList({u"Оплата электроэнергии за"_s, u"март участок 5"_s})
        << u"Оплата электроэнергии за март участок 5"_s;
    QTest::newRow("whole cut short")
        << u"Оплата электроэнергии за"_s
        << QStringList({u"Оплата электроэнергии за"_s, u"март участок 5"_s})
        << u"Оплата электроэнергии за март участок 5"_s;
    QTest::newRow("six lines") << QString()
                               << QStringList({u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s})
                               << u"1 2 3 4 5 6"_s;
}

void tst_BankStatementParser::purposeContinuations() {
    QFETCH(QString, purpose);
    QFETCH(QStringList, lines);
    QFETCH(QString, expected);
    Doc d;
    d.purpose = purpose;
    d.purposeLines = lines;
    const BankStatementRead read = ParseBankStatement(Cp1251(Statement({d})));
    QCOMPARE(read.statement.documents.size(), size_t(1));
    QCOMPARE(read.statement.documents[0].purpose, expected);
}

void tst_BankStatementParser::amounts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<qint64>>("kopecks");
    const std::optional<qint64> none;
    QTest::newRow("point") << u"1500.00"_s << std::optional<qint64>(150000);
    QTest::newRow("comma, one decimal") << u"1500,5"_s << std::optional<qint64>(150050);
    QTest::newRow("whole") << u"12"_s << std::optional<qint64>(1200);
    QTest::newRow("kopecks") << u"0.07"_s << std::optional<qint64>(7);
    QTest::newRow("grouped") << u"1 234.56"_s << std::optional<qint64>(123456);
    QTest::newRow("trailing zero decimals") << u"10.500"_s << std::optional<qint64>(1050);
    QTest::newRow("a third decimal") << u"10.505"_s << none;
    QTest::newRow("negative") << u"-5.00"_s << none;
    QTest::newRow("two separators") << u"1.234,56"_s << none;
    QTest::newRow("letters") << u"сто"_s << none;
    QTest::newRow("empty") << QString() << none;
    QTest::newRow("point alone") << u"."_s << none;
}

void tst_BankStatementParser::amounts() {
    QFETCH(QString, text);
    QFETCH(std::optional<qint64>, kopecks);
    QCOMPARE(ReadKopecks(text), kopecks);
}

void tst_BankStatementParser::damagedFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("numbers"); // of the documents read
    QTest::addColumn<QString>("warning");     // a text the warnings contain
    Doc d1, d2, d3;
    d1.number = u"1"_s;
    d2.number = u"2"_s;
    d3.number = u"3"_s;
    const QString noEnd = u"нет строки «КонецФайла»"_s;
    QTest::newRow("no end of file")
        << Cp1251(Statement({d1, d2}, false)) << QStringList({u"1"_s, u"2"_s}) << noEnd;
    Doc cut = d3;
    cut.closed = false;
    // The line a document would start at after the given ones.
    auto lineAfter = [](const QList<Doc>& docs) {
        return QString::number(Statement(docs, false).count(u'\n') + 1);
    };
    QTest::newRow("cut in the last document")
        << Cp1251(Statement({d1, d2, cut}, false)) << QStringList({u"1"_s, u"2"_s})
        << u"Документ, начатый в строке "_s + lineAfter({d1, d2}) +
               u", не закончен строкой «КонецДокумента»"_s;
    QTest::newRow("a document left open before the next")
        << Cp1251(Statement({d1, cut, d2})) << QStringList({u"1"_s, u"2"_s})
        << u"Документ, начатый в строке "_s + lineAfter({d1}) + u", не закончен"_s;
    // A file cut inside a line: the half line of the open document is dropped with it.
    QByteArray half = Cp1251(Statement({d1, d2}, false));
    half.chop(30);
    QTest::newRow("cut inside a line") << half << QStringList({u"1"_s}) << noEnd;
    QTest::newRow("unknown encoding")
        << Cp1251(Header(u"KOI8-R"_s) + DocText(d1) + u"КонецФайла\n"_s) << QStringList({u"1"_s})
        << u"Кодировка «KOI8-R» неизвестна: файл прочитан как Windows-1251."_s;
    QTest::newRow("no encoding line")
        << Cp1251(u"1CClientBankExchange\n"_s + DocText(d1) + u"КонецФайла\n"_s)
        << QStringList({u"1"_s}) << u"Кодировка не указана: файл прочитан как Windows-1251."_s;
}

void tst_BankStatementParser::damagedFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, numbers);
    QFETCH(QString, warning);
    const BankStatementRead read = ParseBankStatement(bytes);
    QCOMPARE(read.failure, StatementFailure::None);
    QStringList read_numbers;
    for (const StatementDocument& d : read.statement.documents) {
        read_numbers << d.number;
        QVERIFY2(d.error.isEmpty(), qPrintable(d.error));
    }
    QCOMPARE(read_numbers, numbers);
    const QString all = read.statement.warnings.join(u'\n');
    QVERIFY2(all.contains(warning, Qt::CaseInsensitive), qPrintable(all));
}

void tst_BankStatementParser::refusedFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<StatementFailure>("failure");
    QTest::newRow("garbage") << "\x89PNG\r\n\x1a\n\0\0\0\rIHDR"_ba
                             << StatementFailure::NotStatement;
    QTest::newRow("empty") << QByteArray() << StatementFailure::NotStatement;
    QTest::newRow("a database line")
        << Cp1251(u"1|Иванов И. И.|12|||||\r\n"_s) << StatementFailure::NotStatement;
    QTest::newRow("the header in the second line")
        << Cp1251(u"\n"_s + Statement({Doc()})) << StatementFailure::NotStatement;
    QByteArray big = Cp1251(Statement({Doc()}));
    big.append(MaxStatementBytes + 1 - big.size(), ' ');
    QTest::newRow("over 50 MB") << big << StatementFailure::TooLarge;
}

void tst_BankStatementParser::refusedFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(StatementFailure, failure);
    const BankStatementRead read = ParseBankStatement(bytes);
    QCOMPARE(read.failure, failure);
    QVERIFY(read.statement.documents.empty());
    if (failure == StatementFailure::NotStatement)
        QCOMPARE(StatementFailureText(failure),
                 u"Файл не похож на выписку банка в формате 1С: первая строка не "
                 u"«1CClientBankExchange»."_s);
    QVERIFY(!StatementFailureText(failure).isEmpty());
}

void tst_BankStatementParser::unreadableDocumentIsKeptAsError_data() {
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("error");
    QTest::newRow("sum") << u"12,3,4"_s << u"14.03.2026"_s << QString()
                         << u"сумма «12,3,4» не читается"_s;
    QTest::newRow("no sum") << QString() << u"14.03.2026"_s << QString() << u"нет суммы"_s;
    QTest::newRow("date") << u"10.00"_s << u"31.02.2026"_s << QString()
                          << u"дата «31.02.2026» не читается"_s;
    QTest::newRow("received date")
        << u"10.00"_s << u"14.03.2026"_s << u"вчера"_s << u"дата поступления «вчера» не читается"_s;
    QTest::newRow("date received the same unreadable day")
        << u"10.00"_s << u"31.02.2026"_s << u"31.02.2026"_s
        << u"дата «31.02.2026» не читается; дата поступления «31.02.2026» не читается"_s;
    QTest::newRow("sum and date") << u"x"_s << u"2026-03-14"_s << QString()
                                  << u"сумма «x» не читается; дата «2026-03-14» не читается"_s;
}

void tst_BankStatementParser::unreadableDocumentIsKeptAsError() {
    QFETCH(QString, amount);
    QFETCH(QString, date);
    QFETCH(QString, received);
    QFETCH(QString, error);
    Doc bad;
    bad.number = u"2"_s;
    bad.amount = amount;
    bad.date = date;
    bad.received = received;
    const BankStatementRead read = ParseBankStatement(Cp1251(Statement({Doc(), bad, Doc()})));
    const auto& docs = read.statement.documents;
    QCOMPARE(docs.size(), size_t(3));
    QCOMPARE(docs[1].number, u"2"_s);
    QCOMPARE(docs[1].error, error);
    QVERIFY(docs[0].error.isEmpty());
    QVERIFY(docs[2].error.isEmpty());
}

void tst_BankStatementParser::twentyThousandDocuments() {
    constexpr int Count = 20000;
    QString text = Header(u"DOS"_s) + Section(OurAccount, u"0.00"_s, u"0.00"_s, u"0.00"_s);
    qint64 expected = 0;
    for (int i = 0; i < Count; ++i) {
        Doc d;
        d.number = QString::number(i + 1);
        const qint64 kopecks = 10000 + i * 7;
        expected += kopecks;
        d.amount =
            QString::number(kopecks / 100) + u'.' + QString::number(kopecks % 100 + 100).mid(1);
        d.purpose = u"Оплата электроэнергии уч. %1"_s.arg(i % 501 + 1);
        text += DocText(d);
    }
    text += u"КонецФайла\n"_s;
    const BankStatementRead read = ParseBankStatement(Encode(text, "IBM866", true));
    QCOMPARE(read.failure, StatementFailure::None);
    QVERIFY2(read.statement.warnings.isEmpty(), qPrintable(read.statement.warnings.join(u'\n')));
    const auto& docs = read.statement.documents;
    QCOMPARE(docs.size(), size_t(Count));
    qint64 sum = 0;
    for (const StatementDocument& d : docs) {
        QVERIFY(d.kopecks);
        sum += *d.kopecks;
    }
    QCOMPARE(sum, expected);
    QCOMPARE(docs.back().number, QString::number(Count));
    QCOMPARE(docs.back().purpose, u"Оплата электроэнергии уч. %1"_s.arg((Count - 1) % 501 + 1));
}

QTEST_GUILESS_MAIN(tst_BankStatementParser)
#include "tst_BankStatementParser.moc"
