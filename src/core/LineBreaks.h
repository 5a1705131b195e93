#pragma once

#include <QString>

// A cell never holds a line break: each CR goes with the character after it
// (the LF of a CR LF pair), and a lone LF goes too.
QString RemoveLineBreaks(const QString& text);
