#pragma once

#include <array>

#include <QWidget>

#include "OrderContent.h"
#include "core/DocumentRequest.h"

class Platform;
class SubscriberTable;
class QCheckBox;
class QLineEdit;
class QPushButton;

// The cash receipt order "Ордер" of one subscriber for one month, on the KO-1
// blank, shown in the print frame. Every label can be corrected in place before printing; the
// organisation, the number, the basis texts and the signatories are kept
// when the window closes; the VAT choice ("без НДС") as soon as it is made.
class CashOrderWindow final : public QWidget {
    Q_OBJECT
public:
    CashOrderWindow(const SubscriberTable& table, Platform& platform,
                    const DocumentRequest& request, QWidget* parent = nullptr);

    QString label(int i) const;
    // The label under the in-place editor, or -1 when it is hidden.
    int editedLabel() const { return m_edited; }
    // Where label i lies in the window, in pixels.
    static QRect labelGeometry(int i);

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startEdit(int i);
    void commitEdit(bool goOn);
    void cancelEdit();
    void print();
    void setVatMode(VatMode mode);

    Platform& m_platform;
    std::array<QString, OrderLayout::Labels> m_labels;
    QLineEdit* m_editor;
    QPushButton* m_print;
    QCheckBox* m_noVat;
    QString m_total;
    QDate m_date;
    int m_edited = -1;
};
