#include "LedgerViewModel.h"

#include <QColor>

#include "LedgerModel.h"

QVariant LedgerViewModel::data(const QModelIndex& index, int role) const {
    using Mark = LedgerModel::RowMark;
    switch (role) {
    case Qt::BackgroundRole:
        switch (Mark(QIdentityProxyModel::data(index, LedgerModel::MarkRole).toInt())) {
        case Mark::Highlight:
            return QColor(255, 255, 0);
        case Mark::Found:
            return QColor(0, 0, 255);
        case Mark::None:
            return {};
        }
        return {};
    case Qt::ForegroundRole:
        if (QIdentityProxyModel::data(index, LedgerModel::NegativeRole).toBool())
            return QColor(255, 0, 0);
        if (Mark(QIdentityProxyModel::data(index, LedgerModel::MarkRole).toInt()) == Mark::Found)
            return QColor(255, 255, 255); // readable on blue
        return {};
    default:
        return QIdentityProxyModel::data(index, role);
    }
}
