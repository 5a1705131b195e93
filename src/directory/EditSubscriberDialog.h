#pragma once

#include <QWidget>

struct AppState;
class Database;
class Platform;
class DirectoryFieldBoxes;
class QPushButton;

// "Редактирование справочника": changes the fields of the subscriber in one
// row, stored as typed (untrimmed), with one save.
class EditSubscriberDialog final : public QWidget {
    Q_OBJECT
public:
    EditSubscriberDialog(AppState& state, Database& database, Platform& platform, int row,
                         QWidget* parent = nullptr);

signals:
    // The fields of the row were stored into the table.
    void stored(int row);
    // After the database write; ok false when it failed.
    void databaseWritten(bool ok);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ok(); // Cmd1

    AppState& m_state;
    Database& m_database;
    Platform& m_platform;
    int m_row;
    QPushButton* m_cmd1;
    QPushButton* m_command1;
    DirectoryFieldBoxes* m_fields;
};
