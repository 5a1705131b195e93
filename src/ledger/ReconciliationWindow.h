#pragma once

#include <array>

#include <QWidget>

#include "DebtorsList.h"

struct AppState;
class DebtorsModel;
class Platform;
class QLabel;
class QTableView;

// "Сверка расчётов": the debtors' list of the ledger's month, with its print
// and its export. It only reads the ledger's stored balances.
class ReconciliationWindow final : public QWidget {
    Q_OBJECT
public:
    ReconciliationWindow(AppState& state, Platform& platform, int yearIndex, int month,
                         QWidget* parent = nullptr);

    DebtorsModel& model() { return *m_model; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeTotals();
    void print();
    void exportList();

    AppState& m_state;
    Platform& m_platform;
    DebtorsModel* m_model;
    QTableView* m_grid;
    QWidget* m_totals = nullptr;
    std::array<QLabel*, 3> m_totalLabels{};
};
