// The month's receipts on the largest database: 501 subscribers, every one
// with something to pay. From the ledger's command to the print preview with
// all its pages drawn (the preview draws every page when it opens), the
// building of the receipts alone (contents and payment codes), and the
// receipts as one PDF a subscriber (at most 10 s). Against the floor of the
// database benchmarks in the same run.

#include <chrono>
#include <memory>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "WindowBench.h"
#include "storage/DatabaseFile.h"
#include "documents/MonthReceiptPdfs.h"
#include "documents/MonthReceipts.h"
#include "documents/MonthReceiptsPrint.h"
#include "documents/PayeeDetails.h"
#include "documents/SamplePayee.h"

using namespace Qt::StringLiterals;

namespace {

using Clock = std::chrono::steady_clock;
const QString Year = u"2020"_s;
constexpr int Month = 5;

// Opens the preview as the program's print does, without waiting for the
// user: the widget of the preview dialog, shown with every page made.
class PreviewPlatform final : public Platform {
public:
    int pagesShown = 0;
    QString folder; // where the receipts' PDFs go

    explicit PreviewPlatform(const QString& settingsApp) : m_settings(settingsApp) {}
    // The PDFs of the run before are replaced.
    MsgAnswer message(const QString&, const QString&, MsgIcon, MsgButtons buttons,
                      MsgAnswer d) override {
        return buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes : d;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return folder; }
    std::optional<int> chooseColor(int) override { return std::nullopt; }
    bool print(const PrintJob& job) override {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(QPageLayout::Portrait);
        QPrintPreviewWidget preview(&printer);
        QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, &preview,
                         [&job](QPrinter* p) {
                             QPainter painter(p);
                             const QRectF area = p->pageLayout().paintRectPixels(p->resolution());
                             for (int page = 0; page < job.pageCount; ++page) {
                                 if (page > 0)
                                     p->newPage();
                                 painter.save();
                                 job.paint(painter, page, area.width(), area.height());
                                 painter.restore();
                             }
                         });
        preview.resize(900, 1000);
        preview.show();
        QApplication::processEvents();
        pagesShown = preview.pageCount();
        return true;
    }
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&, const QStringList&) override { return false; }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    Settings& settings() override { return m_settings; }
    void quit(int) override {}

private:
    Settings m_settings;
};

struct Fixture {
    QTemporaryDir dir;
    SubscriberTable table = MakeLargestTable();
    std::unique_ptr<PreviewPlatform> platform;

    Fixture() {
        qputenv("XDG_CONFIG_HOME", dir.filePath(u"config"_s).toUtf8());
        platform = std::make_unique<PreviewPlatform>(u"ostrevanka"_s);
        platform->folder = dir.filePath(u"pdf"_s);
        QDir().mkpath(platform->folder);
        if (!DatabaseFile::save(databasePath(), table))
            qFatal("cannot write the benchmark database");
        // The longest name a community may have: it widens every payload.
        PayeeDetails d = SamplePayee();
        d[PayeeField::Name] = u"Садоводческое некоммерческое товарищество «Остреванка»"_s;
        StorePayeeDetails(platform->settings(), d);
        if (RowsToBill(table, Month, Year).size() != 501)
            qFatal("every subscriber of the benchmark month should have something to pay");
    }
    QString databasePath() const { return dir.filePath(DatabaseFile::FileName); }
};

std::unique_ptr<Fixture> g_fixture;

Fixture& fixture() {
    return MadeOnce(g_fixture);
}

// "Квитанции за месяц" up to the preview shown with its 251 pages.
void BM_MonthReceiptsPreview(benchmark::State& state) {
    Fixture& f = fixture();
    RunAgainstFloor<Clock>(state, f.databasePath(), [&] {
        PrintMonthReceipts(f.table, *f.platform, Month, Year);
        if (f.platform->pagesShown != 251)
            state.SkipWithError("the preview has not every page");
    });
    state.counters["pages"] = f.platform->pagesShown;
}

// The 501 receipts' contents and payment codes, before the preview.
void BM_MonthReceiptsBuild(benchmark::State& state) {
    Fixture& f = fixture();
    size_t built = 0;
    RunAgainstFloor<Clock>(state, f.databasePath(), [&] {
        built = BuildMonthReceipts(f.table, *f.platform, Month, Year).size();
    });
    state.counters["receipts"] = double(built);
}

// "Квитанции в PDF по абонентам...": 501 files from the command to the summary.
void BM_MonthReceiptPdfs(benchmark::State& state) {
    Fixture& f = fixture();
    int written = 0;
    RunAgainstFloor<Clock>(state, f.databasePath(), [&] {
        written = SaveMonthReceiptPdfs(f.table, *f.platform, Month, Year);
        if (written != 501)
            state.SkipWithError("not every receipt was written");
    });
    state.counters["files"] = written;
}

} // namespace

BENCHMARK(BM_MonthReceiptsPreview)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthReceiptsBuild)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthReceiptPdfs)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, [] { g_fixture.reset(); });
}
