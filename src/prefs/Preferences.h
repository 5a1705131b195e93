#pragma once

#include <array>

class Settings;
struct AppState;

// The table colours of a first start: odd months, even months, focused cell
// (0x00BBGGRR, as stored).
inline constexpr std::array<int, 3> DefaultCellColors = {15137717, 16776960, 65535};

// "Color1".."Color3" from the shared colours, as decimal texts.
void StoreColors(const AppState& state, Settings& settings);
// The shared colours from "Color1".."Color3": a key not stored or holding
// no number gives its default, a key stored empty a colour of its own.
void LoadColors(AppState& state, const Settings& settings);
// "flPls" as the English word True or False whatever the user's language,
// "flPs" as 1 or 0.
void StoreLedgerPreferences(const AppState& state, Settings& settings);
// "flSave" as 1 or 0.
void StoreAutosave(bool on, Settings& settings);
