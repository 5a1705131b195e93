#pragma once

#include "LedgerPrintModel.h"
#include "PrintPage.h"

struct AppState;
class Platform;

// The printed personal accounts of one month (state.printYear and
// state.printMonth, 1..12): 39 subscribers a page, landscape.
class LedgerPrintPage final : public PrintPage {
    Q_OBJECT
public:
    LedgerPrintPage(AppState& state, Platform& platform, QWidget* parent = nullptr);

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
    AppState& m_state;
    LedgerPrintModel m_model;
    QString m_dateText;
};
