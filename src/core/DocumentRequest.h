#pragma once

#include <QString>

// One subscriber's document for a month: the receipt or the cash order of
// table row `row` for `month` (1..12) of `year`.
struct DocumentRequest {
    int row = 0;
    int month = 0;
    QString year;
};
