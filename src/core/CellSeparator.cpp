#include "CellSeparator.h"

QString WithoutCellSeparator(const QString& text) {
    return QString(text).remove(u'|');
}
