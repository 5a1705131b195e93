#pragma once

#include <QWidget>

#include "core/AppState.h"
#include "core/Platform.h"

class QCheckBox;
class QComboBox;

// "Выбор месяца и года импорта": takes one month's readings of all
// subscribers from a workbook.
class ReadingsImportDialog final : public QWidget {
    Q_OBJECT
public:
    ReadingsImportDialog(AppState& state, Platform& platform, const QString& yearText,
                         QWidget* parent = nullptr);
    // The import of the button: asks, reads the chosen workbook, writes.
    void runImport();

signals:
    // The table changed: the main window refills and recomputes.
    void imported();
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppState& m_state;
    Platform& m_platform;
    QComboBox* m_month = nullptr;
    QComboBox* m_year = nullptr;
    QCheckBox* m_keepFilled = nullptr;
    QCheckBox* m_carry = nullptr;
};
