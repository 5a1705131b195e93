#pragma once

#include <QStringList>
#include <QWidget>

class Platform;
struct AppState;

// "Справка по горячим клавишам": the keys of the ledger's cell editor.
class HotKeysHelp final : public QWidget {
    Q_OBJECT
public:
    HotKeysHelp(AppState& state, Platform& platform, QWidget* parent = nullptr);

    // The ten lines shown, top to bottom.
    static const QStringList& Lines();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};
