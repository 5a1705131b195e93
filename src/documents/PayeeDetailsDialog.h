#pragma once

#include <array>

#include <QWidget>

#include "PayeeDetails.h"

struct AppState;
class Platform;
class QLabel;
class QLineEdit;

// "Реквизиты получателя": the payee's bank details for the receipts' payment
// code. "Сохранить" stores them only when every field passes its check;
// each failure is named next to its field.
class PayeeDetailsDialog final : public QWidget {
    Q_OBJECT
public:
    PayeeDetailsDialog(AppState& state, Platform& platform, QWidget* parent = nullptr);

    QLineEdit* field(PayeeField f) const { return m_edits[size_t(f)]; }
    QLabel* errorLabel(PayeeField f) const { return m_errors[size_t(f)]; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void save();

    Platform& m_platform;
    std::array<QLineEdit*, PayeeFieldCount> m_edits{};
    std::array<QLabel*, PayeeFieldCount> m_errors{};
};
