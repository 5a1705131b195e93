#pragma once

#include <QString>

// A month of one year that a window asks another to show, as the year
// selectors name it: {"2019", 3} is March 2019.
struct MonthRequest {
    QString year;
    int month = 0; // 1..12
};
