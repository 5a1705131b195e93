#pragma once

#include <QIdentityProxyModel>

// The ledger model as the grid paints it: row marks become backgrounds, a
// negative prepayment balance red text.
class LedgerViewModel final : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};
