#pragma once

#include <array>

#include <QDate>
#include <QString>

#include "SubscriberTable.h"

// What the windows share beside the table. Owned by the application object
// and handed to every window by reference.
struct AppState {
    SubscriberTable table;

    // The folder of the database, where dialogs propose their files.
    QString programFolder;

    // Colours of the month rows: odd months, even months, focused cell;
    // 0x00BBGGRR numbers as stored in the settings.
    std::array<int, 3> cellColors = {15137717, 16776960, 65535};
    bool flPls = true; // ledger: Enter moves down (true) or right
    bool flPs = true;  // ledger: highlight the clicked row
};

// Converts between the stored 0x00BBGGRR colours and 0x00RRGGBB.
constexpr int BgrToRgb(int bgr) {
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}
constexpr int RgbToBgr(int rgb) {
    return BgrToRgb(rgb);
}
