#pragma once

#include <QWidget>

class Database;
class Platform;
class QCheckBox;

// "Параметры сохранения": the autosave switch.
class AutosavePrefsDialog final : public QWidget {
    Q_OBJECT
public:
    AutosavePrefsDialog(Database& database, Platform& platform, QWidget* parent = nullptr);

signals:
    // OK: the database's autosave is switched.
    void autosaveChanged(bool on);
    // Closed in any way, "flSave" written with the autosave's current state.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void accept();

    Database& m_database;
    Platform& m_platform;
    QCheckBox* m_save = nullptr;
};
