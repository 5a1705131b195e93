#include "ReceiptPdf.h"

#include <algorithm>
#include <deque>

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include "ReceiptPainter.h"
#include "printing/PageGeometry.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray ReceiptPdfBytes(const BatchReceipt& receipt, const QString& payBy) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(receipt.content.name + u", "_s + receipt.content.dateText);
    writer.setCreator(u"Остреванка 2.1"_s);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    QPainter painter(&writer);
    const QRect area = writer.pageLayout().paintRectPixels(writer.resolution());
    // The scale of the printed receipt, so that the file prints as the paper one.
    PageGeometry::fitPage(painter, QSizeF(ReceiptPage::Width, ReceiptPage::TwoCopiesHeight),
                          area.width(), area.height());
    PaintReceipt(painter, receipt.content, payBy, false, true,
                 receipt.payment ? &*receipt.payment : nullptr);
    painter.end();
    return bytes;
}

} // namespace

QString WriteReceiptPdf(const QString& path, const BatchReceipt& receipt, const QString& payBy) {
    const QByteArray bytes = ReceiptPdfBytes(receipt, payBy);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // The file is made whole in memory and written with every count checked:
    // on a full disk a short write is no error to the file object, and the
    // file would be renamed cut.
    for (qsizetype at = 0; at < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + at, bytes.size() - at);
        if (n <= 0)
            return file.errorString();
        at += qsizetype(n);
    }
    if (!file.flush() || !file.commit())
        return file.errorString();
    return {};
}

ReceiptPdfsWritten WriteReceiptPdfs(const SubscriberTable& table, const PayeeDetails& payee,
                                    const QString& payBy, int month, const QString& yearText,
                                    const QString& folder, const std::vector<ReceiptFile>& files,
                                    const std::function<bool(int done)>& goOn) {
    // The payment code and the file's fonts cost most: a file is made on
    // each core, while this thread hands out the next one only after it has
    // told one more done. So a stop leaves at most one file a core to finish,
    // and each of those whole.
    const QDir dir(folder);
    auto writeOne = [&](const ReceiptFile& f) {
        const BatchReceipt receipt{MakeReceipt(table, f.row, month, yearText),
                                   MakeReceiptPayment(payee, table, f.row, month, yearText)};
        return WriteReceiptPdf(dir.filePath(f.fileName), receipt, payBy);
    };
    QThreadPool* pool = QThreadPool::globalInstance();
    const size_t cores = size_t(std::max(1, pool->maxThreadCount()));
    std::deque<std::pair<size_t, QFuture<QString>>> inFlight;
    size_t next = 0;
    auto startNext = [&] {
        inFlight.emplace_back(next, QtConcurrent::run(pool, writeOne, std::cref(files[next])));
        ++next;
    };
    while (next < files.size() && inFlight.size() < cores)
        startNext();

    ReceiptPdfsWritten out;
    bool goingOn = true;
    while (!inFlight.empty()) {
        auto [index, future] = std::move(inFlight.front());
        inFlight.pop_front();
        const QString error = future.result();
        if (!error.isEmpty()) {
            if (out.failedFile.isEmpty()) {
                out.failedFile = files[index].fileName;
                out.error = error;
            }
            goingOn = false;
            continue;
        }
        ++out.written;
        if (goingOn && !goOn(out.written)) {
            goingOn = false;
            out.stopped = true;
        }
        if (goingOn && next < files.size())
            startNext();
    }
    out.stopped = out.stopped && out.written < int(files.size());
    return out;
}
