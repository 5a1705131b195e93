#pragma once

#include <functional>
#include <vector>

#include <QString>

#include "ReceiptFiles.h"
#include "MonthReceiptsPrint.h"

struct PayeeDetails;
class SubscriberTable;

// One receipt, one copy, on an A4 page as the printer would have it, written
// under a temporary name and renamed when whole: a failure leaves no file.
// Empty on success, else what went wrong.
QString WriteReceiptPdf(const QString& path, const BatchReceipt& receipt, const QString& payBy);

struct ReceiptPdfsWritten {
    int written = 0;
    bool stopped = false; // goOn said no
    QString failedFile;   // the file that could not be written, and why
    QString error;
};

// The receipts of `files` (MonthReceiptFiles of the month), each into its
// file in folder, several at once; `goOn(done)` is asked, on this thread,
// after every file. Once it says no, only the files already begun are
// finished. Stops at the first file that cannot be written: the rest would
// fail alike.
ReceiptPdfsWritten WriteReceiptPdfs(const SubscriberTable& table, const PayeeDetails& payee,
                                    const QString& payBy, int month, const QString& yearText,
                                    const QString& folder, const std::vector<ReceiptFile>& files,
                                    const std::function<bool(int done)>& goOn);
