#pragma once

#include <QWidget>

class Platform;
struct AppState;

// "О программе Остреванка 2.1": the agreement text and OK. Closes on OK and as
// soon as it loses the focus.
class AboutDialog final : public QWidget {
    Q_OBJECT
public:
    AboutDialog(AppState& state, Platform& platform, QWidget* parent = nullptr);

    static QString AgreementText();

signals:
    void closed();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
