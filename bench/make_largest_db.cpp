// Writes the largest database (501 subscribers, every year filled) into the
// given folder, for measuring the whole program on it. The years run from
// 2017 to LAST_YEAR: 2024 (the default) gives lines of 2513 fields, 2030 the
// second database with six later year blocks.
#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>
#include <QDir>

#include "BenchSupport.h"
#include "storage/DatabaseFile.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int lastYear = argc == 3 ? std::atoi(argv[2]) : 2024;
    if (argc < 2 || argc > 3 || lastYear < 2024 || lastYear > YearLayout::LastYear) {
        std::fprintf(stderr, "usage: make_largest_db FOLDER [LAST_YEAR 2024..2099]\n");
        return 2;
    }
    SubscriberTable table = MakeLargestTable(lastYear);
    const QString path = QDir(QString::fromLocal8Bit(argv[1])).filePath(DatabaseFile::FileName);
    if (!DatabaseFile::save(path, table)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
