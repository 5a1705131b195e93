#pragma once

#include <array>
#include <vector>

#include <QAbstractTableModel>
#include <QString>

class SubscriberTable;

// The year-end balances under review before they open January of the next
// year: one row per subscriber with its label, debt and credit.
class BalanceCarryModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Label = 0, Debt = 1, Credit = 2, ColumnCount = 3 };
    struct Entry {
        QString label, debt, credit;
    };

    explicit BalanceCarryModel(QObject* parent = nullptr);

    void setEntries(std::vector<Entry> entries);
    QString text(int row, int column) const;
    void setText(int row, int column, const QString& text);
    // Empties every debt and credit.
    void clearAmounts();
    // Writes the debts and credits as typed into the opening slots of January
    // of the given year, subscriber r + 1 from row r.
    void write(SubscriberTable& table, int yearIndex) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::vector<std::array<QString, ColumnCount>> m_rows;
};
