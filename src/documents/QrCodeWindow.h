#pragma once

#include <vector>

#include <QPoint>
#include <QWidget>

#include "QrMatrix.h"

// The receipt's payment code alone, large enough for a phone's camera to read
// it off the screen: a member at the desk pays without a printout.
class QrCodeWindow final : public QWidget {
    Q_OBJECT
public:
    // The smallest module a phone reads reliably off a monitor.
    static constexpr int MinModulePixels = 6;

    QrCodeWindow(const QrMatrix& code, std::vector<std::vector<QPoint>> outline,
                 QWidget* parent = nullptr);

    int modulePixels() const { return m_module; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_modules;
    std::vector<std::vector<QPoint>> m_outline;
    int m_module;
};
