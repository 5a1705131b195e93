#include "LedgerModel.h"

#include "core/NumberText.h"
#include "core/SubscriberTable.h"

using namespace Qt::StringLiterals;

LedgerModel::LedgerModel(SubscriberTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {
    m_sums.fill(u"0"_s);
}

LedgerModel::Location LedgerModel::fill(const QString& yearText, int month) {
    Location loc;
    const auto y = m_table.offeredYears().indexOf(yearText);
    if (!y || month < 1 || month > 12) {
        loc.fellBack = true;
    } else {
        loc.yearIndex = *y;
        loc.month = month;
    }
    loc.ledgerCol = LedgerColumn(loc.yearIndex, loc.month);

    beginResetModel();
    m_loc = loc;
    const int n = m_table.subscriberCount();
    m_rows.assign(size_t(n), Row{});
    const int base = m_loc.ledgerCol - SlotOpenDebt;
    for (int r = 0; r < n; ++r) {
        const int sub = r + 1;
        auto& c = m_rows[size_t(r)].cells;
        c[LgLabel] = m_table.cell(sub, ColRowNumber) + u". "_s + m_table.cell(sub, ColName);
        for (int k = 1; k < LedgerGridColumns; ++k) {
            const int slot = LedgerSlotOfColumn(k);
            if (slot >= 0)
                c[size_t(k)] = LedgerLoadText(m_table.cell(sub, base + slot));
        }
    }
    endResetModel();
    return m_loc;
}

void LedgerModel::compute() {
    const int base = m_loc.ledgerCol - SlotOpenDebt;
    // The prepayment balance brought forward: the previous month's carry; in
    // January the month's own slot, which is where a year's balance is entered.
    const int carrySlotCol =
        m_loc.month == 1 ? base + SlotPrepayCarry : base - SlotCount + SlotPrepayCarry;
    std::array<double, SumCount> total{};
    for (size_t r = 0; r < m_rows.size(); ++r) {
        Row& row = m_rows[r];
        double in[LedgerGridColumns] = {};
        for (int k = 1; k <= LgOtherIncome; ++k)
            if (k != LgTotalDue)
                in[k] = ReadNumber(row.cells[size_t(k)]);
        const double carried = ReadNumber(m_table.cellView(int(r) + 1, carrySlotCol));
        const LedgerRowResult res = ComputeLedgerRow(in, carried);
        row.cells[LgTotalDue] = res.totalDue;
        row.cells[LgCloseDebt] = res.closeDebt;
        row.cells[LgCloseCredit] = res.closeCredit;
        row.cells[LgPrepayBalance] = res.prepayBalance;
        row.prepayNegative = res.prepayNegative;
        for (int k = 0; k < SumCount; ++k)
            total[size_t(k)] += ReadNumber(row.cells[size_t(k) + 1]);
    }
    // The last sum stays as added up; the others read as money.
    for (int k = 0; k < SumCount; ++k)
        m_sums[size_t(k)] =
            k < SumCount - 1 ? FormatMoney(total[size_t(k)]) : PlainNumber(total[size_t(k)]);
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, LedgerGridColumns - 1));
}

void LedgerModel::save() {
    const int base = m_loc.ledgerCol - SlotOpenDebt;
    static constexpr int stored[] = {LgOpenDebt,    LgOpenCredit, LgElectricity, LgElectrician,
                                     LgOtherCharge, LgTotalDue,   LgPaidIn,      LgOtherIncome,
                                     LgCloseDebt,   LgCloseCredit};
    static constexpr int slotOf[] = {SlotOpenDebt,    SlotOpenCredit, 9,          SlotElectrician,
                                     SlotOtherCharge, SlotTotalDue,   SlotPaidIn, SlotOtherIncome,
                                     SlotCloseDebt,   SlotCloseCredit};
    for (size_t r = 0; r < m_rows.size(); ++r) {
        const int sub = int(r) + 1;
        for (size_t i = 0; i < std::size(stored); ++i) {
            const QString& t = m_rows[r].cells[size_t(stored[i])];
            const int col = base + slotOf[i];
            if (m_table.cellView(sub, col) != t)
                m_table.setCell(sub, col, t);
        }
    }
    if (m_loc.month == 12)
        return;
    const int next = base + SlotCount;
    const int n = int(m_rows.size());
    for (int sub = 1; sub <= n; ++sub) {
        const std::pair<int, int> carries[] = {{SlotCloseDebt, SlotOpenDebt},
                                               {SlotCloseCredit, SlotOpenCredit},
                                               {SlotPrepayCarry, SlotPrepayCarry}};
        for (const auto& [from, to] : carries) {
            if (IsSharedHeadMeterCell(sub, next + to))
                continue;
            const CellText t = m_table.cellView(sub, base + from);
            if (m_table.cellView(sub, next + to) != t)
                m_table.setCell(sub, next + to, t.toString());
        }
    }
}

QString LedgerModel::text(int row, int column) const {
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= LedgerGridColumns)
        return {};
    return m_rows[size_t(row)].cells[size_t(column)];
}

void LedgerModel::setText(int row, int column, const QString& text) {
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= LedgerGridColumns)
        return;
    m_rows[size_t(row)].cells[size_t(column)] = text;
    const QModelIndex i = index(row, column);
    emit dataChanged(i, i);
}

bool LedgerModel::prepayNegative(int row) const {
    return row >= 0 && row < int(m_rows.size()) && m_rows[size_t(row)].prepayNegative;
}

LedgerModel::RowMark LedgerModel::rowMark(int row) const {
    if (row < 0 || row >= int(m_rows.size()))
        return RowMark::None;
    return m_rows[size_t(row)].mark;
}

void LedgerModel::emitRowColours(int row) {
    emit dataChanged(index(row, 0), index(row, LgCloseCredit), {MarkRole});
}

void LedgerModel::clearRows(RowMark mark) {
    for (int r = 0; r < int(m_rows.size()); ++r)
        if (m_rows[size_t(r)].mark == mark) {
            m_rows[size_t(r)].mark = RowMark::None;
            emitRowColours(r);
        }
}

void LedgerModel::highlightRow(int row) {
    clearRows(RowMark::Highlight);
    if (row < 0 || row >= int(m_rows.size()))
        return;
    m_rows[size_t(row)].mark = RowMark::Highlight;
    emitRowColours(row);
}

LedgerModel::SearchResult LedgerModel::search(const QString& text) {
    SearchResult res;
    const QString needle = text.toLower();
    if (needle.isEmpty())
        return res;
    clearRows(RowMark::Found);
    for (int r = 0; r < int(m_rows.size()); ++r) {
        if (!m_table.cell(r + 1, ColName).toLower().contains(needle))
            continue;
        m_rows[size_t(r)].mark = RowMark::Found;
        emitRowColours(r);
        if (res.hits++ == 0)
            res.firstRow = r;
    }
    return res;
}

int LedgerModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int LedgerModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : LedgerGridColumns;
}

QVariant LedgerModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const Row& row = m_rows[size_t(index.row())];
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return row.cells[size_t(c)];
    case MarkRole:
        return c <= LgCloseCredit ? int(row.mark) : int(RowMark::None);
    case NegativeRole:
        return c == LgPrepayBalance && row.prepayNegative;
    case Qt::TextAlignmentRole:
        return c == LgLabel ? int(Qt::AlignLeft | Qt::AlignVCenter)
                            : int(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

void RunLedgerYear(SubscriberTable& table, int yearIndex,
                   const std::function<void(const LedgerModel&)>& computed) {
    LedgerModel model(table);
    for (int month = 1; month <= 12; ++month) {
        model.fill(YearText(yearIndex), month);
        model.compute();
        if (computed)
            computed(model);
        model.save();
    }
}
