// A large partnership's year of bank payments: a statement of 20,000
// documents, read, parsed and matched against the 501-subscriber table, and
// (where the windows are built) the review window opened on it. The floor is
// reading the statement file and counting its lines. Times are the thread's
// CPU time.

#include <algorithm>
#include <optional>

#include <benchmark/benchmark.h>

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "ledger/BankStatementParser.h"
#include "ledger/StatementPayments.h"
#ifdef OST_REVIEW_WINDOW
#include <QApplication>
#include <QTableView>

#include "WindowBench.h"
#include "ledger/StatementLoadSteps.h"
#include "ledger/StatementReviewWindow.h"
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr int Documents = 20000;
const QString Account = u"40703810900000000001"_s;

// What banks write for a payment, most of which nobody reads.
QString Document(int i, const SubscriberTable& table) {
    const int row = i % SubscriberTable::MaxRow + 1;
    const QString name = table.cell(row, ColName);
    const QString surname = name.section(u' ', 0, 0).toUpper();
    const QString person = surname + u" ИВАН ПЕТРОВИЧ"_s;
    QString purpose;
    switch (i % 10) {
    case 0:
    case 1:
        purpose = u"Оплата электроэнергии по квитанции за март 2026, "_s + name;
        break;
    case 2:
        purpose = u"Членские взносы за 2026 год, участок "_s + QString::number(row);
        break;
    case 3:
        purpose = u"Перевод денежных средств"_s;
        break;
    default:
        purpose = u"Оплата электроэнергии за март 2026 уч. №"_s + QString::number(row) +
                  u" НДС не облагается"_s;
    }
    const QString day = u"%1.03.2026"_s.arg(i % 28 + 1, 2, 10, QLatin1Char('0'));
    QStringList l = {
        u"СекцияДокумент=Платежное поручение"_s,
        u"Номер="_s + QString::number(100000 + i),
        u"Дата="_s + day,
        u"Сумма="_s + QString::number(500 + i % 3000) + u".00"_s,
        u"ПлательщикСчет="_s +
            (i % 3 ? u"30232810000000000001"_s : u"40817810%1"_s.arg(i, 12, 10, QLatin1Char('0'))),
        u"ДатаСписано="_s + day,
        u"Плательщик=ИНН 000000000000 "_s + person,
        u"ПлательщикИНН=000000000000"_s,
        u"Плательщик1="_s + person,
        u"ПлательщикРасчСчет=30232810000000000001"_s,
        u"ПлательщикБанк1=ПАО \"ВЫДУМАННЫЙ БАНК\""_s,
        u"ПлательщикБанк2=г. Город"_s,
        u"ПлательщикБИК=044500001"_s,
        u"ПлательщикКорсчет=30101810000000000001"_s,
        u"ПолучательСчет="_s + Account,
        u"ДатаПоступило="_s + day,
        u"Получатель=ИНН 0000000001 СНТ \"ОСТРОВ\""_s,
        u"ПолучательИНН=0000000001"_s,
        u"Получатель1=СНТ \"ОСТРОВ\""_s,
        u"ПолучательРасчСчет="_s + Account,
        u"ПолучательБанк1=ПАО \"ВЫДУМАННЫЙ БАНК\""_s,
        u"ПолучательБанк2=г. Город"_s,
        u"ПолучательБИК=044500001"_s,
        u"ПолучательКорсчет=30101810000000000001"_s,
        u"ВидПлатежа="_s,
        u"ВидОплаты=01"_s,
        u"СтатусСоставителя="_s,
        u"ПлательщикКПП="_s,
        u"ПолучательКПП=000001001"_s,
        u"ПоказательКБК="_s,
        u"ОКАТО="_s,
        u"ПоказательОснования="_s,
        u"ПоказательПериода="_s,
        u"ПоказательНомера="_s,
        u"ПоказательДаты="_s,
        u"ПоказательТипа="_s,
        u"Очередность=5"_s,
        u"НазначениеПлатежа="_s + purpose,
        u"КонецДокумента"_s,
    };
    return l.join(u"\r\n"_s) + u"\r\n"_s;
}

struct Fixture {
    QTemporaryDir dir;
    QString path;
    SubscriberTable table;
#ifdef OST_REVIEW_WINDOW
    QuietPlatform platform;
#endif

    Fixture() {
        table = MakeLargestTable();
        // The statement's year is one the program keeps.
        table.setOfferedYears(OfferedYears(2027));
        // Plots as most partnerships keep them: the plot number in column 3.
        for (int r = 1; r <= SubscriberTable::MaxRow; ++r)
            table.setCell(r, ColAddress, r % 50 ? QString::number(r) : u"%1а"_s.arg(r));
        QString text = u"1CClientBankExchange\r\nВерсияФормата=1.03\r\nКодировка=Windows\r\n"
                       u"Отправитель=Бухгалтерия\r\nДатаСоздания=01.04.2026\r\n"
                       u"ДатаНачала=01.03.2026\r\nДатаКонца=31.03.2026\r\nРасчСчет="_s +
                       Account + u"\r\nСекцияРасчСчет\r\nРасчСчет="_s + Account +
                       u"\r\nНачальныйОстаток=0.00\r\nВсегоПоступило=0.00\r\nВсегоСписано=0.00"
                       u"\r\nКонечныйОстаток=0.00\r\nКонецРасчСчет\r\n"_s;
        for (int i = 0; i < Documents; ++i)
            text += Document(i, table);
        text += u"КонецФайла\r\n"_s;
        path = dir.filePath(u"statement.txt"_s);
        QFile f(path);
        QStringEncoder enc("windows-1251");
        if (!f.open(QIODevice::WriteOnly) || f.write(enc.encode(text)) < 0)
            qFatal("cannot write the benchmark statement");
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

qint64 CountLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = f.readAll();
    return std::count(bytes.begin(), bytes.end(), '\n');
}

void BM_ParseAndMatch(benchmark::State& state) {
    Fixture& fx = fixture();
    const PaymentJournal journal;
    size_t found = 0, incoming = 0;
    double readTotal = 0, parseTotal = 0, matchTotal = 0;
    RunAgainstFloorOf(
        state, [&fx] { benchmark::DoNotOptimize(CountLines(fx.path)); },
        [&] {
            QFile f(fx.path);
            if (!f.open(QIODevice::ReadOnly))
                qFatal("cannot read the benchmark statement");
            const auto a = ThreadClock::now();
            const QByteArray bytes = f.readAll();
            const auto b = ThreadClock::now();
            const BankStatementRead read = ParseBankStatement(bytes);
            const auto c = ThreadClock::now();
            const StatementAccountChoice account = ChooseStatementAccount(read.statement, Account);
            const StatementPayments payments =
                CollectStatementPayments(read.statement, account.account, fx.table, journal);
            const auto d = ThreadClock::now();
            readTotal += Seconds(b - a);
            parseTotal += Seconds(c - b);
            matchTotal += Seconds(d - c);
            incoming = payments.incoming.size();
            found = size_t(std::count_if(payments.incoming.begin(), payments.incoming.end(),
                                         [](const StatementPayment& p) { return p.row > 0; }));
        });
    if (incoming != size_t(Documents))
        state.SkipWithError("not every document was read");
    const double n = double(state.iterations());
    state.counters["read_ms"] = readTotal * 1000 / n;
    state.counters["parse_ms"] = parseTotal * 1000 / n;
    state.counters["match_ms"] = matchTotal * 1000 / n;
    state.counters["found"] = double(found);
    state.counters["file_mb"] = double(QFile(fx.path).size()) / (1024 * 1024);
}
BENCHMARK(BM_ParseAndMatch)->Unit(benchmark::kMillisecond)->UseManualTime();

#ifdef OST_REVIEW_WINDOW
// "Платежи из выписки" on the read statement: built, shown and painted with
// its list of 20,000 rows. window_ms is that alone; from_file_ms adds the
// read, the parse and the matching before it, as the user waits for both.
void BM_ReviewWindowOpens(benchmark::State& state) {
    Fixture& fx = fixture();
    const PaymentJournal journal;
    // Both outlive the measured part: the window refers to the review.
    std::optional<StatementToReview> review;
    std::unique_ptr<StatementReviewWindow> window;
    double windowTotal = 0, readTotal = 0;
    int rows = 0;
    RunAgainstFloorOf(
        state, [&fx] { benchmark::DoNotOptimize(CountLines(fx.path)); },
        [&] {
            const auto a = ThreadClock::now();
            review = ReadStatementToReview(fx.path, fx.table, Account, journal, {});
            const auto b = ThreadClock::now();
            window = std::make_unique<StatementReviewWindow>(fx.table, *review, fx.platform,
                                                             fx.dir.path());
            window->show();
            window->repaint();
            QApplication::processEvents();
            const auto c = ThreadClock::now();
            readTotal += Seconds(b - a);
            windowTotal += Seconds(c - b);
            rows = window->findChild<QTableView*>()->model()->rowCount();
        },
        [&] {
            window.reset();
            review.reset();
        });
    if (rows != Documents)
        state.SkipWithError("not every payment is listed");
    const double n = double(state.iterations());
    state.counters["window_ms"] = windowTotal * 1000 / n;
    state.counters["from_file_ms"] = (readTotal + windowTotal) * 1000 / n;
}
BENCHMARK(BM_ReviewWindowOpens)->Unit(benchmark::kMillisecond)->UseManualTime();
#endif

} // namespace

#ifdef OST_REVIEW_WINDOW
int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, [] {});
}
#else
BENCHMARK_MAIN();
#endif
