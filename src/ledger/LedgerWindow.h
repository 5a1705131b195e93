#pragma once

#include <array>

#include <QPointer>
#include <QWidget>

#include "core/DocumentRequest.h"
#include "core/MonthRequest.h"

class Platform;
class LedgerModel;
class LedgerViewModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class YearCarryWindow;
class ReconciliationWindow;
class MemberAccountWindow;
struct AppState;
class Database;

// "Лицевой счет": the ledger of every subscriber for one month, typed in cell
// after cell. Opened by the main window, which it hides meanwhile.
class LedgerWindow final : public QWidget {
    Q_OBJECT
public:
    // Opens on `start` (a month outside 1..12: January).
    LedgerWindow(AppState& state, Database& database, Platform& platform, const MonthRequest& start,
                 QWidget* parent = nullptr);
    ~LedgerWindow() override;

    // The month shown, 1..12.
    int month() const;

    LedgerModel& model() { return *m_model; }
    // The balance carry window while it is open.
    YearCarryWindow* perenosWindow() const;
    // The debtors' list while it is open.
    ReconciliationWindow* sverkaWindow() const;
    // "Лицевой счёт абонента" while it is open.
    MemberAccountWindow* memberAccountWindow() const;

public slots:
    // After the ledger preferences changed: a switched-off highlight clears
    // the yellow rows at once.
    void applyPreferences();

signals:
    // The window has stored everything and written the database.
    void closed();
    // The month is stored in the table first.
    void receiptRequested(const DocumentRequest& request);
    void orderRequested(const DocumentRequest& request);
    // The window has hidden itself.
    void printRequested(const MonthRequest& month);
    void settingsRequested();
    void helpRequested();
    void calculatorRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void buildHeader();
    void layOut(); // column widths and the controls around the grid
    void placeSumsRow(int top);
    void showMonth(); // load, compute and store the chosen month
    void compute();   // the derived columns with the sums
    void save();      // the grid into the table, balances carried
    void updateMonthControls();
    void stepMonth(int delta);
    void onYearChosen();
    void gridClicked(const QModelIndex& index);
    void gridReleased(Qt::MouseButton button);
    void openEditor();
    void hideEditor();
    void acceptEdit();
    void onEditorEdited(const QString& text);
    void search();
    void resetSearch();
    void saveToDisk();
    void exportLedger();
    void print();
    void openYearCarry();
    void buildExtraTools();
    void printMonthReceipts();
    void openReconciliation();
    void openMemberAccount();
    void saveReceiptPdfs();
    void loadStatement();
    void showCaption(int index); // -1 hides all
    QString yearText() const;
    int columnLeft(int column) const;

    AppState& m_state;
    Database& m_database;
    Platform& m_platform;
    LedgerModel* m_model = nullptr;
    LedgerViewModel* m_view = nullptr;
    QComboBox* m_year = nullptr;
    QLabel* m_month = nullptr;
    QToolButton* m_left = nullptr;
    QToolButton* m_right = nullptr;
    QPushButton* m_yearCarryButton = nullptr;
    QLineEdit* m_find = nullptr;
    QPushButton* m_findButton = nullptr;
    QPushButton* m_reset = nullptr;
    QTableView* m_grid = nullptr;
    QLineEdit* m_editor = nullptr;
    std::array<QLineEdit*, 13> m_sums{};
    std::array<QLabel*, 18> m_header{};
    std::array<QToolButton*, 6> m_tools{};
    std::array<QLabel*, 6> m_captions{};
    QLabel* m_prepaySum = nullptr;
    QPointer<YearCarryWindow> m_yearCarry;
    // After the six of the toolbar: month receipts, reconciliation, the
    // member's account, the receipts in PDF and the bank statement, with
    // their hover captions.
    static constexpr int FirstExtraTool = 6;
    static constexpr size_t ExtraToolCount = 5;
    std::array<QToolButton*, ExtraToolCount> m_extraTools{};
    std::array<QLabel*, ExtraToolCount> m_extraCaptions{};
    QPointer<ReconciliationWindow> m_reconciliation;
    QPointer<MemberAccountWindow> m_memberAccount;
    bool m_loading = false;
    int m_monthIndex = 0; // 0 = January
};
