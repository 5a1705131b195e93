#pragma once

// A combo box with this property set opens a plain scrolling list rather
// than the platform's popup; the program's style reads it.
inline constexpr char ListPopupProperty[] = "listPopup";
