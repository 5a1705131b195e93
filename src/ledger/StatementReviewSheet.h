#pragma once

#include <QString>

class Platform;
class StatementReviewModel;
class WorkbookSheet;

// The review's list as a worksheet: the title, the columns as the window
// shows them after "Записать" ("да" for a ticked row), one row a payment,
// then the totals; sums are numbers in rubles.
WorkbookSheet StatementReviewSheet(const StatementReviewModel& model, const QString& title);

// Proposes "<title>.xlsx" in the folder and writes the list; false when
// cancelled or failed (a failed write is told to the user).
bool ExportStatementReview(const StatementReviewModel& model, const QString& title,
                           const QString& folder, Platform& platform);
