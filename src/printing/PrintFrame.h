#pragma once

#include <array>

#include <QPointer>
#include <QWidget>

class Platform;
class QPushButton;
class QScrollArea;
class QToolBar;

// The print frame: a toolbar ("Print", "Delete"), up to twenty page buttons
// and one page window. A PrintPage gets both; page windows that print
// themselves (the receipt, the order) get neither. When its page window closes,
// the frame closes too, and closing the frame closes the page window.
class PrintFrame final : public QWidget {
    Q_OBJECT
public:
    static constexpr int MaxPageButtons = 20;

    explicit PrintFrame(Platform& platform, QWidget* parent = nullptr);
    ~PrintFrame() override;

    // Shows a page window in the frame. The page window is deleted when it
    // closes. A PrintPage gets the toolbar and the page buttons.
    void setPage(QWidget* page);
    QWidget* page() const { return m_page; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showPageNumber(int page);
    void print();
    void pageGone();

    Platform& m_platform;
    QToolBar* m_toolbar;
    QWidget* m_buttonRow;
    std::array<QPushButton*, MaxPageButtons> m_cmd1{};
    QScrollArea* m_area;
    QPointer<QWidget> m_page;
    bool m_closing = false;
};
