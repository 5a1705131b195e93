#pragma once

#include "PrintPage.h"
#include "ReadingSheetModel.h"
#include "core/MonthRequest.h"

// The meter-reading sheet of one month: 63 subscribers a page with their
// previous readings, portrait.
class ReadingSheetPage final : public PrintPage {
    Q_OBJECT
public:
    ReadingSheetPage(const SubscriberTable& table, const MonthRequest& month,
                     QWidget* parent = nullptr);

    QString frameCaption() const override;
    int pageCount() const override;
    int shownPage() const override;
    void showPage(int page) override;
    PrintJob printJob() override;

    const ReadingSheetModel& model() const { return m_model; }
    QString dateText() const { return m_dateText; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    ReadingSheetModel m_model;
    QString m_dateText;
};
