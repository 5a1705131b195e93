#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// What `bytes` take on a tmpfs, in whole pages.
constexpr qint64 Page = 4096;
inline qint64 inPages(qint64 bytes) {
    return (bytes + Page - 1) / Page * Page;
}

// A folder on a tmpfs of its own, `bytes` large: a disk that really fills
// up. Mounting needs root; a test skips when mounted() is false.
class TmpfsFolder {
public:
    explicit TmpfsFolder(qint64 bytes) {
        m_mounted =
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               sizeOption(bytes), QStringLiteral("tmpfs"), m_dir.path()}) == 0;
    }
    ~TmpfsFolder() {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
    }
    TmpfsFolder(const TmpfsFolder&) = delete;
    TmpfsFolder& operator=(const TmpfsFolder&) = delete;

    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // Room made, or taken, while the files stay.
    bool resize(qint64 bytes) {
        return QProcess::execute(QStringLiteral("mount"),
                                 {QStringLiteral("-o"),
                                  QStringLiteral("remount,") + sizeOption(bytes), m_dir.path()}) ==
               0;
    }

private:
    static QString sizeOption(qint64 bytes) {
        return QStringLiteral("size=") + QString::number(inPages(bytes));
    }

    QTemporaryDir m_dir;
    bool m_mounted = false;
};
