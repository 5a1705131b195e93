#pragma once

#include <vector>

#include <QWidget>

#include "BalanceCarryModel.h"

class Platform;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
struct AppState;

// "Перенос данных на следующий год": December's closing balances, reviewed
// and corrected, become the opening balances of the next January.
class YearCarryWindow final : public QWidget {
    Q_OBJECT
public:
    YearCarryWindow(AppState& state, Platform& platform, QWidget* parent = nullptr);

    // The ledger's shown rows (label, closing debt, closing credit), its year
    // and the heights of its grid and window.
    void load(std::vector<BalanceCarryModel::Entry> entries, const QString& ledgerYear,
              int gridHeight, int ledgerHeight);
    BalanceCarryModel& model() { return *m_model; }

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void openEditor();
    void hideEditor();
    void acceptEdit();
    void write();
    void clearFields();
    void placeButtons(int top);

    AppState& m_state;
    Platform& m_platform;
    BalanceCarryModel* m_model = nullptr;
    QTableView* m_grid = nullptr;
    QLineEdit* m_editor = nullptr;
    QLabel* m_year = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_clear = nullptr;
};
