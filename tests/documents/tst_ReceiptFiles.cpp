#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/SubscriberTable.h"
#include "core/YearLayout.h"
#include "documents/MemberFileName.h"
#include "documents/ReceiptFiles.h"
#include "ReceiptFixture.h"

using namespace Qt::StringLiterals;

namespace {

using ReceiptFixture::March;
using ReceiptFixture::Year;

// Subscriber `row` on `plot` owing `total` in March 2019.
void AddSubscriber(SubscriberTable& t, int row, const QString& plot, const QString& name,
                   const QString& total) {
    ReceiptFixture::AddSubscriber(t, row, name, plot, total);
}

QStringList Names(const std::vector<ReceiptFile>& files) {
    QStringList names;
    for (const ReceiptFile& f : files)
        names << f.fileName;
    return names;
}

} // namespace

// Which subscribers get a receipt file of their own, and what it is called.
class tst_ReceiptFiles final : public QObject {
    Q_OBJECT
private slots:
    void memberFileName_data();
    void memberFileName();
    void onlyThoseWithSomethingToPay();
    void sameNamesNeverReplaceEachOther();
    void existingFiles();
};

void tst_ReceiptFiles::memberFileName_data() {
    QTest::addColumn<QString>("plot");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("expected");
    const QString ivanov = u"Иванов И. И."_s;
    QTest::newRow("plain") << u"12А"_s << u"Ёлкина Е. Ё."_s << QString()
                           << u"12А Ёлкина Е. Ё. Март 2019.pdf"_s;
    QTest::newRow("with what") << u"12"_s << ivanov << u"выписка"_s
                               << u"12 Иванов И. И. Март 2019 выписка.pdf"_s;
    QTest::newRow("backslash") << u"12\\3"_s << ivanov << QString()
                               << u"12_3 Иванов И. И. Март 2019.pdf"_s;
    QTest::newRow("slash") << u"7/1"_s << ivanov << QString()
                           << u"7_1 Иванов И. И. Март 2019.pdf"_s;
    QTest::newRow("colon") << u"5"_s << u"Петров: П. П."_s << QString()
                           << u"5 Петров_ П. П. Март 2019.pdf"_s;
    QTest::newRow("star") << u"5*"_s << ivanov << QString() << u"5_ Иванов И. И. Март 2019.pdf"_s;
    QTest::newRow("question") << u"5"_s << u"Иванов И.?"_s << QString()
                              << u"5 Иванов И._ Март 2019.pdf"_s;
    QTest::newRow("quotes") << u"5"_s << u"Сидоров \"мл.\" С. С."_s << QString()
                            << u"5 Сидоров _мл._ С. С. Март 2019.pdf"_s;
    QTest::newRow("angle brackets")
        << u"<5>"_s << ivanov << QString() << u"_5_ Иванов И. И. Март 2019.pdf"_s;
    QTest::newRow("pipe") << u"5"_s << u"Сидоров|Петров С. П."_s << QString()
                          << u"5 Сидоров_Петров С. П. Март 2019.pdf"_s;
    QTest::newRow("line break in the plot")
        << u"5\n6"_s << ivanov << QString() << u"5_6 Иванов И. И. Март 2019.pdf"_s;
    // The name's own blanks are made single; the plot is the row number
    // where the address is empty.
    QTest::newRow("no address") << QString() << u"  Иванов   И. И. "_s << QString()
                                << u"4 Иванов И. И. Март 2019.pdf"_s;
    QTest::newRow("no name") << u"9"_s << QString() << QString() << u"9 Март 2019.pdf"_s;
}

void tst_ReceiptFiles::memberFileName() {
    QFETCH(QString, plot);
    QFETCH(QString, name);
    QFETCH(QString, what);
    QFETCH(QString, expected);
    SubscriberTable t;
    AddSubscriber(t, 4, plot, name, u"1"_s);
    QCOMPARE(MemberFileName(t, 4, u"Март 2019"_s, what), expected);
}

void tst_ReceiptFiles::onlyThoseWithSomethingToPay() {
    SubscriberTable t;
    AddSubscriber(t, 1, u"1"_s, u"Андреев А. А."_s, u"100"_s);
    AddSubscriber(t, 2, u"2"_s, u"Борисов Б. Б."_s, u"0"_s);
    AddSubscriber(t, 3, u"3"_s, u"Васильев В. В."_s, u"250,75"_s);
    AddSubscriber(t, 4, u"4"_s, u"Григорьев Г. Г."_s, u"-10"_s);
    AddSubscriber(t, 5, u"5"_s, u"Дмитриев Д. Д."_s, QString());
    AddSubscriber(t, 6, u"6"_s, u"Егоров Е. Е."_s, u"см. акт"_s);
    // Half a kopeck rounds to nothing to pay.
    AddSubscriber(t, 7, u"7"_s, u"Жуков Ж. Ж."_s, u"0,004"_s);
    AddSubscriber(t, 8, u"8/2"_s, u"Зуев З. З."_s, u"0,01"_s);

    const std::vector<ReceiptFile> files = MonthReceiptFiles(t, March, Year);
    QCOMPARE(Names(files),
             (QStringList{u"1 Андреев А. А. Март 2019.pdf"_s, u"3 Васильев В. В. Март 2019.pdf"_s,
                          u"8_2 Зуев З. З. Март 2019.pdf"_s}));
    QCOMPARE(files[0].row, 1);
    QCOMPARE(files[1].row, 3);
    QCOMPARE(files[2].row, 8);
    // Another month, or a year outside the list: nothing.
    QVERIFY(MonthReceiptFiles(t, 4, Year).empty());
    QVERIFY(MonthReceiptFiles(t, March, u"1999"_s).empty());
    QVERIFY(MonthReceiptFiles(t, 13, Year).empty());
}

void tst_ReceiptFiles::sameNamesNeverReplaceEachOther() {
    SubscriberTable t;
    // Two meters of one member on one plot; a third differing only in case,
    // which Windows takes for the same name.
    AddSubscriber(t, 1, u"12а"_s, u"Иванов И. И."_s, u"100"_s);
    AddSubscriber(t, 2, u"12а"_s, u"Иванов И. И."_s, u"200"_s);
    AddSubscriber(t, 3, u"12А"_s, u"Иванов И. И."_s, u"300"_s);
    AddSubscriber(t, 4, u"12а/1"_s, u"Иванов И. И."_s, u"400"_s);
    const std::vector<ReceiptFile> files = MonthReceiptFiles(t, March, Year);
    QCOMPARE(Names(files), (QStringList{u"12а Иванов И. И. Март 2019.pdf"_s,
                                        u"12а Иванов И. И. Март 2019 (2).pdf"_s,
                                        u"12А Иванов И. И. Март 2019 (3).pdf"_s,
                                        u"12а_1 Иванов И. И. Март 2019.pdf"_s}));
}

void tst_ReceiptFiles::existingFiles() {
    SubscriberTable t;
    AddSubscriber(t, 1, u"1"_s, u"Андреев А. А."_s, u"100"_s);
    AddSubscriber(t, 2, u"2"_s, u"Борисов Б. Б."_s, u"100"_s);
    AddSubscriber(t, 3, u"3"_s, u"Васильев В. В."_s, u"100"_s);
    const std::vector<ReceiptFile> files = MonthReceiptFiles(t, March, Year);
    QTemporaryDir dir;
    QCOMPARE(ExistingReceiptFiles(dir.path(), files), QStringList());
    for (const QString& name :
         {u"3 Васильев В. В. Март 2019.pdf"_s, u"2 Борисов Б. Б. Февраль 2019.pdf"_s}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(ExistingReceiptFiles(dir.path(), files),
             QStringList{u"3 Васильев В. В. Март 2019.pdf"_s});
}

QTEST_GUILESS_MAIN(tst_ReceiptFiles)
#include "tst_ReceiptFiles.moc"
