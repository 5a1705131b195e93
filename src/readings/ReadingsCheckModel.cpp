#include "ReadingsCheckModel.h"

#include "core/MonthNames.h"
#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

ReadingsCheckModel::ReadingsCheckModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReadingsCheckModel::check(const SubscriberTable& table, int yearIndex) {
    beginResetModel();
    m_all = CheckReadings(table, yearIndex);
    m_names.clear();
    m_names.reserve(table.subscriberCount() + 1);
    for (int r = 0; r <= table.subscriberCount(); ++r)
        m_names << table.cell(r, ::ColName);
    m_counts.fill(0);
    for (const ReadingFinding& f : m_all)
        ++m_counts[size_t(f.kind)];
    rebuild();
    endResetModel();
}

void ReadingsCheckModel::setKindShown(FindingKind kind, bool shown) {
    if (m_shown[size_t(kind)] == shown)
        return;
    beginResetModel();
    m_shown[size_t(kind)] = shown;
    rebuild();
    endResetModel();
}

bool ReadingsCheckModel::isKindShown(FindingKind kind) const {
    return m_shown[size_t(kind)];
}

int ReadingsCheckModel::count(FindingKind kind) const {
    return m_counts[size_t(kind)];
}

void ReadingsCheckModel::rebuild() {
    m_lines.clear();
    for (size_t i = 0; i < m_all.size(); ++i)
        if (m_shown[size_t(m_all[i].kind)])
            m_lines.push_back(int(i));
}

const ReadingFinding& ReadingsCheckModel::finding(int line) const {
    return m_all.at(size_t(m_lines.at(size_t(line))));
}

int ReadingsCheckModel::lineOf(const ReadingFinding& wanted) const {
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const ReadingFinding& f = m_all[size_t(m_lines[i])];
        if (f.row == wanted.row && f.month == wanted.month && f.tariff == wanted.tariff &&
            f.kind == wanted.kind)
            return int(i);
    }
    return -1;
}

QString ReadingsCheckModel::columnTitle(int column) {
    switch (column) {
    case ColRow:
        return u"№"_s;
    case ColName:
        return u"Абонент"_s;
    case ColMonth:
        return u"Месяц"_s;
    case ColKind:
        return u"Вид"_s;
    case ColValues:
        return u"Показания"_s;
    default:
        return {};
    }
}

QString ReadingsCheckModel::text(int line, int column) const {
    const ReadingFinding& f = finding(line);
    switch (column) {
    case ColRow:
        return QString::number(f.row);
    case ColName:
        return m_names.value(f.row);
    case ColMonth:
        return MonthName(f.month);
    case ColKind:
        return FindingKindName(f.kind);
    case ColValues:
        return f.values;
    default:
        return {};
    }
}

QList<QStringList> ReadingsCheckModel::shownTexts() const {
    QList<QStringList> out;
    out.reserve(qsizetype(m_lines.size()));
    for (int line = 0; line < int(m_lines.size()); ++line) {
        QStringList texts;
        for (int c = 0; c < ColumnCount; ++c)
            texts << text(line, c);
        out << texts;
    }
    return out;
}

int ReadingsCheckModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_lines.size());
}

int ReadingsCheckModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ReadingsCheckModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() == ColRow)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ReadingsCheckModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return columnTitle(section);
    return {};
}
