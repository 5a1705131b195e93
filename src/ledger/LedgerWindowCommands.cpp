// The ledger window's commands that hand the work to another window or a file.

#include "LedgerWindow.h"

#include <QTableView>

#include "LedgerExport.h"
#include "LedgerModel.h"
#include "MemberAccountWindow.h"
#include "ReconciliationWindow.h"
#include "StatementLoad.h"
#include "YearCarry.h"
#include "YearCarryWindow.h"
#include "core/AppState.h"
#include "core/Platform.h"
#include "documents/MonthReceiptPdfs.h"
#include "documents/MonthReceiptsPrint.h"
#include "storage/Database.h"

using namespace Qt::StringLiterals;

void LedgerWindow::saveToDisk() {
    save();
    m_database.saveOrTell();
}

void LedgerWindow::exportLedger() {
    ExportLedger(m_state.table, yearText(), m_monthIndex + 1, m_state.programFolder, m_platform);
}

void LedgerWindow::print() {
    const MonthRequest month{yearText(), m_monthIndex + 1};
    hide();
    emit printRequested(month);
}

void LedgerWindow::openYearCarry() {
    if (!NextYearIndex(m_state.table.offeredYears(), yearText()) || m_yearCarry)
        return;
    std::vector<BalanceCarryModel::Entry> entries;
    entries.reserve(size_t(m_model->rowCount()));
    for (int r = 0; r < m_model->rowCount(); ++r)
        entries.push_back({m_model->text(r, LgLabel), m_model->text(r, LgCloseDebt),
                           m_model->text(r, LgCloseCredit)});
    auto* w = new YearCarryWindow(m_state, m_platform);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->load(std::move(entries), yearText(), m_grid->height(), height());
    m_yearCarry = w;
    connect(w, &YearCarryWindow::closed, this, [this] { setEnabled(true); });
    setEnabled(false);
    w->show();
}

void LedgerWindow::printMonthReceipts() {
    hideEditor();
    // The grid is stored after every change, so the table holds what it shows.
    PrintMonthReceipts(m_state.table, m_platform, m_monthIndex + 1, yearText(), this);
}

void LedgerWindow::saveReceiptPdfs() {
    hideEditor();
    // The grid is stored after every change, so the table holds what it shows.
    SaveMonthReceiptPdfs(m_state.table, m_platform, m_monthIndex + 1, yearText(), this);
}

void LedgerWindow::openReconciliation() {
    hideEditor();
    const auto year = m_state.table.offeredYears().indexOf(yearText());
    if (!year || m_reconciliation)
        return;
    auto* w = new ReconciliationWindow(m_state, m_platform, *year, m_monthIndex + 1);
    w->setAttribute(Qt::WA_DeleteOnClose);
    m_reconciliation = w;
    connect(w, &ReconciliationWindow::closed, this, [this] { setEnabled(true); });
    setEnabled(false);
    w->show();
}

void LedgerWindow::openMemberAccount() {
    hideEditor();
    const QModelIndex cur = m_grid->currentIndex();
    if (m_memberAccount)
        return;
    if (!cur.isValid()) {
        m_platform.message(u"Выберите абонента в таблице."_s, u"Лицевой счёт абонента"_s,
                           MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    auto* w = new MemberAccountWindow(m_state, m_database.journal(), m_platform, cur.row() + 1,
                                      yearText());
    w->setAttribute(Qt::WA_DeleteOnClose);
    m_memberAccount = w;
    connect(w, &MemberAccountWindow::closed, this, [this] { setEnabled(true); });
    setEnabled(false);
    w->show();
}

void LedgerWindow::loadStatement() {
    hideEditor();
    // The grid is stored after every change, so the write adds to what it shows.
    if (LoadBankStatement(m_state, m_database, m_platform, this))
        showMonth();
}
