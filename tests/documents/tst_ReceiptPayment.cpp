#include <QTest>

#include "core/SubscriberTable.h"
#include "documents/MonthReceipts.h"
#include "documents/ReceiptPayment.h"
#include "ReceiptFixture.h"
#include "SamplePayee.h"

using namespace Qt::StringLiterals;

namespace {

int TotalColumn(int month) {
    return MonthColumn(*YearIndex(u"2019"_s), month, 15);
}

// The payload's fields in order, as a bank's app splits them.
QList<std::pair<QString, QString>> Fields(const QString& payload) {
    QList<std::pair<QString, QString>> out;
    const QStringList parts = payload.split(u'|');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype eq = parts[i].indexOf(u'=');
        out.append({parts[i].left(eq), parts[i].mid(eq + 1)});
    }
    return out;
}

} // namespace

class tst_ReceiptPayment : public QObject {
    Q_OBJECT
private slots:
    void kopecks_data();
    void kopecks();
    void payloadFieldsInOrder();
    void pipeAndLineBreaksNeverSplitAField();
    void plotFallsBackToRowNumber();
    void purposeCutTo210();
    void nothingToPayNoCode();
    void noDetailsNoBlock();
    void codeHoldsThePayload();
    void outlineCoversExactlyTheDarkModules();
    void monthBatch();
};

void tst_ReceiptPayment::kopecks_data() {
    QTest::addColumn<QString>("total");
    QTest::addColumn<qint64>("kopecks");
    QTest::newRow("two decimals") << u"1234,50"_s << qint64(123450);
    QTest::newRow("one decimal") << u"1234,5"_s << qint64(123450);
    QTest::newRow("whole") << u"7"_s << qint64(700);
    QTest::newRow("three decimals round as shown") << u"10,125"_s << qint64(1013);
    QTest::newRow("decimal rounding, not binary") << u"2,675"_s << qint64(268);
    QTest::newRow("zero") << u"0,00"_s << qint64(0);
    QTest::newRow("empty") << QString() << qint64(0);
    QTest::newRow("credit") << u"-50,00"_s << qint64(0);
    QTest::newRow("not a number") << u"долг"_s << qint64(0);
}

void tst_ReceiptPayment::kopecks() {
    QFETCH(QString, total);
    QFETCH(qint64, kopecks);
    QCOMPARE(PayableKopecks(total), kopecks);
}

void tst_ReceiptPayment::payloadFieldsInOrder() {
    SubscriberTable t;
    t.setSubscriberCount(3);
    t.setCell(3, ColRowNumber, u"3"_s);
    t.setCell(3, ColName, u"Иванов Иван Иванович"_s);
    t.setCell(3, ColAddress, u"12А"_s);
    t.setCell(3, TotalColumn(3), u"1234,50"_s);
    const auto p = MakeReceiptPayment(SamplePayee(), t, 3, 3, u"2019"_s);
    QVERIFY(p);
    QVERIFY(p->payload.startsWith(u"ST00012|"_s));
    const QString purpose =
        u"Оплата электроэнергии за март 2019, участок 12А, Иванов Иван Иванович"_s;
    const auto expected =
        ReceiptFixture::SampleCode(u"Иванов Иван Иванович"_s, u"12А"_s, u"123450"_s);
    QCOMPARE(Fields(p->payload), expected);
    QCOMPARE(p->purpose, purpose);
    QVERIFY(p->payeeLines.join(u'\n').contains(u"ИНН 7707083893   КПП 773601001"_s));

    // Without a КПП the field is left out rather than sent empty.
    PayeeDetails noKpp = SamplePayee();
    noKpp[PayeeField::Kpp].clear();
    const auto q = MakeReceiptPayment(noKpp, t, 3, 3, u"2019"_s);
    QVERIFY(q && !q->payload.contains(u"KPP="_s));
}

void tst_ReceiptPayment::pipeAndLineBreaksNeverSplitAField() {
    SubscriberTable t;
    t.setSubscriberCount(1);
    t.setCell(1, ColName, u"Петров|Водкин\r\nП. П."_s);
    t.setCell(1, TotalColumn(5), u"10"_s);
    PayeeDetails d = SamplePayee();
    d[PayeeField::Name] = u"СНТ \"Остреванка|2\""_s;
    const auto p = MakeReceiptPayment(d, t, 1, 5, u"2019"_s);
    QVERIFY(p);
    const auto fields = Fields(p->payload);
    QCOMPARE(fields.size(), 12);
    QCOMPARE(fields[0].second, u"СНТ \"Остреванка/2\""_s);
    QCOMPARE(fields[10], std::make_pair(u"LastName"_s, u"Петров/Водкин П. П."_s));
    QVERIFY(!p->payload.contains(u'\n') && !p->payload.contains(u'\r'));
}

void tst_ReceiptPayment::plotFallsBackToRowNumber() {
    SubscriberTable t;
    t.setSubscriberCount(7);
    t.setCell(7, ColRowNumber, u"7"_s);
    t.setCell(7, ColName, u"Сидоров"_s);
    QCOMPARE(PaymentPlot(t, 7), u"7"_s);
    t.setCell(7, ColAddress, u" 45 "_s);
    QCOMPARE(PaymentPlot(t, 7), u"45"_s);
}

void tst_ReceiptPayment::purposeCutTo210() {
    const QString name = QString(300, u'Щ');
    const QString filled = FillPurpose(QString(), 12, u"2024"_s, u"3"_s, name);
    QCOMPARE(filled.size(), MaxPurposeLength);
    QVERIFY(filled.startsWith(u"Оплата электроэнергии за декабрь 2024, участок 3, ЩЩ"_s));
    QCOMPARE(FillPurpose(u"Свет {год}/{месяц}"_s, 1, u"2020"_s, u"1"_s, u"И"_s),
             u"Свет 2020/январь"_s);
}

void tst_ReceiptPayment::nothingToPayNoCode() {
    SubscriberTable t;
    t.setSubscriberCount(2);
    t.setCell(1, ColName, u"Переплатил"_s);
    t.setCell(1, TotalColumn(2), u"-50,00"_s);
    t.setCell(2, ColName, u"Ровно"_s);
    for (int row : {1, 2}) {
        const auto p = MakeReceiptPayment(SamplePayee(), t, row, 2, u"2019"_s);
        QVERIFY(p);
        QVERIFY(!p->code);
        QVERIFY(p->payload.isEmpty());
        QVERIFY(!p->payeeLines.isEmpty()); // the payee block still shows
    }
}

void tst_ReceiptPayment::noDetailsNoBlock() {
    SubscriberTable t;
    t.setSubscriberCount(1);
    t.setCell(1, TotalColumn(1), u"100"_s);
    PayeeDetails empty;
    empty[PayeeField::Purpose] = PayeeDetails::defaultPurpose();
    QVERIFY(!MakeReceiptPayment(empty, t, 1, 1, u"2019"_s));
    // Details damaged outside the program never reach a code.
    PayeeDetails damaged = SamplePayee();
    damaged[PayeeField::Account] = u"40703810538000001235"_s;
    QVERIFY(!MakeReceiptPayment(damaged, t, 1, 1, u"2019"_s));
    // Nor does a month the receipt could not read.
    QVERIFY(!MakeReceiptPayment(SamplePayee(), t, 1, 13, u"2019"_s));
    QVERIFY(!MakeReceiptPayment(SamplePayee(), t, 1, 1, u"1999"_s));
}

void tst_ReceiptPayment::codeHoldsThePayload() {
    const QByteArray bytes = QString(u"ST00012|Name=СНТ|Purpose="_s + QString(210, u'Ж')).toUtf8();
    const auto code = QrMatrix::encode(bytes);
    QVERIFY(code);
    // Version 1 is 21 modules, each version adds 4.
    QCOMPARE((code->size() - 21) % 4, 0);
    QVERIFY(code->size() > 21);
    // The three finder patterns: dark corners, light separators.
    for (auto [x, y] : {std::pair{0, 0}, {code->size() - 1, 0}, {0, code->size() - 1}})
        QVERIFY(code->dark(x, y));
    QVERIFY(!code->dark(7, 7));
    QVERIFY(!QrMatrix::encode(QByteArray()));
    QVERIFY(!QrMatrix::encode(QByteArray(3000, 'x'))); // beyond version 40 at level M
}

void tst_ReceiptPayment::outlineCoversExactlyTheDarkModules() {
    const auto code = QrMatrix::encode(u"ST00012|Name=СНТ «Остреванка»|Sum=123450"_s.toUtf8());
    QVERIFY(code);
    const auto loops = code->outline();
    // Even-odd: a module centre is inside when a ray to the right crosses
    // the outline's vertical sides an odd number of times.
    for (int y = 0; y < code->size(); ++y)
        for (int x = 0; x < code->size(); ++x) {
            const double cy = y + 0.5;
            int crossings = 0;
            for (const auto& loop : loops) {
                QVERIFY(loop.size() >= 4);
                for (size_t i = 0; i < loop.size(); ++i) {
                    const QPoint a = loop[i], b = loop[(i + 1) % loop.size()];
                    const QPoint c = loop[(i + 2) % loop.size()];
                    QVERIFY(a.x() == b.x() || a.y() == b.y());     // square corners only
                    QVERIFY((a.x() == b.x()) != (b.x() == c.x())); // corners, no mid-points
                    if (a.x() == b.x() && a.x() > x && (a.y() < cy) != (b.y() < cy))
                        ++crossings;
                }
            }
            QCOMPARE(crossings % 2 == 1, code->dark(x, y));
        }
}

void tst_ReceiptPayment::monthBatch() {
    SubscriberTable t;
    t.setSubscriberCount(6);
    const QStringList totals = {u"100"_s, u""_s, u"-5"_s, u"0,004"_s, u"abc"_s, u"12,5"_s};
    for (int r = 1; r <= 6; ++r)
        t.setCell(r, TotalColumn(4), totals[r - 1]);
    QCOMPARE(RowsToBill(t, 4, u"2019"_s), (std::vector<int>{1, 6}));
    QVERIFY(RowsToBill(t, 0, u"2019"_s).empty());

    QCOMPARE(ReceiptPageCount(0, false), 0);
    QCOMPARE(ReceiptPageCount(5, false), 3);
    QCOMPARE(ReceiptPageCount(5, true), 5);
    QCOMPARE(ReceiptsOnPage(0, 5, false), std::make_pair(0, 1));
    QCOMPARE(ReceiptsOnPage(2, 5, false), std::make_pair(4, -1));
    QCOMPARE(ReceiptsOnPage(3, 5, true), std::make_pair(3, 3));
    QCOMPARE(ReceiptsOnPage(3, 5, false), std::make_pair(-1, -1));
}

QTEST_GUILESS_MAIN(tst_ReceiptPayment)
#include "tst_ReceiptPayment.moc"
