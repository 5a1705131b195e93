#include "ReceiptFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "MemberFileName.h"
#include "MonthReceipts.h"
#include "core/MonthNames.h"

using namespace Qt::StringLiterals;

std::vector<ReceiptFile> MonthReceiptFiles(const SubscriberTable& table, int month,
                                           const QString& yearText) {
    const std::vector<int> rows = RowsToBill(table, month, yearText);
    const QString period = MonthName(month) + u' ' + yearText;
    std::vector<ReceiptFile> files;
    files.reserve(rows.size());
    QSet<QString> taken;
    for (int row : rows) {
        QString name = MemberFileName(table, row, period);
        for (int copy = 2; taken.contains(name.toCaseFolded()); ++copy)
            name = MemberFileName(table, row, period, u"(%1)"_s.arg(copy));
        taken.insert(name.toCaseFolded());
        files.push_back({row, name});
    }
    return files;
}

QStringList ExistingReceiptFiles(const QString& folder, const std::vector<ReceiptFile>& files) {
    const QDir dir(folder);
    QStringList existing;
    for (const ReceiptFile& f : files)
        if (QFileInfo::exists(dir.filePath(f.fileName)))
            existing << f.fileName;
    return existing;
}
