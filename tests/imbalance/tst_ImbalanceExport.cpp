#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "workbook/WorkbookWriter.h"
#include "imbalance/ImbalanceExport.h"
#include "support/WorkbookDump.h"

using namespace Qt::StringLiterals;

namespace {

// A year as the window would show it: January with readings and money,
// February without head-meter readings, the rest empty.
void sampleYear(HeadMeterTexts& head, ImbalanceShownTexts& shown) {
    head[0] = {u"2000"_s, u"1000"_s, u"1500,5"_s, u"1000,5"_s};
    shown[0] = {u"1000,00"_s,  u"500,00"_s,   u"950,00"_s,  u"480,00"_s,  u"50,00"_s, u"20,00"_s,
                u"1,052632"_s, u"1,041667"_s, u"5000,00"_s, u"4760,00"_s, u"240,00"_s};
    head[1] = {u""_s, u"abc"_s, u""_s, u""_s};
    shown[1] = {u"0,00"_s,     u"0,00"_s,     u"300,25"_s, u"12,00"_s, u"-300,25"_s, u"-12,00"_s,
                u"0,000000"_s, u"0,000000"_s, u"0,00"_s,   u"0,00"_s,  u"0,00"_s};
}

} // namespace

class tst_ImbalanceExport final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void readBack();

private:
    QTemporaryDir m_dir;
};

void tst_ImbalanceExport::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(u"/usr/bin/python3"_s), "openpyxl is read through /usr/bin/python3");
}

void tst_ImbalanceExport::readBack() {
    HeadMeterTexts head;
    ImbalanceShownTexts shown;
    sampleYear(head, shown);
    const QString path = m_dir.filePath(u"Разбаланс 2019 г..xlsx"_s);
    QVERIFY(WriteWorkbook(ImbalanceSheet(u"Разбаланс 2019 г."_s, head, shown), path));

    const QJsonObject d = DumpWorkbook(path);
    QVERIFY(!d.isEmpty());
    const QJsonObject cells = d[u"cells"_s].toObject();
    const auto cell = [&](const char* a) { return cells[QString::fromLatin1(a)].toObject(); };
    const auto value = [&](const char* a) { return cell(a)[u"value"_s].toVariant(); };

    // Title, headings, month names.
    QCOMPARE(value("F1").toString(), u"Разбаланс 2019 г."_s);
    QVERIFY(cell("F1")[u"bold"_s].toBool());
    QCOMPARE(value("A3").toString(), u"Месяц"_s);
    QCOMPARE(value("B2").toString(), u"Показ. Головного сч-ка по Т1, кВт*Ч"_s);
    QCOMPARE(value("E3").toString(), u"Текущее  "_s);
    QCOMPARE(value("G3").toString(), u"Разница с учетом КТ = 1"_s);
    QCOMPARE(value("H2").toString(), u"Расход по сч. абонентов, кВт*ч"_s);
    QCOMPARE(value("M3").toString(), u"По Т2"_s);
    QCOMPARE(value("P2").toString(), u"Разбаланс с учетным счетчиком, р."_s);
    QCOMPARE(value("A4").toString(), u"Январь"_s);
    QCOMPARE(value("A15").toString(), u"Декабрь"_s);

    QStringList merges;
    for (const auto& m : d[u"merges"_s].toArray())
        merges << m.toString();
    QCOMPARE(merges, (QStringList{u"B2:D2"_s, u"E2:G2"_s, u"F1:I1"_s, u"H2:I2"_s, u"J2:K2"_s,
                                  u"L2:M2"_s, u"N2:N3"_s, u"O2:O3"_s, u"P2:P3"_s}));
    for (const char* a : {"D3", "G3", "N2", "O2", "P2"})
        QVERIFY2(cell(a)[u"wrap"_s].toBool(), a);
    QVERIFY(!cell("B3")[u"wrap"_s].toBool());

    // Heading look: centred, the upper line left-aligned, N2 at the top.
    QCOMPARE(cell("B3")[u"h"_s].toString(), u"center"_s);
    QCOMPARE(cell("N2")[u"h"_s].toString(), u"center"_s);
    QCOMPARE(cell("N2")[u"v"_s].toString(), u"top"_s);
    QCOMPARE(cell("L2")[u"h"_s].toString(), u"left"_s);
    QVERIFY(cell("P2")[u"bold"_s].toBool());
    QVERIFY(cell("M3")[u"bold"_s].toBool());
    QVERIFY(!cell("B4")[u"bold"_s].toBool());

    // Month rows: numbers read from the box texts; 0 for what reads as none.
    QCOMPARE(value("B4").toDouble(), 2000.0);
    QCOMPARE(value("E4").toDouble(), 1500.5);
    QCOMPARE(value("L4").toDouble(), 1.052632);
    QCOMPARE(value("O4").toDouble(), 4760.0);
    QCOMPARE(cell("O4")[u"type"_s].toString(), u"n"_s);
    QCOMPARE(value("C5").toDouble(), 0.0); // "abc"
    QCOMPARE(cell("C5")[u"type"_s].toString(), u"n"_s);
    QCOMPARE(value("B5").toDouble(), 0.0);
    QCOMPARE(value("J5").toDouble(), -300.25);
    QCOMPARE(value("P15").toDouble(), 0.0); // December has empty boxes

    QCOMPARE(cell("L4")[u"format"_s].toString(), u"General"_s);
    QCOMPARE(cell("B15")[u"format"_s].toString(), u"General"_s);
    for (const char* a : {"N4", "O9", "P15"})
        QCOMPARE(cell(a)[u"format"_s].toString(), u"#,##0.00 \"₽\""_s);

    // A full grid over A2:P15, nothing outside it.
    const QJsonArray thin = {u"thin"_s, u"thin"_s, u"thin"_s, u"thin"_s};
    for (const char* a : {"A2", "P2", "A15", "P15", "H9", "N2", "D3"})
        QVERIFY2(cell(a)[u"borders"_s].toArray() == thin, a);
    QVERIFY(cell("F1")[u"borders"_s].toArray().at(0).isNull());
    QVERIFY(!cells.contains(u"A16"_s));
    QVERIFY(!cells.contains(u"Q4"_s));

    // N to P are 12 characters wide; the file keeps a width with its padding
    // of 5 pixels on a 7-pixel digit.
    const QJsonObject widths = d[u"widths"_s].toObject();
    for (const char* c : {"N", "O", "P"})
        QCOMPARE(qRound((widths[QString::fromLatin1(c)].toDouble() * 7 - 5) / 7 * 100), 1200);
    // The fitted ones follow their texts: the month column fits "Сентябрь".
    QVERIFY(widths[u"A"_s].toDouble() >= 8);
}

QTEST_GUILESS_MAIN(tst_ImbalanceExport)
#include "tst_ImbalanceExport.moc"
