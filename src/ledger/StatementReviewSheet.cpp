#include "StatementReviewSheet.h"

#include "StatementReviewModel.h"
#include "core/MoneyText.h"
#include "core/NumberText.h"
#include "core/Platform.h"
#include "workbook/WorkbookSheet.h"
#include "workbook/WorkbookWriter.h"

using namespace Qt::StringLiterals;

namespace {

using Col = StatementReviewModel::Column;

// Sheet column of each list column; column A is the tick.
constexpr int SheetCol(int listColumn) {
    return listColumn + 1;
}

void SetRubles(WorkbookSheet& sheet, int row, int col, const QString& text) {
    if (text.isEmpty())
        return;
    if (const auto k = ReadKopecks(text))
        sheet.setNumber(row, col, double(*k) / 100);
    else if (IsNumberText(text))
        sheet.setNumber(row, col, ReadNumber(text));
    else
        sheet.set(row, col, text);
}

} // namespace

WorkbookSheet StatementReviewSheet(const StatementReviewModel& model, const QString& title) {
    WorkbookSheet s;
    s.setName(u"Платежи"_s);
    s.set(u"A1", title);
    s.merge(u"A1:I1");
    QStringList headers = {u"Записать"_s};
    for (int c = 0; c < Col::ColumnCount; ++c)
        headers << model.headerData(c, Qt::Horizontal).toString();
    s.setBlock(u"A2", {headers});
    s.bold(u"A1:I2");
    s.hAlign(u"A2:I2", WorkbookSheet::Centre);

    int row = 2; // 0-based: the first payment's row
    for (int r = 0; r < model.rowCount(); ++r, ++row) {
        const auto text = [&model, r](int c) { return model.index(r, c).data().toString(); };
        const bool ticked =
            model.index(r, Col::ColDate).data(Qt::CheckStateRole).toInt() == Qt::Checked;
        s.set(row, 0, ticked ? u"да"_s : u"нет"_s);
        for (int c = 0; c < Col::ColumnCount; ++c) {
            if (c == Col::ColAmount || c == Col::ColPaidInNow)
                SetRubles(s, row, SheetCol(c), text(c));
            else
                s.set(row, SheetCol(c), text(c));
        }
    }
    const StatementReviewModel::Totals t = model.totals();
    const auto total = [&s, &row](const QString& caption, int count, qint64 kopecks) {
        s.set(row, 0, caption);
        s.set(row, SheetCol(Col::ColDate), QString::number(count));
        s.setNumber(row, SheetCol(Col::ColAmount), double(kopecks) / 100);
        ++row;
    };
    const int totalsTop = row;
    total(u"Записать"_s, t.ticked, t.tickedKopecks);
    total(u"Не записывать"_s, t.notWritten, t.notWrittenKopecks);
    if (t.stated) {
        s.set(row, 0, u"Всего поступило по выписке"_s);
        s.setNumber(row, SheetCol(Col::ColAmount), double(*t.stated) / 100);
        ++row;
    }
    s.bold(QString(u"A"_s + QString::number(totalsTop + 1) + u":C"_s + QString::number(row)));
    s.borders(QString(u"A2:I"_s + QString::number(totalsTop)));
    const QString last = QString::number(row);
    s.numberFormat(QString(u"C3:C"_s + last), WorkbookSheet::MoneyFormat);
    s.numberFormat(QString(u"I3:I"_s + last), WorkbookSheet::MoneyFormat);
    s.autoFit(u"A:D");
    s.autoFit(u"F:I");
    // A purpose runs to 210 characters: the column shows the start of it.
    s.columnWidth(u"E", 60);
    // Wide enough for "1 234 567,89 ₽".
    s.columnWidth(u"C", 16);
    return s;
}

bool ExportStatementReview(const StatementReviewModel& model, const QString& title,
                           const QString& folder, Platform& platform) {
    const QString path = WorkbookSavePath(
        platform.saveFileName(QString(), WorkbookProposedPath(folder, title), WorkbookFilter()));
    if (path.isEmpty())
        return false;
    if (WriteWorkbook(StatementReviewSheet(model, title), path))
        return true;
    platform.message(u"Не удалось записать файл\n"_s + path, u"Платежи из выписки"_s,
                     MsgIcon::Critical, MsgButtons::Ok);
    return false;
}
