#pragma once

#include <QWidget>

struct AppState;
class Database;
class Platform;
class DirectoryFieldBoxes;
class QPushButton;

// "Добавление нового абонента": enters new subscribers one after another
// past the count (pending) and commits them all with one save.
class AddSubscriberDialog final : public QWidget {
    Q_OBJECT
public:
    AddSubscriberDialog(AppState& state, Database& database, Platform& platform,
                        QWidget* parent = nullptr);

    int addedCount() const { return m_addedCount; } // AddedCount

signals:
    // The pending subscribers were counted and the database written.
    void committed();
    // After every database write; ok false when it failed.
    void databaseWritten(bool ok);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void add();    // Cmd1
    void commit(); // CmdOk
    void checkDuplicate();

    AppState& m_state;
    Database& m_database;
    Platform& m_platform;
    QPushButton* m_cmd1;
    QPushButton* m_cmdOk;
    DirectoryFieldBoxes* m_fields;
    int m_addedCount = 0;
};
