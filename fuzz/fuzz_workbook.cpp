// The workbook reader on arbitrary bytes written to a file: a damaged or
// foreign file gets an error status, never a crash or a hang.
#include <cstddef>
#include <cstdint>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "workbook/WorkbookReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One target per reader: the .xlsx one takes zip packages, the .xls one
    // compound documents.
#ifdef FUZZ_XLSX
    if (size < 2 || data[0] != 'P' || data[1] != 'K')
        return 0;
#else
    if (size < 4 || data[0] != 0xD0 || data[1] != 0xCF || data[2] != 0x11 || data[3] != 0xE0)
        return 0;
#endif
    static const QString path = QDir::temp().filePath(
        QStringLiteral("ost-fuzz-%1.bin").arg(QCoreApplication::applicationPid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    const WorkbookReadResult result = ReadWorkbook(path);
    if (result.ok())
        for (const auto& [cell, text] : result.cells)
            if (text.isEmpty() || cell.first < 0 || cell.second < 0)
                __builtin_trap();
    return 0;
}
