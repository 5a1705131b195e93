#pragma once

#include <array>
#include <vector>

#include <QAbstractTableModel>
#include <QStringList>

#include "readings/ReadingsCheck.h"

class SubscriberTable;

// The list of the readings check: one line per finding of the kinds that are
// switched on, with the subscriber's row number and name, the month, the kind
// and the values.
class ReadingsCheckModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColRow, ColName, ColMonth, ColKind, ColValues, ColumnCount };

    explicit ReadingsCheckModel(QObject* parent = nullptr);

    // Runs the check of the year; the kinds shown stay as they were.
    void check(const SubscriberTable& table, int yearIndex);
    void setKindShown(FindingKind kind, bool shown);
    bool isKindShown(FindingKind kind) const;
    // Findings of the kind in the year, shown or not.
    int count(FindingKind kind) const;

    const ReadingFinding& finding(int line) const;
    // The line of a finding with the same row, month, tariff and kind; -1 when none.
    int lineOf(const ReadingFinding& finding) const;
    // The shown lines as texts, for the print and the export.
    QList<QStringList> shownTexts() const;
    static QString columnTitle(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString text(int line, int column) const;
    void rebuild();

    std::vector<ReadingFinding> m_all;
    QStringList m_names; // by row
    std::array<bool, FindingKindCount> m_shown{true, true, true, true, true};
    std::array<int, FindingKindCount> m_counts{};
    std::vector<int> m_lines; // indexes into m_all
};
