#pragma once

#include <array>

#include <QPointer>
#include <QWidget>

struct AppState;
class Database;
class Platform;
class DirectoryGridModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class AddSubscriberDialog;
class EditSubscriberDialog;

// "Справочник абоненты": the subscriber directory. Lists, finds, deletes,
// exports and imports subscribers and opens AddSubscriberDialog and EditSubscriberDialog, disabled
// while they are open. Every change is written to the database at once.
class DirectoryWindow final : public QWidget {
    Q_OBJECT
public:
    DirectoryWindow(AppState& state, Database& database, Platform& platform,
                    QWidget* parent = nullptr);
    ~DirectoryWindow() override;

    DirectoryGridModel& model() const { return *m_model; }
    AddSubscriberDialog* addWindow() const;      // the open add window, or nullptr
    EditSubscriberDialog* editWindow() const;    // the open edit window, or nullptr
    int selectedRow() const { return m_selRow; } // table row, 0: none

signals:
    // After every database write; ok false when it failed.
    void databaseWritten(bool ok);
    // The window closed after storing its column widths.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyHeaderWidths();
    void gridClicked(const QModelIndex& index);
    void gridDoubleClicked(const QModelIndex& index);
    void find();           // Cmdfind
    void reset();          // CmdRes
    void add();            // Cmd1
    void edit();           // Cmd2
    void remove();         // CmdDel
    void exportWorkbook(); // Command1
    void importWorkbook(); // Command2
    void save();
    void layoutControls();

    AppState& m_state;
    Database& m_database;
    Platform& m_platform;
    DirectoryGridModel* m_model;
    QTableView* m_grid;
    QGroupBox* m_frame1;
    QLineEdit* m_txtfind;
    QPushButton* m_cmdfind;
    QPushButton* m_cmdRes;
    QPushButton* m_cmd1;
    QPushButton* m_cmd2;
    QPushButton* m_cmdDel;
    QToolButton* m_command1;
    QToolButton* m_command2;
    std::array<QLabel*, 2> m_hints{};
    QPointer<QWidget> m_child; // AddSubscriberDialog or EditSubscriberDialog while open
    int m_selRow = 0;
};
