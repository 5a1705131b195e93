// The database loader on arbitrary bytes: it must refuse or load, never
// crash, and a loaded table must write and load back to the same cells.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "core/DatabaseFile.h"

namespace {

// What a cell reads back as: the writer keeps a lone LF as a space and the
// loader trims spaces (only spaces) at both ends of a field.
QString asWrittenAndRead(QString text) {
    text.replace(u'\n', u' ');
    qsizetype a = 0, b = text.size();
    while (a < b && text[a] == u' ')
        ++a;
    while (b > a && text[b - 1] == u' ')
        --b;
    return text.mid(a, b - a);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    SubscriberTable table;
    const auto result = DatabaseFile::parse(bytes, table);
    if (result.status != DatabaseFile::Status::Ok)
        return 0;
    DatabaseFile::cleanLineBreaks(table);
    const QByteArray written = DatabaseFile::serialize(table);
    SubscriberTable again;
    if (DatabaseFile::parse(written, again).status != DatabaseFile::Status::Ok ||
        again.subscriberCount() != table.subscriberCount())
        __builtin_trap();
    for (int r = 1; r <= table.subscriberCount(); ++r)
        for (int c = 1; c <= std::max(DatabaseFile::Separators, table.heldColumns(r)); ++c)
            if (again.cell(r, c) != asWrittenAndRead(table.cell(r, c)))
                __builtin_trap();
    return 0;
}
