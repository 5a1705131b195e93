#pragma once

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

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
