#pragma once

#include <QDialog>

class Platform;
class QLabel;
class QPushButton;
class QTableView;
class StatementReviewModel;
class SubscriberTable;
struct StatementToReview;

// "Платежи из выписки": the incoming payments of a statement before they are
// written. The user ticks, unticks and chooses subscribers; "Записать в
// лицевые счета" accepts the dialog with the choices in `review`, "Отмена"
// rejects it. Nothing is written here.
class StatementReviewWindow final : public QDialog {
    Q_OBJECT
public:
    // folder: where the export proposes its file.
    StatementReviewWindow(const SubscriberTable& table, StatementToReview& review,
                          Platform& platform, const QString& folder, QWidget* parent = nullptr);

    StatementReviewModel& model() { return *m_model; }

private:
    void showTotals();
    void exportList();

    StatementToReview& m_review;
    Platform& m_platform;
    QString m_folder;
    StatementReviewModel* m_model = nullptr;
    QTableView* m_list = nullptr;
    QLabel* m_ticked = nullptr;
    QLabel* m_notWritten = nullptr;
    QLabel* m_stated = nullptr;
    QLabel* m_mismatch = nullptr;
};
