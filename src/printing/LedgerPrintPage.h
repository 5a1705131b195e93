#pragma once

#include "LedgerPrintModel.h"
#include "PrintPage.h"
#include "core/MonthRequest.h"

// The printed personal accounts of one month: 39 subscribers a page,
// landscape.
class LedgerPrintPage final : public PrintPage {
    Q_OBJECT
public:
    LedgerPrintPage(const SubscriberTable& table, const MonthRequest& month,
                    QWidget* parent = nullptr);

    QString frameCaption() const override;
    int pageCount() const override;
    int shownPage() const override;
    void showPage(int page) override;
    PrintJob printJob() override;

    const LedgerPrintModel& model() const { return m_model; }
    QString dateText() const { return m_dateText; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    LedgerPrintModel m_model;
    QString m_dateText;
};
