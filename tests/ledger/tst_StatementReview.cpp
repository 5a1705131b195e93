#include <QDir>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "ReviewFixture.h"
#include "ledger/BankStatementParser.h"
#include "ledger/LedgerMath.h"
#include "ledger/StatementLoadSteps.h"
#include "ledger/StatementReviewModel.h"
#include "ledger/StatementReviewSheet.h"
#include "ledger/StatementReviewText.h"
#include "storage/Database.h"
#include "storage/DatabaseFile.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"
#include "support/WorkbookDump.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"

using namespace Qt::StringLiterals;
using namespace ReviewFixture;
using Model = StatementReviewModel;

namespace {

// The review of the fixture's statement against the fixture's members.
struct Review {
    QTemporaryDir dir;
    AppState state;
    PaymentJournal journal;
    StatementToReview read;

    Review() {
        FillMembers(state, dir.path());
        journal.add(LoadedEntry());
        read = ReadFixture(dir.path(), state.table, journal);
    }
};

QString Cell(const Model& m, int row, int column) {
    return m.index(row, column).data().toString();
}

bool Ticked(const Model& m, int row) {
    return m.index(row, Model::ColDate).data(Qt::CheckStateRole).toInt() == Qt::Checked;
}

} // namespace

class tst_StatementReview : public QObject {
    Q_OBJECT
private slots:
    void rowsAsListed_data();
    void rowsAsListed();
    void ticking_data();
    void ticking();
    void choosingTheSubscriber();
    void totalsAndHeader();
    void refusedFiles_data();
    void refusedFiles();
    void writtenAndSaved();
    void failedSaveTakesTheWriteBack();
    void exportedList();
};

void tst_StatementReview::rowsAsListed_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("texts"); // the columns in order
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("enabled");
    const QString purpose = Doc().purpose;
    QTest::newRow("by plot") << int(ByPlot)
                             << QStringList{u"14.03.2026"_s,           u"1500,00"_s,
                                            u"ИВАНОВ ИВАН ИВАНОВИЧ"_s, purpose,
                                            u"1. Иванов И. И."_s,      u"Март 2026"_s,
                                            u"по участку 12"_s,        u"100,00"_s}
                             << true << true;
    QTest::newRow("by name") << int(ByName)
                             << QStringList{u"14.03.2026"_s,
                                            u"250,50"_s,
                                            u"ПЕТРОВ ПЕТР ПЕТРОВИЧ"_s,
                                            u"Оплата за электроэнергию"_s,
                                            u"2. Петров П. П."_s,
                                            u"Март 2026"_s,
                                            u"по ФИО"_s,
                                            QString()}
                             << true << true;
    QTest::newRow("not found") << int(NotFound)
                               << QStringList{u"14.03.2026"_s,
                                              u"300,00"_s,
                                              u"КУЗНЕЦОВ КУЗЬМА КУЗЬМИЧ"_s,
                                              u"Перевод по номеру телефона"_s,
                                              u"— не записывать —"_s,
                                              u"Март 2026"_s,
                                              u"не найден"_s,
                                              QString()}
                               << false << true;
    QTest::newRow("unreadable sum") << int(Unreadable)
                                    << QStringList{u"14.03.2026"_s,
                                                   u"сто"_s,
                                                   u"ИВАНОВ ИВАН ИВАНОВИЧ"_s,
                                                   purpose,
                                                   u"1. Иванов И. И."_s,
                                                   QString(),
                                                   u"ошибка: сумма «сто» не читается"_s,
                                                   QString()}
                                    << false << false;
    QTest::newRow("already loaded") << int(Loaded) << QStringList{u"14.03.2026"_s,
                                                                  u"400,00"_s,
                                                                  u"СИДОРОВА АННА БОРИСОВНА"_s,
                                                                  u"уч. 3 электроэнергия"_s,
                                                                  u"3. Сидорова А. Б."_s,
                                                                  u"Март 2026"_s,
                                                                  u"уже загружен 20.03.2026"_s,
                                                                  QString()}
                                    << false << true;
}

void tst_StatementReview::rowsAsListed() {
    QFETCH(int, row);
    QFETCH(QStringList, texts);
    QFETCH(bool, ticked);
    QFETCH(bool, enabled);
    Review r;
    r.state.table.setCell(1, MonthColumn(Year2026(), 3, SlotPaidIn), u"100,00"_s);
    QVERIFY(r.read.ok());
    Model m(r.state.table, r.read.statement, r.read.payments);
    QCOMPARE(m.rowCount(), int(PaymentCount));
    QStringList shown;
    for (int c = 0; c < Model::ColumnCount; ++c)
        shown << Cell(m, row, c);
    QCOMPARE(shown, texts);
    QCOMPARE(Ticked(m, row), ticked);
    const Qt::ItemFlags first = m.flags(m.index(row, Model::ColDate));
    QCOMPARE(first.testFlag(Qt::ItemIsEnabled), enabled);
    QCOMPARE(first.testFlag(Qt::ItemIsUserCheckable), enabled);
    QCOMPARE(m.flags(m.index(row, Model::ColSubscriber)).testFlag(Qt::ItemIsEditable), enabled);
    QCOMPARE(m.headerData(Model::ColPaidInNow, Qt::Horizontal).toString(), u"Внесено сейчас"_s);
}

void tst_StatementReview::ticking_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<QString>("answer"); // to the question, if asked: "yes", "no"
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("asked");
    QTest::newRow("untick a found one") << int(ByPlot) << false << QString() << false << false;
    QTest::newRow("nowhere to write") << int(NotFound) << true << QString() << false << false;
    QTest::newRow("unreadable") << int(Unreadable) << true << QString() << false << false;
    QTest::newRow("loaded, answered no") << int(Loaded) << true << u"no"_s << false << true;
    QTest::newRow("loaded, answered yes") << int(Loaded) << true << u"yes"_s << true << true;
}

void tst_StatementReview::ticking() {
    QFETCH(int, row);
    QFETCH(bool, tick);
    QFETCH(QString, answer);
    QFETCH(bool, ticked);
    QFETCH(bool, asked);
    Review r;
    Model m(r.state.table, r.read.statement, r.read.payments);
    QStringList questions;
    m.setRetickQuestion([&](const QDateTime& before) {
        questions << RetickQuestion(before);
        return answer == u"yes"_s;
    });
    m.setData(m.index(row, Model::ColDate), tick ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    QCOMPARE(Ticked(m, row), ticked);
    QCOMPARE(r.read.payments.incoming[size_t(row)].ticked, ticked);
    QCOMPARE(questions, asked ? QStringList{u"Этот платёж уже записан 20.03.2026. Записать ещё "
                                            u"раз?"_s}
                              : QStringList());
}

// Any row's subscriber may be chosen; a choice writes the row there, "— не
// записывать —" nowhere. A loaded row still asks before it is ticked.
void tst_StatementReview::choosingTheSubscriber() {
    Review r;
    r.state.table.setCell(2, MonthColumn(Year2026(), 3, SlotPaidIn), u"80,00"_s);
    Model m(r.state.table, r.read.statement, r.read.payments);
    QCOMPARE(m.subscriberChoices(), (QStringList{u"— не записывать —"_s, u"1. Иванов И. И."_s,
                                                 u"2. Петров П. П."_s, u"3. Сидорова А. Б."_s}));
    const QModelIndex unknown = m.index(NotFound, Model::ColSubscriber);
    QCOMPARE(unknown.data(Qt::EditRole).toInt(), 0);
    QVERIFY(m.setData(unknown, 2));
    QCOMPARE(unknown.data(Qt::EditRole).toInt(), 2);
    QCOMPARE(Cell(m, NotFound, Model::ColSubscriber), u"2. Петров П. П."_s);
    QCOMPARE(Cell(m, NotFound, Model::ColHow), u"выбран вручную"_s);
    QCOMPARE(Cell(m, NotFound, Model::ColPaidInNow), u"80,00"_s);
    QVERIFY(Ticked(m, NotFound));
    QCOMPARE(r.read.payments.incoming[NotFound].row, 2);

    QVERIFY(m.setData(m.index(ByPlot, Model::ColSubscriber), 0));
    QVERIFY(!Ticked(m, ByPlot));
    QCOMPARE(Cell(m, ByPlot, Model::ColSubscriber), u"— не записывать —"_s);
    QVERIFY(!m.setData(m.index(ByPlot, Model::ColDate), Qt::Checked, Qt::CheckStateRole));

    QVERIFY(m.setData(m.index(Loaded, Model::ColSubscriber), 1));
    QCOMPARE(r.read.payments.incoming[Loaded].row, 1);
    QVERIFY(!Ticked(m, Loaded));
    QCOMPARE(Cell(m, Loaded, Model::ColHow), u"уже загружен 20.03.2026"_s);
    // Out of the list: refused.
    QVERIFY(!m.setData(m.index(ByName, Model::ColSubscriber), 4));
    QCOMPARE(r.read.payments.incoming[ByName].row, 2);
}

void tst_StatementReview::totalsAndHeader() {
    Review r;
    r.read.statement.warnings << u"Нет строки «КонецФайла»: файл прочитан до конца."_s;
    Model m(r.state.table, r.read.statement, r.read.payments);
    int changes = 0;
    connect(&m, &Model::totalsChanged, this, [&changes] { ++changes; });
    // Ticked: 1500 + 250,50; the rest: 300, the unreadable one (0) and 400.
    StatementReviewTotalsText t = StatementReviewTotals(m.totals());
    QCOMPARE(t.ticked, u"Записать: 2 на сумму 1750,50 руб."_s);
    QCOMPARE(t.notWritten, u"Не записывать: 3 на сумму 700,00 руб."_s);
    QCOMPARE(t.stated, u"Всего поступило по выписке: 2000,00 руб.    Сумма поступлений в выписке: "
                       u"2450,50 руб."_s);
    QCOMPARE(t.mismatch, u"Расхождение: -450,50 руб."_s);
    m.setTicked(ByName, false);
    QCOMPARE(changes, 1);
    t = StatementReviewTotals(m.totals());
    QCOMPARE(t.ticked, u"Записать: 1 на сумму 1500,00 руб."_s);
    QCOMPARE(t.notWritten, u"Не записывать: 4 на сумму 950,50 руб."_s);

    // A statement whose total agrees shows no difference; one without says so.
    StatementReviewModel::Totals agreed = m.totals();
    agreed.stated = agreed.documents;
    QCOMPARE(StatementReviewTotals(agreed).mismatch, QString());
    agreed.stated.reset();
    QCOMPARE(StatementReviewTotals(agreed).stated,
             u"Всего поступило по выписке: не указано    Сумма поступлений в выписке: 2450,50 "
             u"руб."_s);
    QCOMPARE(StatementReviewTotals(agreed).mismatch, QString());

    const QStringList header = StatementReviewHeader(r.read);
    QCOMPARE(header, (QStringList{
                         u"Файл: "_s + QDir::toNativeSeparators(r.dir.filePath(u"statement.txt"_s)),
                         u"Счёт: "_s + OurAccount + u"    Период: 01.03.2026 – 31.03.2026"_s,
                         u"Остаток на начало: 100,00 руб.    Остаток на конец: 2100,00 руб."_s,
                         u"Поступлений: 5 на сумму 2450,50 руб. Найдено 3 (уже загружено 1), не "
                         u"найдено 1, с ошибкой 1. Списаний: 0 на сумму 0,00 руб. (в список не "
                         u"входят)."_s}));
}

void tst_StatementReview::refusedFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("size"); // > 0: the file is made this large
    QTest::addColumn<QString>("payee");
    QTest::addColumn<QString>("refusal");
    const QByteArray statement = StatementFixture::Cp1251(Text());
    QTest::newRow("not a statement")
        << QByteArray("Дата;Сумма;Назначение\r\n") << qint64(0) << OurAccount
        << u"Файл не похож на выписку банка в формате 1С: первая строка не "
           u"«1CClientBankExchange»."_s;
    QTest::newRow("over 50 MB") << statement << qint64(MaxStatementBytes + 1) << OurAccount
                                << u"Файл больше 50 МБ: это не выписка банка, он не загружается."_s;
    QTest::newRow("another organisation's")
        << statement << qint64(0) << u"40703810000000000999"_s
        << u"Выписка по счёту "_s + OurAccount +
               u", а в реквизитах получателя счёт 40703810000000000999: это выписка другой "
               u"организации."_s;
    QTest::newRow("no file") << QByteArray() << qint64(-1) << OurAccount << QString();
}

void tst_StatementReview::refusedFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, size);
    QFETCH(QString, payee);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    AppState state;
    FillMembers(state, dir.path());
    const QString path = dir.filePath(u"statement.txt"_s);
    if (size >= 0) {
        QVERIFY(writeFile(path, bytes));
        // Sparse: the size is what counts, not what is in it.
        if (size > 0)
            QVERIFY(QFile::resize(path, size));
    }
    const StatementToReview read =
        ReadStatementToReview(path, state.table, payee, PaymentJournal(), {});
    QVERIFY(!read.ok());
    QCOMPARE(read.refusal, size < 0
                               ? u"Не удалось прочитать файл\n"_s + QDir::toNativeSeparators(path)
                               : refusal);
    QVERIFY(read.payments.incoming.empty());
}

// A journal set aside by a restore counts as loaded too; the write lands in
// the table, the journal and the file, and the month cycle carries it on.
void tst_StatementReview::writtenAndSaved() {
    QTemporaryDir dir;
    ScriptedPlatform platform;
    AppState state;
    FillMembers(state, dir.path());
    Database database(state.table, platform, dir.filePath(DatabaseFile::FileName));
    QVERIFY(DatabaseFile::save(database.path(), state.table));
    database.journal().add(LoadedEntry());
    const QString path = dir.filePath(u"statement.txt"_s);
    QVERIFY(WriteStatement(path));
    StatementToReview read = ReadStatementToReview(path, state.table, OurAccount,
                                                   database.journal(), database.setAsideJournals());
    QVERIFY(read.ok());
    const SavedPayments saved = WriteAndSavePayments(database, state.table, read, platform.clock);
    QVERIFY(saved.saved);
    QCOMPARE(saved.written, 2);
    QCOMPARE(saved.message, u"Записано платежей: 2 на сумму 1750,50 руб. Не записано: 3 на сумму "
                            u"700,00 руб."_s);

    SubscriberTable file;
    QCOMPARE(DatabaseFile::load(database.path(), file).status, DatabaseFile::Status::Ok);
    const int y = Year2026();
    QCOMPARE(file.cell(1, MonthColumn(y, 3, SlotPaidIn)), u"1500,00"_s);
    QCOMPARE(file.cell(2, MonthColumn(y, 3, SlotPaidIn)), u"250,50"_s);
    QCOMPARE(file.cell(3, MonthColumn(y, 3, SlotPaidIn)), QString());
    // Nothing charged: the payment is carried as a credit to December's close.
    QCOMPARE(file.cell(1, MonthColumn(y, 3, SlotCloseCredit)), u"1500,00"_s);
    QCOMPARE(file.cell(1, MonthColumn(y, 12, SlotCloseCredit)), u"1500,00"_s);

    const std::vector<JournalEntry>& lines = database.journal().entries();
    QCOMPARE(lines.size(), size_t(3));
    QCOMPARE(lines[1].number, u"11"_s);
    QCOMPARE(lines[1].row, 1);
    QCOMPARE(lines[1].kopecks, qint64(150000));
    QCOMPARE(lines[2].number, u"12"_s);
    QCOMPARE(lines[2].name, u"Петров П. П."_s);
    QCOMPARE(lines[2].written, platform.clock);

    // The same file again: both are loaded now, nothing is ticked or written.
    read = ReadStatementToReview(path, state.table, OurAccount, database.journal(),
                                 database.setAsideJournals());
    QCOMPARE(read.payments.incoming[ByPlot].how, u"уже загружен 10.12.2026"_s);
    const auto before = snapshot(dir.path());
    const SavedPayments again = WriteAndSavePayments(database, state.table, read, platform.clock);
    QCOMPARE(again.written, 0);
    QCOMPARE(again.message, u"Записано платежей: 0 на сумму 0,00 руб. Не записано: 5 на сумму "
                            u"2450,50 руб."_s);
    QCOMPARE(snapshot(dir.path()), before);

    // The next start reads the journal beside the database: another file
    // holding the same documents finds them loaded.
    AppState next;
    Database reopened(next.table, platform, database.path());
    QCOMPARE(reopened.open(), Database::Opened::Loaded);
    next.table.setOfferedYears(OfferedYears(2027));
    const QString other = dir.filePath(u"statement-year.txt"_s);
    QVERIFY(WriteStatement(other));
    read = ReadStatementToReview(other, next.table, OurAccount, reopened.journal(),
                                 reopened.setAsideJournals());
    QCOMPARE(read.payments.incoming[ByPlot].how, u"уже загружен 10.12.2026"_s);
    QVERIFY(!read.payments.incoming[ByPlot].ticked);
}

// A disk with no room left: the save fails, the previous file stays, and the
// table and the journal are as before the write, so a second try after room
// is made writes each payment once.
void tst_StatementReview::failedSaveTakesTheWriteBack() {
    QTemporaryDir mountPoint;
    if (QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=256k"_s, u"tmpfs"_s,
                                       mountPoint.path()}) != 0)
        QSKIP("a tmpfs could not be mounted (the test needs root and a kernel that lets it)");
    const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {mountPoint.path()}); });
    ScriptedPlatform platform;
    AppState state;
    FillMembers(state, mountPoint.path());
    Database database(state.table, platform, mountPoint.filePath(DatabaseFile::FileName));
    QVERIFY(DatabaseFile::save(database.path(), state.table));
    const QByteArray fileBefore = readFile(database.path());
    const QString statement = mountPoint.filePath(u"statement.txt"_s);
    QVERIFY(WriteStatement(statement));
    database.journal().add(LoadedEntry());
    const StatementToReview read =
        ReadStatementToReview(statement, state.table, OurAccount, database.journal(), {});
    QVERIFY(read.ok());
    // Whatever room is left is taken.
    const QString filler = mountPoint.filePath(u"filler"_s);
    {
        QFile f(filler);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        for (qsizetype block = 4096; block > 0; block /= 2)
            while (f.write(QByteArray(block, 'x')) == block) {
            }
    }
    const int col = MonthColumn(Year2026(), 3, SlotPaidIn);
    state.table.setCell(1, col, u"10,00"_s);
    const SubscriberTable tableBefore = state.table;

    const SavedPayments saved = WriteAndSavePayments(database, state.table, read, platform.clock);
    QVERIFY(!saved.saved);
    QCOMPARE(saved.written, 0);
    QCOMPARE(saved.message, u"Ошибка сохранения. Платежи из выписки не записаны: лицевые счета "
                            u"остались прежними."_s);
    QCOMPARE(readFile(database.path()), fileBefore);
    QCOMPARE(database.journal().entries().size(), size_t(1));
    const int last = MonthColumn(Year2026(), 12, SlotPrepayCarry);
    for (int row = 1; row <= 3; ++row)
        for (int c = 1; c <= last; ++c)
            QCOMPARE(state.table.cell(row, c), tableBefore.cell(row, c));

    QVERIFY(QFile::remove(filler));
    const SavedPayments retried = WriteAndSavePayments(database, state.table, read, platform.clock);
    QVERIFY(retried.saved);
    SubscriberTable file;
    QCOMPARE(DatabaseFile::load(database.path(), file).status, DatabaseFile::Status::Ok);
    QCOMPARE(file.cell(1, col), u"1510,00"_s);
    QCOMPARE(database.journal().entries().size(), size_t(3));
}

// The list as the window shows it, read back by an independent reader.
void tst_StatementReview::exportedList() {
    Review r;
    r.state.table.setCell(1, MonthColumn(Year2026(), 3, SlotPaidIn), u"100,00"_s);
    Model m(r.state.table, r.read.statement, r.read.payments);
    m.setSubscriber(NotFound, 3);
    ScriptedPlatform platform;
    const QString chosen = r.dir.filePath(u"Платежи"_s);
    platform.fileNames = {chosen};
    QVERIFY(ExportStatementReview(m, u"Платежи из выписки statement"_s, r.dir.path(), platform));
    QCOMPARE(platform.dialogProposals,
             QStringList{r.dir.filePath(u"Платежи из выписки statement.xlsx"_s)});
    const QJsonObject dump = DumpWorkbook(chosen + u".xlsx"_s);
    QVERIFY(!dump.isEmpty());
    const auto value = [&dump](const QString& a) { return DumpedCell(dump, a).value(u"value"); };
    QCOMPARE(value(u"A1"_s).toString(), u"Платежи из выписки statement"_s);
    const QStringList headers = {u"Записать"_s,           u"Дата"_s,    u"Сумма"_s, u"Плательщик"_s,
                                 u"Назначение платежа"_s, u"Абонент"_s, u"Месяц"_s, u"Как найден"_s,
                                 u"Внесено сейчас"_s};
    for (int c = 0; c < headers.size(); ++c)
        QCOMPARE(value(ColumnLetters(c) + u'2').toString(), headers[c]);
    // Row 3 is the first payment: ticked, its sums numbers in rubles.
    QCOMPARE(value(u"A3"_s).toString(), u"да"_s);
    QCOMPARE(value(u"B3"_s).toString(), u"14.03.2026"_s);
    QCOMPARE(value(u"C3"_s).toDouble(), 1500.0);
    QCOMPARE(DumpedCell(dump, u"C3"_s)[u"format"].toString(), WorkbookSheet::MoneyFormat);
    QCOMPARE(value(u"F3"_s).toString(), u"1. Иванов И. И."_s);
    QCOMPARE(value(u"G3"_s).toString(), u"Март 2026"_s);
    QCOMPARE(value(u"I3"_s).toDouble(), 100.0);
    QCOMPARE(DumpedCell(dump, u"I3"_s)[u"format"].toString(), WorkbookSheet::MoneyFormat);
    // The one chosen by hand, the unreadable one as the bank wrote it.
    QCOMPARE(value(u"A5"_s).toString(), u"да"_s);
    QCOMPARE(value(u"F5"_s).toString(), u"3. Сидорова А. Б."_s);
    QCOMPARE(value(u"H5"_s).toString(), u"выбран вручную"_s);
    QCOMPARE(value(u"A6"_s).toString(), u"нет"_s);
    QCOMPARE(value(u"C6"_s).toString(), u"сто"_s);
    // The totals under the list.
    QCOMPARE(value(u"A8"_s).toString(), u"Записать"_s);
    QCOMPARE(value(u"C8"_s).toDouble(), 2050.5);
    QCOMPARE(value(u"A9"_s).toString(), u"Не записывать"_s);
    QCOMPARE(value(u"C9"_s).toDouble(), 400.0);
    QCOMPARE(value(u"A10"_s).toString(), u"Всего поступило по выписке"_s);
    QCOMPARE(value(u"C10"_s).toDouble(), 2000.0);

    // A write that fails is told.
    platform.fileNames = {r.dir.filePath(u"нет такой папки/список.xlsx"_s)};
    QVERIFY(!ExportStatementReview(m, u"Платежи"_s, r.dir.path(), platform));
    QCOMPARE(platform.messages.size(), size_t(1));
    QVERIFY(platform.messages[0].text.startsWith(u"Не удалось записать файл\n"_s));
}

QTEST_GUILESS_MAIN(tst_StatementReview)
#include "tst_StatementReview.moc"
