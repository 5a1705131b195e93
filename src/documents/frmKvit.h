#pragma once

#include <optional>

#include <QWidget>

#include "ReceiptContent.h"
#include "ReceiptPayment.h"

struct AppState;
class Platform;
class QCheckBox;
class QLineEdit;
class QPushButton;

// The receipt "Квитанция" of subscriber state.docRow for month state.docMonth
// (1..12) of state.docYear, shown in the print frame. It prints itself and
// then closes; closing stores the pay-by text and the copies choice.
class frmKvit final : public QWidget {
    Q_OBJECT
public:
    frmKvit(AppState& state, Platform& platform, QWidget* parent = nullptr);

    const ReceiptContent& content() const { return m_content; }
    // The payee block and code; none without payee details.
    const std::optional<ReceiptPayment>& payment() const { return m_payment; }
    QString payBy() const;
    bool twoCopies() const;

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Window height and the second copy follow the copies box.
    void COPIREN();
    void print();
    const ReceiptPayment* paymentShown() const;

    AppState& m_state;
    Platform& m_platform;
    ReceiptContent m_content;
    std::optional<ReceiptPayment> m_payment;
    QLineEdit* m_payBy;
    QPushButton* m_print;
    QCheckBox* m_copies;
};
