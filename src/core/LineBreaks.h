#pragma once

#include <QString>

// A cell never holds a line break: each CR goes with the character after it
// (the LF of a CR LF pair; a CR at the end goes alone), and a lone LF becomes
// a space. The same whether a cell is left or the table is saved, so a
// multi-line note reads the same either way.
QString RemoveLineBreaks(const QString& text);
