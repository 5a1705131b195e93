#pragma once

#include <QWidget>

class Platform;
class QCheckBox;
class QRadioButton;
struct AppState;

// "Настройки в лицевом счете": where Enter moves the ledger's cursor and
// whether a click paints the ledger row.
class LedgerPrefsDialog final : public QWidget {
    Q_OBJECT
public:
    LedgerPrefsDialog(AppState& state, Platform& platform, QWidget* parent = nullptr);

signals:
    // OK: flPls and flPs are set and stored; the ledger applies them (a
    // switched-off highlight clears its yellow rows at once).
    void preferencesChanged();
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void accept();

    AppState& m_state;
    Platform& m_platform;
    QRadioButton* m_down = nullptr;
    QRadioButton* m_right = nullptr;
    QCheckBox* m_paint = nullptr;
};
