#include <QSignalSpy>
#include <QTest>

#include "core/SubscriberTable.h"
#include "directory/DirectoryHeader.h"
#include "directory/DirectoryModel.h"
#include "directory/DirectoryOps.h"

using namespace Qt::StringLiterals;

namespace {

// Subscribers with names, addresses and a reading and a ledger cell of their
// own, so that moved rows can be told apart.
SubscriberTable makeTable(const QStringList& names) {
    SubscriberTable t;
    for (int i = 1; i <= names.size(); ++i) {
        t.setCell(i, ColRowNumber, QString::number(i));
        t.setCell(i, ColName, names[i - 1]);
        t.setCell(i, ColAddress, u"уч. "_s + QString::number(i * 10));
        t.setCell(i, MonthColumn(0, 1, T1Current), QString::number(1000 + i));
        t.setCell(i, MonthColumn(7, 12, 21), u"ledger "_s + QString::number(i));
        t.setCell(i, SubscriberTable::MaxCol, u"end "_s + QString::number(i));
    }
    t.setSubscriberCount(int(names.size()));
    return t;
}

const QStringList Names = {u"Иванов И. И."_s, u"Петров П. П."_s, u"СИДОРОВ С. С."_s,
                           u"Кузнецова А. А."_s, u"Иваненко Б. Б."_s};

} // namespace

class tst_DirectoryOps : public QObject {
    Q_OBJECT
private slots:
    void headerVariants();
    void find_data();
    void find();
    void modelMarks();
    void deleteAllowed();
    void deleteShiftsRows_data();
    void deleteShiftsRows();
    void properCase_data();
    void properCase();
    void lineBreaks_data();
    void lineBreaks();
    void addPendingAndCommit();
    void tableFull();
    void editStoresAsTyped();
};

void tst_DirectoryOps::headerVariants() {
    QCOMPARE(HeaderFormatString(HeaderVariant::A).size(), 235);
    QCOMPARE(HeaderFormatString(HeaderVariant::B).size(), 235);
    QCOMPARE(HeaderFormatString(HeaderVariant::C).size(), 233);
    QCOMPARE(HeaderFormatString(HeaderVariant::B),
             u"<ID  |^               Фамилия И. О.                           |^         Адрес "
             "(№ участка)                                                     |^        Телефон"
             "         |^       Тип счетчика      |^               Примечание            "_s);
    const auto a = ParseHeaderFormat(HeaderFormatString(HeaderVariant::A));
    QCOMPARE(a.size(), 6);
    QCOMPARE(a[0].mark, u'<');
    QCOMPARE(a[0].text, u"ID  "_s);
    QCOMPARE(a[1].mark, u'^');
    QCOMPARE(a[2].text.trimmed(), u"Адрес  (№ участка)"_s);
    QCOMPARE(a[2].text.size(), 9 + 18 + 52);
    const auto c = ParseHeaderFormat(HeaderFormatString(HeaderVariant::C));
    QCOMPARE(c[2].text.size(), 9 + 17 + 51);
    QCOMPARE(c[5].text, QString(15, u' ') + u"Примечание"_s + QString(12, u' '));
}

void tst_DirectoryOps::find_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("lower case finds upper case")
        << u"сидоров"_s << QList<int>{3} << u"Результаты поиска    \"сидоров\""_s
        << u" Количество найденых строк = 1.  Номер первой найденной строки = 3"_s;
    QTest::newRow("upper case text, part of names")
        << u"ИВАН"_s << QList<int>{1, 5} << u"Результаты поиска    \"иван\""_s
        << u" Количество найденых строк = 2.  Номер первой найденной строки = 1"_s;
    QTest::newRow("address is not searched")
        << u"уч. 10"_s << QList<int>{} << u"Результаты поиска    "_s
        << u"Выражение   \"уч. 10\"   не найдено."_s;
}

void tst_DirectoryOps::find() {
    QFETCH(QString, text);
    QFETCH(QList<int>, rows);
    QFETCH(QString, title);
    QFETCH(QString, message);
    const SubscriberTable t = makeTable(Names);
    const FindResult r = FindByName(t, text);
    QCOMPARE(r.rows, rows);
    QCOMPARE(FindMessageTitle(r), title);
    QCOMPARE(FindMessageText(r), message);
}

void tst_DirectoryOps::modelMarks() {
    SubscriberTable t = makeTable(Names);
    DirectoryModel m(t);
    m.fill(HeaderVariant::B);
    QCOMPARE(m.rowCount(), 5);
    QCOMPARE(m.data(m.index(2, 1)).toString(), u"СИДОРОВ С. С."_s);
    QCOMPARE(m.data(m.index(4, 0)).toString(), u"5"_s);
    QCOMPARE(m.headerData(1, Qt::Horizontal).toString().trimmed(), u"Фамилия И. О."_s);
    QCOMPARE(m.headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                 Qt::AlignHorizontal_Mask,
             int(Qt::AlignLeft));
    QCOMPARE(m.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                 Qt::AlignHorizontal_Mask,
             int(Qt::AlignHCenter));
    using M = DirectoryModel::RowMark;

    m.select(1);
    m.find(u"иван"_s); // rows 1 and 5: the selected row turns blue
    QCOMPARE(m.mark(1), M::Found);
    QCOMPARE(m.mark(5), M::Found);
    m.select(2);
    QCOMPARE(m.mark(2), M::Selected);
    // A second find clears the first; the selected row stays yellow.
    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
    const FindResult r = m.find(u"петров"_s);
    QCOMPARE(r.rows, QList<int>{2});
    QCOMPARE(m.mark(1), M::None);
    QCOMPARE(m.mark(5), M::None);
    QCOMPARE(m.mark(2), M::Found);
    QVERIFY(changed.size() >= 3);
    m.select(4);
    m.find(u"нет такого"_s);
    QCOMPARE(m.mark(2), M::None);
    QCOMPARE(m.mark(4), M::Selected);
    // An empty text changes nothing.
    m.find(u"кузнецова"_s);
    m.find(QString());
    QCOMPARE(m.mark(4), M::Found);
    m.clearFound();
    QCOMPARE(m.mark(4), M::None);
    QCOMPARE(m.data(m.index(3, 0), DirectoryModel::MarkRole).toInt(), int(M::None));
    // Selecting clears the earlier selection; filling clears every mark.
    m.select(3);
    m.select(5);
    QCOMPARE(m.mark(3), M::None);
    m.fill(HeaderVariant::A);
    QCOMPARE(m.mark(5), M::None);
    QCOMPARE(m.headerVariant(), HeaderVariant::A);
}

void tst_DirectoryOps::deleteAllowed() {
    SubscriberTable one = makeTable({u"Один О. О."_s});
    QVERIFY(!CanDelete(one, 1));
    QVERIFY(!DeleteSubscriber(one, 1));
    QCOMPARE(one.subscriberCount(), 1);
    SubscriberTable t = makeTable(Names);
    QVERIFY(!CanDelete(t, 1));
    QVERIFY(!CanDelete(t, 0));
    QVERIFY(!CanDelete(t, 6));
    QVERIFY(CanDelete(t, 2));
    QVERIFY(!DeleteSubscriber(t, 1));
    QCOMPARE(t.subscriberCount(), 5);
    QCOMPARE(t.cell(1, ColName), Names[0]);
    QCOMPARE(DeleteQuestion(t, 3),
             u"Вы действительно хотите удалить из справочника запись № 3 [СИДОРОВ С. С.]"_s);
}

void tst_DirectoryOps::deleteShiftsRows_data() {
    QTest::addColumn<int>("row");
    QTest::newRow("second") << 2;
    QTest::newRow("middle") << 3;
    QTest::newRow("last") << 5;
}

void tst_DirectoryOps::deleteShiftsRows() {
    QFETCH(int, row);
    SubscriberTable t = makeTable(Names);
    QVERIFY(DeleteSubscriber(t, row));
    QCOMPARE(t.subscriberCount(), 4);
    for (int i = 1; i <= 4; ++i) {
        const int was = i < row ? i : i + 1; // the subscriber that stands here now
        QCOMPARE(t.cell(i, ColRowNumber), QString::number(i)); // numbers without gaps
        QCOMPARE(t.cell(i, ColName), Names[was - 1]);
        QCOMPARE(t.cell(i, ColAddress), u"уч. "_s + QString::number(was * 10));
        QCOMPARE(t.cell(i, MonthColumn(0, 1, T1Current)), QString::number(1000 + was));
        QCOMPARE(t.cell(i, MonthColumn(7, 12, 21)), u"ledger "_s + QString::number(was));
        QCOMPARE(t.cell(i, SubscriberTable::MaxCol), u"end "_s + QString::number(was));
    }
}

void tst_DirectoryOps::properCase_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("cyrillic initials") << u"иванов и. и."_s << u"Иванов И. И."_s;
    QTest::newRow("upper case") << u"ПЕТРОВ П. П."_s << u"Петров П. П."_s;
    QTest::newRow("mixed with double space") << u"сИДОРОВА  анна"_s << u"Сидорова  Анна"_s;
    QTest::newRow("hyphen is inside a word") << u"римский-корсаков"_s << u"Римский-корсаков"_s;
    QTest::newRow("latin") << u"smith j."_s << u"Smith J."_s;
    QTest::newRow("empty") << u""_s << u""_s;
}

void tst_DirectoryOps::properCase() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(ProperCase(text), expected);
}

void tst_DirectoryOps::lineBreaks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("pasted two lines") << u"первая\r\nвторая"_s << u"перваявторая"_s;
    QTest::newRow("carriage return takes the next character") << u"ab\rcd"_s << u"abd"_s;
    QTest::newRow("carriage return at the end") << u"ab\r"_s << u"ab"_s;
    QTest::newRow("lone line feed") << u"ab\ncd"_s << u"ab cd"_s;
    QTest::newRow("none") << u"  as is  "_s << u"  as is  "_s;
}

void tst_DirectoryOps::lineBreaks() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(RemoveLineBreaks(text), expected);
}

void tst_DirectoryOps::addPendingAndCommit() {
    SubscriberTable t = makeTable(Names);
    QVERIFY(DeleteSubscriber(t, 3)); // row 5 keeps the old last subscriber's data
    QCOMPARE(AddPending(t, 0, {u"   "_s, u"x"_s, {}, {}, {}}), AddStatus::EmptyName);
    QCOMPARE(t.cell(5, ColName), Names[4]);
    QCOMPARE(AddPending(t, 0, {u"  Новиков Н. Н. "_s, u" 12 "_s, u"+7 900"_s, {}, u" прим "_s}),
             AddStatus::Added);
    QCOMPARE(t.subscriberCount(), 4); // pending until committed
    QCOMPARE(t.cell(5, ColRowNumber), u"5"_s);
    QCOMPARE(t.cell(5, ColName), u"Новиков Н. Н."_s);
    QCOMPARE(t.cell(5, ColAddress), u"12"_s);
    QCOMPARE(t.cell(5, ColNote), u"прим"_s);
    // A new subscriber starts with empty readings and ledger.
    QCOMPARE(t.cell(5, MonthColumn(0, 1, T1Current)), QString());
    QCOMPARE(t.cell(5, MonthColumn(7, 12, 21)), QString());
    QCOMPARE(t.cell(5, SubscriberTable::MaxCol), QString());
    QCOMPARE(AddPending(t, 1, {u"Орлов О. О."_s, {}, {}, {}, {}}), AddStatus::Added);
    QCOMPARE(t.cell(6, ColName), u"Орлов О. О."_s);
    QVERIFY(NameExists(t, u"орлов о. о."_s, 6));
    QVERIFY(!NameExists(t, u"орлов о. о."_s, 5));
    QVERIFY(!NameExists(t, QString(), 6));
    CommitPending(t, 2);
    QCOMPARE(t.subscriberCount(), 6);
}

void tst_DirectoryOps::tableFull() {
    SubscriberTable t;
    for (int i = 1; i <= 500; ++i)
        t.setCell(i, ColName, u"А"_s + QString::number(i));
    t.setSubscriberCount(500);
    QCOMPARE(AddPending(t, 0, {u"Последний П. П."_s, {}, {}, {}, {}}), AddStatus::Added);
    QCOMPARE(AddPending(t, 1, {u"Лишний Л. Л."_s, {}, {}, {}, {}}), AddStatus::TableFull);
    CommitPending(t, 1);
    QCOMPARE(t.subscriberCount(), 501);
    QCOMPARE(t.cell(501, ColName), u"Последний П. П."_s);
    QCOMPARE(AddPending(t, 0, {u"Лишний Л. Л."_s, {}, {}, {}, {}}), AddStatus::TableFull);
}

void tst_DirectoryOps::editStoresAsTyped() {
    SubscriberTable t = makeTable(Names);
    StoreEdit(t, 2, {u"Петров П. П."_s, u" 20 "_s, {}, u"СО-2"_s, u"  с пробелами  "_s});
    QCOMPARE(FieldsOf(t, 2),
             (DirectoryFields{u"Петров П. П."_s, u" 20 "_s, {}, u"СО-2"_s, u"  с пробелами  "_s}));
    QCOMPARE(t.cell(2, ColRowNumber), u"2"_s);
    QCOMPARE(t.cell(2, MonthColumn(0, 1, T1Current)), u"1002"_s);
}

QTEST_GUILESS_MAIN(tst_DirectoryOps)
#include "tst_DirectoryOps.moc"
