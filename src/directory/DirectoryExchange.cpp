#include "DirectoryExchange.h"

#include "core/SubscriberTable.h"
#include "workbook/WorkbookReader.h"
#include "workbook/WorkbookSheet.h"

using namespace Qt::StringLiterals;

WorkbookSheet DirectoryExportSheet(const SubscriberTable& table) {
    WorkbookSheet sheet;
    const int count = table.subscriberCount();
    sheet.setBlock(u"A1", {{u"№"_s, u"Фамилия И. О."_s, u"Адрес"_s, u"Телефон"_s, u"Тип счетчика"_s,
                            u"Примечание"_s}});
    sheet.bold(u"A1:F1");
    sheet.hAlign(u"A1:F1", WorkbookSheet::Centre);
    QList<QStringList> rows;
    rows.reserve(count);
    for (int i = 1; i <= count; ++i) {
        QStringList row;
        for (int c = ColRowNumber; c <= ColNote; ++c)
            row << table.cell(i, c);
        rows << row;
    }
    sheet.setBlock(1, 0, rows);
    sheet.hAlign(u"B2:F500", WorkbookSheet::Left);
    sheet.autoFit(u"A:F");
    sheet.borders(u"A1:F"_s + QString::number(count + 1));
    return sheet;
}

DirectoryImport ReadDirectoryImport(const WorkbookReadResult& sheet) {
    DirectoryImport result;
    // Sheet row r (1-based) is row index r - 1; the data start on row 2.
    for (int r = 1; !sheet.cell(r, 0).isEmpty(); ++r) {
        if (result.rows.size() == SubscriberTable::MaxRow) {
            result.status = DirectoryImport::Status::TooMany;
            result.rows.clear();
            return result;
        }
        DirectoryFields f;
        for (int k = 0; k < 5; ++k)
            f[size_t(k)] = sheet.cell(r, k + 1);
        result.rows.append(f);
    }
    result.status =
        result.rows.isEmpty() ? DirectoryImport::Status::Empty : DirectoryImport::Status::Ok;
    return result;
}

void ApplyDirectoryImport(SubscriberTable& table, const QList<DirectoryFields>& rows) {
    const int n = int(std::min<qsizetype>(rows.size(), SubscriberTable::MaxRow));
    if (n == 0)
        return; // the table always keeps a subscriber
    const int former = table.subscriberCount();
    for (int i = 1; i <= n; ++i) {
        if (i > former)
            table.clearRow(i);
        table.setCell(i, ColRowNumber, QString::number(i));
        for (int k = 0; k < 5; ++k)
            table.setCell(i, ColName + k, rows[i - 1][size_t(k)]);
    }
    table.setSubscriberCount(n);
}
