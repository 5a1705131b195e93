#pragma once

#include <QWidget>

#include "MemberAccount.h"

struct AppState;
struct MemberAccountSheet;
class PaymentJournal;
class Platform;
class QComboBox;
class QLabel;
class QTableWidget;

// "Лицевой счёт абонента": one subscriber's ledger over a year, month by
// month, with the bank payments the journal holds for it; printed or saved
// as a PDF. It only reads the table.
class MemberAccountWindow final : public QWidget {
    Q_OBJECT
public:
    MemberAccountWindow(const AppState& state, const PaymentJournal& journal, Platform& platform,
                        int row, const QString& yearText, QWidget* parent = nullptr);

    const MemberAccount& account() const { return m_account; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showYear();
    void fillMonths();
    void fillPayments();
    void print();
    void savePdf();
    // What is printed: the shown account under the payee's name, dated today.
    MemberAccountSheet sheet() const;
    QString yearText() const;

    const AppState& m_state;
    const PaymentJournal& m_journal;
    Platform& m_platform;
    int m_row;
    MemberAccount m_account;
    QComboBox* m_year = nullptr;
    QTableWidget* m_months = nullptr;
    QLabel* m_staleNote = nullptr;
    QLabel* m_paymentsTitle = nullptr;
    QTableWidget* m_payments = nullptr;
};
