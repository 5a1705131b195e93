#pragma once

#include <QList>
#include <QString>

// The header format strings of the directory grid: "|" separates the
// columns; each part starts with its alignment mark ("<" left, "^" centred)
// followed by the header text, spaces included. A column is as wide as its
// padded text.
enum class HeaderVariant {
    A, // after a delete
    B, // on opening and after an import
    C, // after adding
};

struct HeaderCell {
    QChar mark; // '<', '^' or '>'
    QString text;
};

QString HeaderFormatString(HeaderVariant variant);
QList<HeaderCell> ParseHeaderFormat(const QString& format);
