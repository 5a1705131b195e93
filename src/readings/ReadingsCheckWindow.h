#pragma once

#include <array>

#include <QWidget>

#include "core/AppState.h"
#include "core/Platform.h"
#include "readings/ReadingsCheck.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;
class ReadingsCheckModel;

// "Проверка показаний": the findings of the readings check for one year (the
// one the main window shows), filtered by kind. Reads the table only.
class ReadingsCheckWindow final : public QWidget {
    Q_OBJECT
public:
    ReadingsCheckWindow(AppState& state, Platform& platform, const QString& yearText,
                        QWidget* parent = nullptr);
    ~ReadingsCheckWindow() override;

    // Checks the year again, keeping the selected line where it still is.
    void refresh(const QString& yearText);
    void print();
    void exportList();
    QString yearText() const { return m_yearText; }
    ReadingsCheckModel* model() const { return m_model; }
    QTableView* view() const { return m_view; }

signals:
    // A line was double-clicked: show this cell in the main window.
    void cellRequested(int row, const QString& yearText, int month, int slot);
    // Coming back from the main window, say: the readings may have been
    // corrected and the main window may show another year; answered by refresh.
    void becameActive();
    void closed();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void updateCounts();
    void onActivated(const QModelIndex& index);

    AppState& m_state;
    Platform& m_platform;
    QString m_yearText;
    ReadingsCheckModel* m_model = nullptr;
    QTableView* m_view = nullptr;
    QLabel* m_year = nullptr;
    std::array<QCheckBox*, FindingKindCount> m_kinds{};
    std::array<QLabel*, FindingKindCount> m_counts{};
};
