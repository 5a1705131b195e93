#pragma once

#include <QString>

class Platform;

// Warns before a text with characters that have no Windows-1251 form is
// stored (the file keeps them as "?"). Says nothing for a storable text.
void WarnIfNotStorable(Platform& platform, const QString& text);
