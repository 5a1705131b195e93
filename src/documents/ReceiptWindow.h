#pragma once

#include <array>
#include <optional>

#include <QPointer>
#include <QWidget>

#include "QrCodeWindow.h"
#include "ReceiptContent.h"
#include "ReceiptPayment.h"
#include "core/DocumentRequest.h"

class Platform;
class SubscriberTable;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The receipt "Квитанция" of one subscriber for one month, shown in the print
// frame. It prints itself and
// then closes; closing stores the pay-by text and the copies choice. A click
// on the payment code shows it large; stored payee details that fail their
// checks are told in red above the print button (never on paper).
class ReceiptWindow final : public QWidget {
    Q_OBJECT
public:
    ReceiptWindow(const SubscriberTable& table, Platform& platform, const DocumentRequest& request,
                  QWidget* parent = nullptr);

    const ReceiptContent& content() const { return m_content; }
    // The payee block and code; none without payee details.
    const std::optional<ReceiptPayment>& payment() const { return m_payment; }
    QString payBy() const;
    bool twoCopies() const;
    // The large code's window while it is open.
    QrCodeWindow* largeCode() const { return m_largeCode; }

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Window height and the second copy follow the copies box.
    void fitToCopies();
    void print();
    const ReceiptPayment* paymentShown() const;
    void showLargeCode();

    Platform& m_platform;
    ReceiptContent m_content;
    std::optional<ReceiptPayment> m_payment;
    QLineEdit* m_payBy;
    QPushButton* m_print;
    QCheckBox* m_copies;
    // Over the code of each copy: a click shows it large.
    std::array<QWidget*, 2> m_codeSpots{};
    QPointer<QrCodeWindow> m_largeCode;
};
