// Build tool: writes the given PNG pictures ("NAME-SIZE.png") into a C++
// source as premultiplied ARGB32 pixels (ToolbarPixels.h).
#include <cstdio>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: embed_pixels OUT.cpp NAME-SIZE.png...\n");
        return 2;
    }
    QString body, table;
    for (int i = 2; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        QImage image(path);
        if (image.isNull() || image.width() != image.height()) {
            std::fprintf(stderr, "embed_pixels: cannot read a square picture from %s\n", argv[i]);
            return 1;
        }
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
        const QString base = QFileInfo(path).completeBaseName(); // "save-24"
        const QString name = base.section(QLatin1Char('-'), 0, -2);
        const QString array = QLatin1String("p") + QString::number(i);
        body += QLatin1String("const uint32_t ") + array + QLatin1String("[] = {");
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
            body += QLatin1String("\n   ");
            for (int x = 0; x < image.width(); ++x)
                body += QLatin1String(" 0x") + QString::number(line[x], 16) + QLatin1Char(',');
        }
        body += QLatin1String("\n};\n");
        table += QLatin1String("    {\"") + name + QLatin1String("\", ") +
                 QString::number(image.width()) + QLatin1String(", ") + array +
                 QLatin1String("},\n");
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "embed_pixels: cannot write %s\n", argv[1]);
        return 1;
    }
    QTextStream s(&out);
    s << "// Made by embed_pixels from the toolbar's pictures; do not edit.\n"
         "#include \"readings/ToolbarPixels.h\"\n\nnamespace {\n"
      << body << "const ToolbarPixels pictures[] = {\n"
      << table
      << "};\n} // namespace\n\n"
         "std::span<const ToolbarPixels> ToolbarPictures() {\n    return pictures;\n}\n";
    return s.status() == QTextStream::Ok && out.flush() ? 0 : 1;
}
