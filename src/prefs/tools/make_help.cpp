// Makes the user manual Help.pdf from the Markdown chapters of a folder:
//   make_help <manual folder> <output.pdf>
// Chapters are the *.md files in name order, each starting on a new page;
// pictures are taken relative to the folder.

#include <algorithm>
#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "make_help: %s\n", qPrintable(message));
    return 1;
}

QString readText(const QString& path, bool* ok) {
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    return *ok ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return fail(u"usage: make_help <manual folder> <output.pdf>"_s);
    const QDir folder(args.at(1));
    const QStringList chapters = folder.entryList({u"*.md"_s}, QDir::Files, QDir::Name);
    if (chapters.isEmpty())
        return fail(u"no chapters in "_s + folder.path());

    QTextDocument doc;
    QFont font(u"DejaVu Sans"_s);
    font.setPointSizeF(10.5);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);

    static const QRegularExpression picture(uR"(!\[[^\]]*\]\(([^)\s]+)\))"_s);
    QTextCursor cursor(&doc);
    for (int i = 0; i < chapters.size(); ++i) {
        bool ok = false;
        const QString markdown = readText(folder.filePath(chapters.at(i)), &ok);
        if (!ok)
            return fail(u"cannot read "_s + chapters.at(i));
        for (const auto& m : picture.globalMatch(markdown)) {
            const QString name = m.captured(1);
            QImage image(folder.filePath(name));
            if (image.isNull())
                return fail(u"cannot read the picture "_s + name + u" of "_s + chapters.at(i));
            doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
        }
        cursor.movePosition(QTextCursor::End);
        const int chapterStart = cursor.position();
        if (i > 0) {
            cursor.insertBlock();
        }
        cursor.insertMarkdown(markdown);
        if (i > 0) {
            // Every chapter after the first starts on a new page.
            QTextBlock first = doc.findBlock(chapterStart + 1);
            QTextCursor at(first);
            QTextBlockFormat format = first.blockFormat();
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            at.setBlockFormat(format);
        }
    }

    // Pictures wider than the text column are scaled down to it.
    const qreal maxWidth = 600;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = f.charFormat().toImageFormat();
            const QImage picture =
                doc.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
            const qreal scale = std::min<qreal>(1.0, maxWidth / picture.width());
            image.setWidth(picture.width() * scale);
            image.setHeight(picture.height() * scale);
            QTextCursor c(&doc);
            c.setPosition(f.position());
            c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(image);
        }
    }

    QPdfWriter writer(args.at(2));
    writer.setTitle(u"Остреванка 2.1 — руководство пользователя"_s);
    writer.setCreator(u"make_help"_s);
    writer.setResolution(300);
    // QTextDocument::print adds its own margins of 2 cm.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    doc.print(&writer);
    if (!QFileInfo(args.at(2)).isFile() || QFileInfo(args.at(2)).size() == 0)
        return fail(u"nothing written to "_s + args.at(2));
    return 0;
}
