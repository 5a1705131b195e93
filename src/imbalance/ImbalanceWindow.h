#pragma once

#include <array>

#include <QPointer>
#include <QWidget>

#include "imbalance/ImbalanceMath.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
struct ChartModuleApi;
struct AppState;
class Platform;

// "Разбаланс": the head meter's readings of one year and how far the
// subscribers' meters fall short of them. Not modal. The year is given at
// construction (a year not offered: the first one) and stays fixed; closing
// writes the 48 head-meter boxes back into that year and then emits closed().
class ImbalanceWindow final : public QWidget {
    Q_OBJECT
public:
    ImbalanceWindow(AppState& state, Platform& platform, const QString& yearText,
                    QWidget* parent = nullptr);
    ~ImbalanceWindow() override;

    // Brings the window kept in `slot` forward, or makes one for `yearText`
    // (deleted when it closes, which clears the slot) when there is none.
    static ImbalanceWindow* showSingle(QPointer<ImbalanceWindow>& slot, AppState& state,
                                       Platform& platform, const QString& yearText,
                                       QWidget* parent = nullptr);

    int yearIndex() const { return m_year; }
    const ImbalanceResults& results() const { return m_results; }
    HeadMeterTexts headMeterTexts() const;

    // Recomputes the results from the boxes and the table.
    void computeImbalance();
    // The export button: asks for a file name and writes the workbook.
    void exportWorkbook();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildHeadings();
    void buildRows();
    void applyRowColours();
    void setBoxColour(QLineEdit* box, const QColor& colour);
    QColor monthColour(int month) const; // month 1..12
    QColor tableColour(int index) const;
    // A point is the decimal comma; a "|" is refused.
    void onBoxTextChanged(QLineEdit* box);
    void leaveInput(int month, int k);
    void setChartShown(bool shown);

    AppState& m_state;
    Platform& m_platform;
    int m_year = 0;
    ImbalanceResults m_results;

    QLabel* m_lbYear = nullptr;
    QPushButton* m_cmd6 = nullptr;
    QLabel* m_hint = nullptr;
    QPushButton* m_cmdChart = nullptr;
    const ChartModuleApi* m_charts = nullptr;
    QWidget* m_chart = nullptr; // the module's chart, or why there is none
    // [month 0..11][k 0..3] = txt<m>(k + 1)
    std::array<std::array<QLineEdit*, 4>, 12> m_in{};
    // [row 0..12][column] = txtR<row + 1>(column); the total row has no 6 and 7
    std::array<std::array<QLineEdit*, ImbCol::Count>, ImbalanceResults::Rows> m_out{};
    std::array<QFrame*, 12> m_shapes{};
};
