#pragma once

#include <QStringList>
#include <QWidget>

class Platform;
struct AppState;

// "Справка по горячим клавишам": the keys of the ledger's cell editor.
class frmHlp1 final : public QWidget {
    Q_OBJECT
public:
    frmHlp1(AppState& state, Platform& platform, QWidget* parent = nullptr);

    // The ten lines shown, top to bottom.
    static const QStringList& Lines();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};
