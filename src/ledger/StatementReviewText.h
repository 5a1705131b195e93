#pragma once

#include <QString>
#include <QStringList>

#include "StatementReviewModel.h"

struct StatementToReview;

// The lines above the review's list: the file, the account and period, the
// balances and the counts.
QStringList StatementReviewHeader(const StatementToReview& review);

// The lines under the list.
struct StatementReviewTotalsText {
    QString ticked;     // what "Записать в лицевые счета" writes
    QString notWritten; // every other incoming payment
    QString stated;     // the statement's own total beside the sum of its documents
    QString mismatch;   // the difference when there is one; empty otherwise
};
StatementReviewTotalsText StatementReviewTotals(const StatementReviewModel::Totals& totals);
