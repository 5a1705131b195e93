#pragma once

#include <array>

#include <QWidget>

class Platform;
class QLabel;
class QPushButton;
struct AppState;

// "Настройка цвета таблицы": the colours of the odd months, the even months
// and the focused cell. Works on copies; only OK makes them the shared
// colours and stores them.
class ColoursDialog final : public QWidget {
    Q_OBJECT
public:
    ColoursDialog(AppState& state, Platform& platform, QWidget* parent = nullptr);

    // The colours shown, not yet taken (0x00BBGGRR).
    const std::array<int, 3>& workingColors() const { return m_work; }

signals:
    // OK: the shared colours changed and are stored.
    void colorsChanged();
    // The window has closed in any way: the main window repaints its rows.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void choose(int index);
    void setDefaults();
    void accept();
    void paintSample(int index);

    AppState& m_state;
    Platform& m_platform;
    std::array<int, 3> m_work;
    std::array<QLabel*, 3> m_samples{};
    std::array<QPushButton*, 3> m_buttons{};
};
