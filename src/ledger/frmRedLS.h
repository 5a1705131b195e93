#pragma once

#include <array>

#include <QPointer>
#include <QWidget>

class Platform;
class LedgerModel;
class LedgerViewModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class frmPerenos;
class frmSverka;
struct AppState;

// "Лицевой счет": the ledger of every subscriber for one month, typed in cell
// after cell. Opened by the main window, which it hides meanwhile.
class frmRedLS final : public QWidget {
    Q_OBJECT
public:
    frmRedLS(AppState& state, Platform& platform, QWidget* parent = nullptr);
    ~frmRedLS() override;

    LedgerModel& model() { return *m_model; }
    // The balance carry window while it is open.
    frmPerenos* perenosWindow() const;
    // The debtors' list while it is open.
    frmSverka* sverkaWindow() const;

public slots:
    // After the ledger preferences changed: a switched-off highlight clears
    // the yellow rows at once.
    void applyPreferences();

signals:
    // The window has stored everything and written the database.
    void closed();
    // DocRow, DocMonth (1..12) and DocYear are set and the month stored.
    void receiptRequested();
    void orderRequested();
    // PrintYear and PrintMonth are set; the window has hidden itself.
    void printRequested();
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
    void layOut(); // WCOL
    void placeSumsRow(int top);
    void showMonth(); // ZAPOLNIT1, VICHISLIT1, SAVE1
    void compute();   // VICHISLIT1 with the sums
    void save();      // SAVE1
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
    void openPerenos();
    void buildPaymentTools();
    void printMonthReceipts();
    void openSverka();
    void showCaption(int index); // -1 hides all
    QString yearText() const;
    int columnLeft(int column) const;

    AppState& m_state;
    Platform& m_platform;
    LedgerModel* m_model = nullptr;
    LedgerViewModel* m_view = nullptr;
    QComboBox* m_year = nullptr;
    QLabel* m_month = nullptr;
    QToolButton* m_left = nullptr;
    QToolButton* m_right = nullptr;
    QPushButton* m_perenosButton = nullptr;
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
    QPointer<frmPerenos> m_perenos;
    // "Квитанции за месяц" and "Сверка расчётов" after the six tools.
    std::array<QToolButton*, 2> m_paymentTools{};
    std::array<QLabel*, 2> m_paymentCaptions{};
    QPointer<frmSverka> m_sverka;
    bool m_loading = false;
};
