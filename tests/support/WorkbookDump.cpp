#include "WorkbookDump.h"

#include <QDebug>
#include <QJsonDocument>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

const char* const DumpScript = R"PY(
import sys, json, openpyxl
with open(sys.argv[1], 'rb') as f:
    wb = openpyxl.load_workbook(f)
ws = wb.active
cells = {}
for row in ws.iter_rows():
    for c in row:
        if c.value is None and not c.has_style:
            continue
        color = None
        if c.font.color is not None and c.font.color.type == 'rgb':
            color = c.font.color.rgb
        b = c.border
        cells[c.coordinate] = {
            'value': c.value, 'type': c.data_type, 'bold': bool(c.font.b), 'color': color,
            'h': c.alignment.horizontal, 'v': c.alignment.vertical,
            'wrap': bool(c.alignment.wrap_text),
            'borders': [b.left.style, b.right.style, b.top.style, b.bottom.style],
            'format': c.number_format}
widths = {}
for key, d in ws.column_dimensions.items():
    if d.customWidth:
        for i in range(d.min, d.max + 1):
            widths[openpyxl.utils.get_column_letter(i)] = d.width
print(json.dumps({'sheets': wb.sheetnames, 'cells': cells,
                  'merges': sorted(str(r) for r in ws.merged_cells.ranges),
                  'widths': widths}, ensure_ascii=False))
)PY";

} // namespace

QJsonObject DumpWorkbook(const QString& path) {
    QProcess p;
    p.start(u"/usr/bin/python3"_s, {u"-c"_s, QString::fromUtf8(DumpScript), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning() << p.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QJsonObject DumpedCell(const QJsonObject& dump, const QString& address) {
    return dump[u"cells"_s].toObject()[address].toObject();
}

double ShownColumnWidth(const QJsonObject& dump, const QString& column) {
    // Stored widths include the cell padding of the default font (5 pixels
    // on a 7-pixel digit).
    return (dump[u"widths"_s].toObject()[column].toDouble() * 7 - 5) / 7;
}
