#include "LedgerPrintModel.h"

#include <array>

#include "core/NumberText.h"
#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

namespace {

// The ledger slot printed in columns 2..11.
constexpr std::array<int, LedgerPrintModel::Columns> SlotOfColumn = {-1,
                                                                     -1,
                                                                     SlotOpenDebt,
                                                                     SlotOpenCredit,
                                                                     ChargeWithComp,
                                                                     SlotElectrician,
                                                                     SlotOtherCharge,
                                                                     SlotTotalDue,
                                                                     SlotPaidIn,
                                                                     SlotOtherIncome,
                                                                     SlotCloseDebt,
                                                                     SlotCloseCredit};

} // namespace

LedgerPrintModel::LedgerPrintModel(const SubscriberTable& table, int ledgerCol, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_ledgerCol(ledgerCol) {
    setPage(1);
}

int LedgerPrintModel::pageCount() const {
    const int n = m_table.subscriberCount();
    return std::max(1, (n + RowsPerPage - 1) / RowsPerPage);
}

void LedgerPrintModel::setPage(int page) {
    beginResetModel();
    m_page = page;
    m_rows.clear();
    m_sumsRow = -1;
    const int first = RowsPerPage * (page - 1) + 1;
    for (int i = first; i <= RowsPerPage * page; ++i) {
        if (i > m_table.subscriberCount() || m_table.cell(i, ColName).isEmpty()) {
            m_sumsRow = int(m_rows.size());
            m_rows.push_back(sumsRow(m_table, m_ledgerCol));
            break;
        }
        QStringList row;
        row << m_table.cell(i, ColRowNumber) << m_table.cell(i, ColName);
        for (int c = 2; c < Columns; ++c)
            row << m_table.cell(i, m_ledgerCol - SlotOpenDebt + SlotOfColumn[size_t(c)]);
        m_rows.push_back(row);
    }
    endResetModel();
}

bool LedgerPrintModel::isSumsRow(int row) const {
    return row == m_sumsRow;
}

QString LedgerPrintModel::text(int row, int column) const {
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= Columns)
        return {};
    return m_rows[size_t(row)].at(column);
}

QString LedgerPrintModel::columnHeader(int column) {
    static const std::array<QString, Columns> headers = {
        u"№"_s,          u"Фамилия И. О."_s, u"Недоплата"_s, u"Переплата"_s,
        u"За эл. эн."_s, u"З. П. Эл-ку"_s,   u"Прочее"_s,    u"ИТОГО к оплате"_s,
        u"Внесено"_s,    u"Прочее"_s,        u"Недоплата"_s, u"Переплата"_s,
    };
    return column >= 0 && column < Columns ? headers[size_t(column)] : QString();
}

QString LedgerPrintModel::groupHeader(int column) {
    switch (column) {
    case 2:
    case 3:
        return u"Остаток на нач. мес., р."_s;
    case 4:
    case 5:
    case 6:
        return u"Начислены расходы в текущ. мес., р."_s;
    case 8:
    case 9:
        return u"Приход в т. м., р."_s;
    case 10:
    case 11:
        return u"Ос-ток на кон. мес., р."_s;
    default:
        return {};
    }
}

QStringList LedgerPrintModel::sumsRow(const SubscriberTable& table, int ledgerCol) {
    QStringList row;
    row << u" "_s << u"      Сумма столбцов:"_s;
    for (int c = 2; c < Columns; ++c) {
        if (c == 9) {
            row << QString();
            continue;
        }
        const int col = ledgerCol - SlotOpenDebt + SlotOfColumn[size_t(c)];
        double sum = 0;
        for (int i = 1; i <= table.subscriberCount(); ++i)
            sum += ReadNumber(table.cellView(i, col));
        row << FormatMoney(sum);
    }
    return row;
}

int LedgerPrintModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int LedgerPrintModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns;
}

QVariant LedgerPrintModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return text(index.row(), index.column());
}

QVariant LedgerPrintModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return columnHeader(section);
}
