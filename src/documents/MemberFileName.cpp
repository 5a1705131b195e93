#include "MemberFileName.h"

#include <QStringList>

#include "core/SubscriberTable.h"
#include "documents/ReceiptPayment.h"

using namespace Qt::StringLiterals;

QString MemberFileName(const SubscriberTable& table, int row, const QString& period,
                       const QString& what) {
    QStringList parts{PaymentPlot(table, row), table.cell(row, ColName).simplified(), period};
    if (!what.isEmpty())
        parts << what;
    parts.removeAll(QString());
    QString name = parts.join(u' ') + u".pdf"_s;
    for (QChar& c : name)
        if (u"\\/:*?\"<>|"_s.contains(c) || c.unicode() < 0x20)
            c = u'_';
    return name;
}
