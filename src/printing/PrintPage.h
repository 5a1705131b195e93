#pragma once

#include <QWidget>

#include "core/Platform.h"

// A page window shown in the print frame that leaves its page buttons and its
// print command to the frame.
class PrintPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The frame's caption while it shows this page window.
    virtual QString frameCaption() const = 0;
    virtual int pageCount() const = 0; // at least 1
    virtual int shownPage() const = 0; // 1-based
    virtual void showPage(int page) = 0;
    // The shown page as a print job.
    virtual PrintJob printJob() = 0;

signals:
    void closed();
};
