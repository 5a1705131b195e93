// Writes the largest database (501 subscribers, every year filled) into the
// given folder, for measuring the whole program on it.
#include <cstdio>

#include <QCoreApplication>
#include <QDir>

#include "BenchSupport.h"
#include "core/DatabaseFile.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_largest_db FOLDER\n");
        return 2;
    }
    SubscriberTable table = MakeLargestTable();
    const QString path = QDir(QString::fromLocal8Bit(argv[1])).filePath(DatabaseFile::FileName);
    if (!DatabaseFile::save(path, table)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
