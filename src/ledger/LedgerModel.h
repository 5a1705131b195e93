#pragma once

#include <array>
#include <functional>
#include <vector>

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include "LedgerMath.h"

class SubscriberTable;

// The ledger grid of one month for every subscriber: the texts it shows, the
// arithmetic behind them and their storage in the month's ledger slots.
class LedgerModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int SumCount = 13; // sum k is of grid column k + 1

    // Background of a row's columns 0..12: the clicked row is yellow, the
    // rows found by a search blue. The view maps the mark to its colour.
    enum class RowMark { None, Highlight, Found };
    enum Role { MarkRole = Qt::UserRole + 1, NegativeRole }; // RowMark as int; bool

    struct Location {
        int ledgerCol = 18;
        int yearIndex = 0;
        int month = 1;         // 1..12
        bool fellBack = false; // the year was unknown: January 2017 is shown
    };
    struct SearchResult {
        int hits = 0;
        int firstRow = -1; // grid row of the first hit
    };

    explicit LedgerModel(SubscriberTable& table, QObject* parent = nullptr);

    // Finds the month's columns and loads every subscriber's
    // stored values. An unknown year text falls back to January 2017.
    Location fill(const QString& yearText, int month);
    // The derived columns and the column sums.
    void compute();
    // Stores what the grid shows and carries the closing balances into
    // the next month of the same year.
    void save();

    const Location& location() const { return m_loc; }
    int ledgerCol() const { return m_loc.ledgerCol; }

    QString text(int row, int column) const;
    void setText(int row, int column, const QString& text);
    // The sums row texts tS(0)..tS(12).
    const std::array<QString, SumCount>& sums() const { return m_sums; }
    bool prepayNegative(int row) const;

    RowMark rowMark(int row) const;
    // Clears every highlighted row, then highlights the row.
    void highlightRow(int row);
    void clearRows(RowMark mark);
    // Marks every row whose full name contains the text (ignoring case) after
    // clearing an earlier search; an empty text does nothing.
    SearchResult search(const QString& text);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Row {
        std::array<QString, LedgerGridColumns> cells;
        RowMark mark = RowMark::None;
        bool prepayNegative = false;
    };
    void emitRowColours(int row);

    SubscriberTable& m_table;
    Location m_loc;
    std::vector<Row> m_rows;
    std::array<QString, SumCount> m_sums;
};

// The ledger's month cycle over a whole year: every month from January to
// December loaded, computed, stored and carried, as showing each month of the
// year in turn does. `computed`, when given, sees each month once it is
// computed and before it is stored.
void RunLedgerYear(SubscriberTable& table, int yearIndex,
                   const std::function<void(const LedgerModel&)>& computed = {});
