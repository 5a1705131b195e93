#include "ReadingsCheckExport.h"

#include "workbook/WorkbookSheet.h"
#include "readings/ReadingsCheckModel.h"

using namespace Qt::StringLiterals;

QString ReadingsCheckExportName(const QString& yearText) {
    return u"Проверка показаний "_s + yearText;
}

WorkbookSheet ReadingsCheckSheet(const QString& yearText, const QList<QStringList>& lines) {
    WorkbookSheet s;
    s.set(u"A1", ReadingsCheckExportName(yearText) + u" г."_s);
    s.bold(u"A1");
    constexpr int HeadRow = 2; // 0-based: sheet row 3
    const int columns = ReadingsCheckModel::ColumnCount;
    for (int c = 0; c < columns; ++c)
        s.set(HeadRow, c, ReadingsCheckModel::columnTitle(c));
    const QString lastCol = ColumnLetters(columns - 1);
    s.bold(u"A3:"_s + lastCol + u'3');
    s.hAlign(u"A3:"_s + lastCol + u'3', WorkbookSheet::Centre);
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList& line = lines[i];
        for (int c = 0; c < columns && c < line.size(); ++c)
            if (c == ReadingsCheckModel::ColRow)
                s.setNumber(HeadRow + 1 + i, c, line[c].toInt());
            else
                s.set(HeadRow + 1 + i, c, line[c]);
    }
    const QString lastRow = QString::number(HeadRow + 1 + lines.size());
    s.borders(u"A3:"_s + lastCol + lastRow);
    s.autoFit(u"A:"_s + lastCol);
    return s;
}
