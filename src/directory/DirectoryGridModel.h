#pragma once

#include "DirectoryModel.h"

// The directory model as the grid shows it: row marks become colours.
class DirectoryGridModel final : public DirectoryModel {
    Q_OBJECT
public:
    using DirectoryModel::DirectoryModel;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};
