#pragma once

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QWidget>

// What a printed PDF holds, read back with poppler's tools.
namespace PdfInspect {

// The text of the PDF with runs of white space made single spaces.
inline QString text(const QString& pdfPath) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdfPath, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

// True when the first page is wider than high.
inline bool isLandscape(const QString& pdfPath) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdfPath});
    p.waitForFinished(30000);
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString& line : info.split(u'\n')) {
        if (!line.startsWith(QStringLiteral("Page size:")))
            continue;
        const QStringList parts = line.simplified().split(u' ');
        // "Page size: 841.89 x 595.276 pts (A4)"
        if (parts.size() >= 5)
            return parts[2].toDouble() > parts[4].toDouble();
    }
    return false;
}

// Saves a picture of the widget when OST_SCREENSHOTS names a folder.
inline void screenshot(QWidget& widget, const QString& fileName) {
    const QString dir = qEnvironmentVariable("OST_SCREENSHOTS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    widget.grab().save(dir + u'/' + fileName);
}

// Keeps a copy of a printed PDF when OST_SCREENSHOTS names a folder.
inline void keepPdf(const QString& pdfPath, const QString& fileName) {
    const QString dir = qEnvironmentVariable("OST_SCREENSHOTS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QFile::remove(dir + u'/' + fileName);
    QFile::copy(pdfPath, dir + u'/' + fileName);
}

} // namespace PdfInspect
