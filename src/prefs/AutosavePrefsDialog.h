#pragma once

#include <QWidget>

class Platform;
class QCheckBox;
struct AppState;

// "Параметры сохранения": the autosave switch.
class AutosavePrefsDialog final : public QWidget {
    Q_OBJECT
public:
    AutosavePrefsDialog(AppState& state, Platform& platform, QWidget* parent = nullptr);

signals:
    // OK: flSave is set; the main window starts or stops its autosave timer.
    void autosaveChanged(bool on);
    // Closed in any way, flSave written with its current value.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void accept();

    AppState& m_state;
    Platform& m_platform;
    QCheckBox* m_save = nullptr;
};
