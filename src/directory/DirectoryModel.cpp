#include "DirectoryModel.h"

#include "core/SubscriberTable.h"

DirectoryModel::DirectoryModel(SubscriberTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table),
      m_header(ParseHeaderFormat(HeaderFormatString(HeaderVariant::B))) {}

void DirectoryModel::fill(HeaderVariant variant) {
    beginResetModel();
    m_variant = variant;
    m_header = ParseHeaderFormat(HeaderFormatString(variant));
    m_marks.assign(size_t(m_table.subscriberCount()), RowMark::None);
    endResetModel();
}

DirectoryModel::RowMark DirectoryModel::mark(int row) const {
    if (row < 1 || row > int(m_marks.size()))
        return RowMark::None;
    return m_marks[size_t(row - 1)];
}

void DirectoryModel::setMark(int row, RowMark mark) {
    if (row < 1 || row > int(m_marks.size()) || m_marks[size_t(row - 1)] == mark)
        return;
    m_marks[size_t(row - 1)] = mark;
    emit dataChanged(index(row - 1, 0), index(row - 1, columnCount() - 1),
                     {Qt::BackgroundRole, MarkRole});
}

void DirectoryModel::clearMarks(RowMark mark) {
    for (int r = 1; r <= int(m_marks.size()); ++r)
        if (m_marks[size_t(r - 1)] == mark)
            setMark(r, RowMark::None);
}

void DirectoryModel::select(int row) {
    clearMarks(RowMark::Selected);
    setMark(row, RowMark::Selected);
}

FindResult DirectoryModel::find(const QString& text) {
    FindResult result = FindByName(m_table, text);
    if (result.needle.isEmpty())
        return result;
    clearMarks(RowMark::Found);
    for (int row : result.rows)
        setMark(row, RowMark::Found);
    return result;
}

void DirectoryModel::clearFound() {
    clearMarks(RowMark::Found);
}

void DirectoryModel::refreshRow(int row) {
    if (row >= 1 && row <= int(m_marks.size()))
        emit dataChanged(index(row - 1, 0), index(row - 1, columnCount() - 1), {Qt::DisplayRole});
}

int DirectoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_marks.size());
}

int DirectoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 6;
}

QVariant DirectoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_marks.size()))
        return {};
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return m_table.cell(row, ColRowNumber + index.column());
    case Qt::TextAlignmentRole:
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case MarkRole:
        return int(m_marks[size_t(index.row())]);
    default:
        return {};
    }
}

QVariant DirectoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_header.size())
        return {};
    const HeaderCell& h = m_header[section];
    // The padding sets the column's width; shown, it would push a centred
    // text out of a narrower column.
    if (role == Qt::DisplayRole)
        return h.text.trimmed();
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment a = h.mark == u'^'   ? Qt::AlignHCenter
                                : h.mark == u'>' ? Qt::AlignRight
                                                 : Qt::AlignLeft;
        return int(a | Qt::AlignVCenter);
    }
    return {};
}
