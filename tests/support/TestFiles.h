#pragma once

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include "core/Cp1251.h"
#include "core/DatabaseFile.h"

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A disk that is full: nothing can be written.
class FullDiskFile final : public QSaveFile {
public:
    using QSaveFile::QSaveFile;

protected:
    qint64 writeData(const char*, qint64) override { return -1; }
};

// A database of `count` subscribers whose names tell the version apart.
inline QByteArray TaggedDatabase(const QString& tag, int count = 2) {
    QByteArray out;
    for (int r = 1; r <= count; ++r) {
        QString line = QString::number(r) + u'|' + tag + u'|';
        line += QString(DatabaseFile::Separators - 2, u'|');
        out += Cp1251::encode(line) + "\r\n";
    }
    return out;
}
