#pragma once

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// The payment codes in a picture or a PDF, read back with zbarimg (and
// pdftoppm for the pages), as a bank's app would read them.
namespace QrDecode {

// Every code zbarimg finds in the picture, as UTF-8 texts. The bytes are
// taken as they are (no guessing of their character set); zbarimg writes the
// codes one after the other, each beginning with the format's header.
inline QStringList image(const QString& imagePath) {
    QProcess p;
    p.start(QStringLiteral("zbarimg"),
            {QStringLiteral("--nodbus"), QStringLiteral("-q"), QStringLiteral("--raw"),
             QStringLiteral("-Sbinary"), imagePath});
    p.waitForFinished(60000);
    // Exit code 4: no code in the picture.
    if (p.exitCode() != 0)
        return {};
    const QByteArray out = p.readAllStandardOutput();
    const QByteArray header = "ST00012|";
    QStringList codes;
    qsizetype from = out.indexOf(header);
    while (from >= 0) {
        const qsizetype next = out.indexOf(header, from + 1);
        codes << QString::fromUtf8(out.mid(from, next < 0 ? -1 : next - from)).trimmed();
        from = next;
    }
    return codes;
}

// The pages of a PDF as pictures in folder; the codes on each.
inline QList<QStringList> pdf(const QString& pdfPath, const QString& folder) {
    const QString prefix = folder + QStringLiteral("/page");
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
             QStringLiteral("-png"), pdfPath, prefix});
    p.waitForFinished(120000);
    QList<QStringList> pages;
    QDir dir(folder);
    for (const QString& f : dir.entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name))
        pages << image(dir.filePath(f));
    return pages;
}

// The fields a bank's app reads from a code, in order.
using Fields = QList<std::pair<QString, QString>>;

inline Fields split(const QString& payload) {
    Fields out;
    const QStringList parts = payload.split(u'|');
    if (parts.value(0) != QStringLiteral("ST00012"))
        return out;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype eq = parts[i].indexOf(u'=');
        out.append({parts[i].left(eq), parts[i].mid(eq + 1)});
    }
    return out;
}

} // namespace QrDecode
