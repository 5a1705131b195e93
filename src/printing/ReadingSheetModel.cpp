#include "ReadingSheetModel.h"

#include <array>

#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<int, ReadingSheetModel::Columns - 1> FixedWidths = {360,  3300, 800,
                                                                         1550, 1550, 1550};

} // namespace

int ReadingSheetModel::columnWidth(int column) {
    if (column >= 0 && column < Columns - 1)
        return FixedWidths[size_t(column)];
    int rest = GridWidth - 80;
    for (const int w : FixedWidths)
        rest -= w;
    return rest;
}

ReadingSheetModel::ReadingSheetModel(const SubscriberTable& table, const QString& yearText,
                                     int month, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {
    const auto year = YearIndex(yearText);
    const bool known = year && month >= 1 && month <= 12;
    for (int i = 1; i <= table.subscriberCount(); ++i) {
        m_t1Previous << (known ? table.cell(i, MonthColumn(*year, month, T1Previous)) : QString());
        m_t2Previous << (known ? table.cell(i, MonthColumn(*year, month, T2Previous)) : QString());
    }
    setPage(1, StopField::Name);
}

int ReadingSheetModel::pageCount() const {
    const int n = int(m_t1Previous.size());
    return std::max(1, (n + RowsPerPage - 1) / RowsPerPage);
}

void ReadingSheetModel::setPage(int page, StopField stop) {
    beginResetModel();
    m_page = page;
    m_rows.clear();
    const int last = std::min(RowsPerPage * page, int(m_t1Previous.size()));
    for (int r = RowsPerPage * (page - 1) + 1; r <= last; ++r) {
        const int field = stop == StopField::Name ? ColName : ColRowNumber;
        if (m_table.cell(r, field).isEmpty())
            break;
        m_rows.push_back({m_table.cell(r, ColRowNumber), m_table.cell(r, ColName),
                          m_table.cell(r, ColAddress), QString(), m_t1Previous.at(r - 1), QString(),
                          m_t2Previous.at(r - 1)});
    }
    endResetModel();
}

QString ReadingSheetModel::text(int row, int column) const {
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= Columns)
        return {};
    return m_rows[size_t(row)].at(column);
}

QString ReadingSheetModel::columnHeader(int column) {
    static const std::array<QString, Columns> headers = {
        u" № "_s,
        u"                Фамилия И. О."_s,
        u"  Адрес"_s,
        u"Тек. показ. по Т1"_s,
        u"Предыд. пок. по Т1"_s,
        u"Тек. показ. по Т2"_s,
        u"Предыд. пок. по Т2"_s,
    };
    return column >= 0 && column < Columns ? headers[size_t(column)] : QString();
}

int ReadingSheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReadingSheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns;
}

QVariant ReadingSheetModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return text(index.row(), index.column());
}

QVariant ReadingSheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return columnHeader(section);
}
