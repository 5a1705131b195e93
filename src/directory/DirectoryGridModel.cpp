#include "DirectoryGridModel.h"

#include <QBrush>
#include <QColor>
#include <QGuiApplication>
#include <QPalette>

QVariant DirectoryGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::ForegroundRole) // readable on blue
        return RowMark(DirectoryModel::data(index, MarkRole).toInt()) == RowMark::Found
                   ? QVariant(QBrush(Qt::white))
                   : QVariant();
    if (role != Qt::BackgroundRole)
        return DirectoryModel::data(index, role);
    switch (RowMark(DirectoryModel::data(index, MarkRole).toInt())) {
    case RowMark::Selected:
        return QBrush(QColor(255, 255, 0));
    case RowMark::Found:
        return QBrush(QColor(0, 0, 255));
    case RowMark::None:
        break;
    }
    return QGuiApplication::palette().brush(QPalette::Base);
}
