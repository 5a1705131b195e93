// The ledger window on the largest database: 501 subscribers with every month
// of every year filled. Showing a month (load, compute, store, repaint) and
// accepting one typed value (compute, store, reopen the editor) are each
// measured against the floor of the database benchmarks (read the file's bytes
// and count its "|") in the same run.

#include <algorithm>
#include <chrono>
#include <memory>

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include "core/AppState.h"
#include "core/DatabaseFile.h"
#include "core/NumberText.h"
#include "core/Platform.h"
#include "core/Settings.h"
#include "ledger/LedgerMath.h"
#include "ledger/frmRedLS.h"

using namespace Qt::StringLiterals;

namespace {

using Clock = std::chrono::steady_clock;

// Answers nothing: the measured paths ask nothing.
class QuietPlatform final : public Platform {
public:
    MsgAnswer message(const QString&, const QString&, MsgIcon, MsgButtons, MsgAnswer d) override {
        return d;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<int> chooseColor(int) override { return std::nullopt; }
    bool print(const PrintJob&) override { return false; }
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&, const QStringList&) override { return false; }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    Settings& settings() override { return m_settings; }
    void quit(int) override {}

private:
    Settings m_settings{u"ostrevanka-bench"_s};
};

void FillLargest(SubscriberTable& t) {
    t.setSubscriberCount(SubscriberTable::MaxRow);
    for (int r = 1; r <= SubscriberTable::MaxRow; ++r) {
        t.setCell(r, ColRowNumber, QString::number(r));
        t.setCell(r, ColName, u"Абонент %1 А. Б."_s.arg(r));
        t.setCell(r, ColAddress, u"уч. №%1"_s.arg(r));
        for (int y = 0; y < YearTexts().size(); ++y)
            for (int m = 1; m <= 12; ++m) {
                const auto col = [&](int s) { return MonthColumn(y, m, s); };
                t.setCell(r, col(ReadingDate),
                          u"28.%1.%2"_s.arg(m, 2, 10, QLatin1Char('0')).arg(17 + y));
                for (int s = 1; s <= 8; ++s)
                    t.setCell(r, col(s), PlainNumber(1000 + r * 13 + m * 7 + s));
                t.setCell(r, col(9), PlainNumber(1234.56789 + r + m));
                for (int s = 10; s <= 21; ++s)
                    t.setCell(r, col(s), FormatMoney((r * s + m) % 997 + 0.5));
            }
    }
}

struct Fixture {
    QTemporaryDir dir;
    AppState state;
    QuietPlatform platform;
    std::unique_ptr<frmRedLS> window;
    QTableView* grid = nullptr;
    QLineEdit* editor = nullptr;
    QAbstractButton* right = nullptr;
    QAbstractButton* left = nullptr;

    Fixture() {
        FillLargest(state.table);
        state.databasePath = dir.filePath(DatabaseFile::FileName);
        state.programFolder = dir.path();
        state.shownYearText = u"2020"_s;
        state.ledgerMonth = 4;
        if (!DatabaseFile::save(state.databasePath, state.table))
            qFatal("cannot write the benchmark database");
        window = std::make_unique<frmRedLS>(state, platform);
        window->show();
        grid = window->findChild<QTableView*>(u"g"_s);
        editor = window->findChild<QLineEdit*>(u"txtg"_s);
        right = window->findChild<QAbstractButton*>(u"CmdRight"_s);
        left = window->findChild<QAbstractButton*>(u"CmdLeft"_s);
        QApplication::processEvents();
    }
};

// Made on first use and dropped before the application object goes.
std::unique_ptr<Fixture> g_fixture;

Fixture& fixture() {
    if (!g_fixture)
        g_fixture = std::make_unique<Fixture>();
    return *g_fixture;
}

qint64 FloorOnce(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read the benchmark database");
    const QByteArray bytes = f.readAll();
    const qint64 n = std::count(bytes.cbegin(), bytes.cend(), '|');
    benchmark::DoNotOptimize(n);
    return n;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

template <typename Work> void AgainstFloor(benchmark::State& state, Work&& work) {
    Fixture& f = fixture();
    double workTotal = 0, floorTotal = 0;
    for (auto _ : state) {
        const auto a = Clock::now();
        FloorOnce(f.state.databasePath);
        const auto b = Clock::now();
        work(f);
        const auto c = Clock::now();
        floorTotal += Seconds(b - a);
        workTotal += Seconds(c - b);
        state.SetIterationTime(Seconds(c - b));
    }
    state.counters["vs_floor"] = workTotal / floorTotal;
    state.counters["floor_ms"] = floorTotal * 1000 / double(state.iterations());
}

void SendKey(QWidget* to, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(to, &release);
}

// One month shown: the month button, then the grid painted.
void BM_ShowMonth(benchmark::State& state) {
    bool forward = true;
    AgainstFloor(state, [&](Fixture& f) {
        (forward ? f.right : f.left)->click();
        forward = !forward;
        f.grid->viewport()->repaint();
    });
}

// One value typed and accepted with Enter; the editor moves down and reopens.
void BM_AcceptEdit(benchmark::State& state) {
    int row = 0;
    AgainstFloor(state, [&](Fixture& f) {
        if (!f.editor->isVisible()) {
            f.grid->setCurrentIndex(f.grid->model()->index(row, LgPaidIn));
            f.grid->setFocus();
            SendKey(f.grid, Qt::Key_Return);
        }
        f.editor->setText(QString::number(100 + row));
        SendKey(f.editor, Qt::Key_Return);
        f.grid->viewport()->repaint();
        row = (row + 1) % 500;
    });
}

} // namespace

BENCHMARK(BM_ShowMonth)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AcceptEdit)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_fixture.reset();
    return 0;
}
