#pragma once

#include <array>
#include <functional>

#include <QMainWindow>

#include "core/AppState.h"
#include "core/MonthRequest.h"
#include "storage/DatabasePrefetch.h"
#include "core/Platform.h"
#include "readings/Charges.h"
#include "readings/TableExport.h"
#include "readings/YearSheet.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QToolButton;
class MonthCell;
class QStringListModel;
class Database;

// The main window: one subscriber and one year, twelve month rows of
// readings, tariffs and coefficients with their computed charges.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppState& state, Database& database, Platform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: loads the database and fills the window. false when the load
    // failed and the program must end (the user has been told).
    // prefetch: the database's read started before this window was built.
    bool load(DatabasePrefetch* prefetch = nullptr);
    // Closes the window, saving as any close does, for the directory to open.
    void closeForDirectory() {
        m_closingForDirectory = true;
        close();
    }

    // Procedures other windows call.
    void fillYear();
    void clearYear();
    void computeYear();
    void storeShownCells();
    void copyToAllSubscribers(int month, int slot, const QString& text);
    void paintRows();
    void fillDates(); // "Проставить дату (последнее число месяца)"
    // Refills the subscriber selector from the table (after the directory changed it).
    void fillSubscriberSelector();
    // Stores the shown cells and writes the database; false on a failed write.
    bool saveAndWrite();
    void printWindow();
    // "Экспорт таблицы в Excel": the shown year into a workbook.
    void exportTable();
    // Opens the readings import; the main window waits until it closes.
    void openImport();
    ShownYear shownYear() const;
    // The subscriber's row and the year the cells show, as the last fill
    // left them: while a choice is made the selectors already name others.
    struct Shown {
        int row = 0; // 0 (the spare row) until a fill finds the name
        QString yearText;
    };
    Shown shown() const;
    // "Резервное копирование базы" and the two restores; a restore ends the
    // program without writing anything (the database's work: Database).
    void backupDatabase();
    void restoreFromBackup();
    void restoreFromVersion10();
    // Shows the subscriber of `row` in the year with the focus in the cell,
    // after the cell being edited has been stored.
    void showCell(int row, const QString& yearText, int month, int slot);

    // Completes the leave-cell sequence of the entry cell being edited, if
    // any, and takes the focus off it, as a click on another control does.
    // Every command of the window runs it first (see connectCommand).
    void leaveEditedCell();

    // Enables a button or menu item found by its objectName.
    void setCommandEnabled(const QString& objectName, bool enabled);

    MonthCell* entryCell(int month, int slot) const;
    MonthCell* resultCell(int month, int index) const;
    QString selectedMonthName() const { return m_popupMonthName; }
    int selectedMonthLabel() const { return m_popupLabelIndex; }
    QString sheetYearText() const { return m_sheetYearText; }
    QMenu* monthPopup() const { return m_popup; }

signals:
    void directoryRequested();
    void imbalanceRequested();
    void ledgerRequested();
    void calculatorRequested();
    void yearCarryRequested();
    void saveOptionsRequested();
    void colorsRequested();
    void payeeRequested();
    void aboutRequested();
    void helpRequested();
    void readingSheetRequested(const MonthRequest& month);
    void readingsCheckRequested(); // "Проверка показаний..."
    void bankStatementRequested(); // "Загрузить выписку банка..."
    void chartRequested();         // "График"
    void memberAccountRequested(); // "Лицевой счёт абонента", for the shown subscriber
    // The shown subscriber, year or readings may have changed.
    void shownChanged();
    // Emitted first when the window closes, before anything is stored, so
    // that the other windows can put their data into the table.
    void closing();
    // Emitted at the end of the close handling; directorySwitch tells
    // whether the program goes on to the directory.
    void closed(bool directorySwitch);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Wires a toolbar button, check box or menu item to its command. A
    // command never runs on a half-edited cell: the cell is left first.
    void connectCommand(QAbstractButton* button, std::function<void()> command);
    void connectCommand(QAction* action, std::function<void()> command);
    bool loadDatabase(DatabasePrefetch* prefetch);
    void restore(bool version10);
    // The controls and where they sit (MainWindowLayout.cpp).
    void buildControls();
    void buildButtonBar(QWidget* client);
    void buildSelectors(QWidget* client);
    void buildHeaders(QWidget* client);
    void buildMonthRows(QWidget* client);
    void buildBottomBar(QWidget* client);
    void buildMenus();
    void onSelectorChosen();
    // Cell input and hover (MainWindowInput.cpp).
    void onCellTextChanged(MonthCell* cell);
    void onCellFocusIn(MonthCell* cell, Qt::FocusReason reason);
    void onCellFocusOut(MonthCell* cell);
    void owe(MonthCell* cell);
    void leaveOwedCell();
    bool onCellKey(MonthCell* cell, int key);
    void onQuickCopy(MonthCell* cell);
    void onMonthLabelReleased(int month, Qt::MouseButton button, const QPoint& globalPos);
    void setMonthLabelsBold(int boldMonth);
    void hideButtonCaptions();
    void applyPrintLook(bool print);
    QColor monthColor(int month) const;
    QColor focusColor() const;
    std::array<bool, 12> tickedMonths() const;
    YearSheet::Entries shownEntries() const;
    // The sheet of the shown row and year: what the cells are stored into.
    YearSheet shownSheet() const;
    void markLowerReading(int month);

    AppState& m_state;
    Database& m_database;
    Platform& m_platform;
    QWidget* m_client = nullptr;
    QFrame* m_buttonBar = nullptr;
    QWidget* m_bottomBar = nullptr;
    QComboBox* m_subscriber = nullptr;
    QStringListModel* m_subscriberNames = nullptr;
    QComboBox* m_year = nullptr;
    QLabel* m_meterType = nullptr;
    // Says where subscribers are added while there are none.
    QLabel* m_noSubscribersHint = nullptr;
    QCheckBox* m_ch1 = nullptr;
    QCheckBox* m_ch2 = nullptr;
    QToolButton* m_saveButton = nullptr;
    std::array<std::array<MonthCell*, 9>, 12> m_entry{};
    std::array<std::array<MonthCell*, 5>, 13> m_result{};
    std::array<QLabel*, 12> m_monthLabels{};
    std::array<QWidget*, 12> m_bands{};
    std::array<QCheckBox*, 12> m_monthTicks{};
    std::vector<QToolButton*> m_buttons;
    std::vector<QLabel*> m_buttonCaptions;
    QMenu* m_popup = nullptr;
    QMenu* m_menuDirectory = nullptr;
    QMenu* m_menuTools = nullptr;
    bool m_computeEnabled = false;
    bool m_leaving = false;
    bool m_closingForDirectory = false;
    // The entry cell entered or typed into whose leave-cell sequence has not
    // run yet. Qt does not always tell when it is left (a wheel over a
    // selector of the inactive window moves the focus without a focus-out),
    // so it is kept here until the sequence runs, exactly once.
    MonthCell* m_cellToLeave = nullptr;
    // What the window was last filled for (see shown()).
    QString m_shownName;
    int m_shownRow = 0;
    QString m_shownYearText;
    QString m_popupMonthName;
    int m_popupLabelIndex = 0;
    QString m_sheetYearText;
    QSize m_normalSize;
    // This load made a new, empty database.
    bool m_baseCreated = false;
};
