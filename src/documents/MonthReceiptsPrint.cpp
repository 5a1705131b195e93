#include "MonthReceiptsPrint.h"

#include <algorithm>
#include <memory>

#include <QPainter>
#include <QProgressDialog>
#include <QThread>
#include <QtConcurrent/QtConcurrentMap>

#include "MonthReceipts.h"
#include "ReceiptPainter.h"
#include "core/MonthNames.h"
#include "core/Platform.h"
#include "core/Settings.h"
#include "printing/PageGeometry.h"

using namespace Qt::StringLiterals;

std::vector<BatchReceipt> BuildMonthReceipts(const SubscriberTable& table, Platform& platform,
                                             int month, const QString& yearText, QWidget* parent) {
    const std::vector<int> rows = RowsToBill(table, month, yearText);
    if (rows.empty())
        return {};
    const PayeeDetails payee = LoadPayeeDetails(platform.settings());
    // The payment codes take most of the time: they are made on every core,
    // while this thread keeps the progress dialog going.
    const auto build = [&table, &payee, month, yearText](int row) {
        return BatchReceipt{MakeReceipt(table, row, month, yearText),
                            MakeReceiptPayment(payee, table, row, month, yearText)};
    };
    QFuture<BatchReceipt> future = QtConcurrent::mapped(rows, build);
    QProgressDialog progress(u"Подготовка квитанций..."_s, u"Отмена"_s, 0, int(rows.size()),
                             parent);
    progress.setWindowTitle(u"Квитанции за месяц"_s);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setValue(0);
    while (!future.isFinished()) {
        QThread::msleep(10);
        progress.setValue(std::min(future.progressValue(), int(rows.size()) - 1));
        if (progress.wasCanceled()) {
            future.cancel();
            future.waitForFinished();
            return {};
        }
    }
    progress.setValue(int(rows.size()));
    const QList<BatchReceipt> built = future.results();
    return std::vector<BatchReceipt>(built.begin(), built.end());
}

bool PrintMonthReceipts(const SubscriberTable& table, Platform& platform, int month,
                        const QString& yearText, QWidget* parent) {
    const QString period = MonthName(month) + u' ' + yearText;
    if (RowsToBill(table, month, yearText).empty()) {
        platform.message(u"За "_s + period + u" нет квитанций к оплате."_s, u"Квитанции за месяц"_s,
                         MsgIcon::Information, MsgButtons::Ok);
        return false;
    }
    auto receipts = std::make_shared<std::vector<BatchReceipt>>(
        BuildMonthReceipts(table, platform, month, yearText, parent));
    if (receipts->empty())
        return false;
    Settings& settings = platform.settings();
    const QString payBy = settings.text(u"Nastr"_s, u"txtOPL"_s);
    const bool twoCopies = settings.number(u"Nastr"_s, u"Ch100"_s) == 1;
    const int count = int(receipts->size());

    PrintJob job;
    job.title = u"Квитанции за "_s + period;
    job.orientation = PageOrientation::Portrait;
    job.pageCount = ReceiptPageCount(count, twoCopies);
    job.paint = [receipts, payBy, twoCopies, count](QPainter& painter, int page, double width,
                                                    double height) {
        PageGeometry::fitPage(painter, QSizeF(ReceiptPage::Width, ReceiptPage::TwoCopiesHeight),
                              width, height);
        const auto [upper, lower] = ReceiptsOnPage(page, count, twoCopies);
        auto paint = [&](int index, int place) {
            const BatchReceipt& r = (*receipts)[size_t(index)];
            PaintReceiptCopy(painter, place, twoCopies && place == 1, r.content, payBy, true,
                             r.payment ? &*r.payment : nullptr);
        };
        if (upper >= 0)
            paint(upper, 0);
        if (lower >= 0) {
            PaintCutLine(painter);
            paint(lower, 1);
        }
    };
    return platform.print(job);
}
