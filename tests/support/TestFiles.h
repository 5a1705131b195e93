#pragma once

#include <algorithm>
#include <map>

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include "core/Cp1251.h"
#include "storage/DatabaseFile.h"

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file under a folder with its bytes: "nothing changed" is this, equal.
inline std::map<QString, QByteArray> snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    const auto entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& e : entries) {
        if (e.isDir()) {
            for (auto& [name, bytes] : snapshot(e.filePath()))
                files[e.fileName() + u'/' + name] = bytes;
        } else {
            files[e.fileName()] = readFile(e.filePath());
        }
    }
    return files;
}

// A file as if last written at `modified` (a lock left days ago, say).
inline bool writeFileAt(const QString& path, const QByteArray& bytes, const QDateTime& modified) {
    QFile f(path);
    // Flushed before the time is set: a later write would reset it.
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush() &&
           f.setFileTime(modified, QFileDevice::FileModificationTime);
}

// A disk that is full: nothing can be written.
class FullDiskFile final : public QSaveFile {
public:
    using QSaveFile::QSaveFile;

protected:
    qint64 writeData(const char*, qint64) override { return -1; }
};

// Stands for a disk that fills up or a device that fails part-way: `budget`
// bytes are written, then nothing.
class FailingSaveFile final : public QSaveFile {
public:
    FailingSaveFile(const QString& name, qint64 budget) : QSaveFile(name), m_budget(budget) {}

protected:
    qint64 writeData(const char* data, qint64 len) override {
        if (m_budget <= 0)
            return -1;
        const qint64 n = QSaveFile::writeData(data, std::min(len, m_budget));
        if (n > 0)
            m_budget -= n;
        return n;
    }

private:
    qint64 m_budget;
};

// Notes the largest piece handed to the file at once.
class RecordingSaveFile final : public QSaveFile {
public:
    RecordingSaveFile(const QString& name, qint64* largest) : QSaveFile(name), m_largest(largest) {}

protected:
    qint64 writeData(const char* data, qint64 len) override {
        *m_largest = std::max(*m_largest, len);
        return QSaveFile::writeData(data, len);
    }

private:
    qint64* m_largest;
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
