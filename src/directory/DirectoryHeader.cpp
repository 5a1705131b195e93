#include "DirectoryHeader.h"

#include <QStringList>

using namespace Qt::StringLiterals;

QString HeaderFormatString(HeaderVariant variant) {
    const QString address = variant == HeaderVariant::A   ? u"Адрес  (№ участка)"_s
                            : variant == HeaderVariant::B ? u"Адрес (№ участка)"_s
                                                          : u"Адрес (№ участка)"_s;
    const int after = variant == HeaderVariant::A ? 52 : variant == HeaderVariant::B ? 53 : 51;
    auto part = [](QChar mark, int before, const QString& text, int spacesAfter) -> QString {
        return QString(mark) + QString(before, u' ') + text + QString(spacesAfter, u' ');
    };
    return QStringList{part(u'<', 0, u"ID"_s, 2),           part(u'^', 15, u"Фамилия И. О."_s, 27),
                       part(u'^', 9, address, after),       part(u'^', 8, u"Телефон"_s, 9),
                       part(u'^', 7, u"Тип счетчика"_s, 6), part(u'^', 15, u"Примечание"_s, 12)}
        .join(u'|');
}

QList<HeaderCell> ParseHeaderFormat(const QString& format) {
    QList<HeaderCell> cells;
    for (const QString& part : format.split(u'|')) {
        HeaderCell cell;
        if (!part.isEmpty() && (part[0] == u'<' || part[0] == u'^' || part[0] == u'>')) {
            cell.mark = part[0];
            cell.text = part.mid(1);
        } else {
            cell.mark = u'<';
            cell.text = part;
        }
        cells.append(cell);
    }
    return cells;
}
