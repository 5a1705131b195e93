// The database loader on arbitrary bytes: it must refuse or load, never
// crash, and a loaded table must write and load back to the same cells. The
// check fed in pieces decides as the loader does, and the streamed save
// writes what serialize() gives for the cleaned table.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include <QBuffer>
#include <QByteArray>

#include "storage/DatabaseCheck.h"
#include "storage/DatabaseFile.h"
#include "core/YearLayout.h"

namespace {

// What a cell reads back as: the writer writes a lone LF as a space and the
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

bool same(const DatabaseFile::LoadResult& a, const DatabaseFile::LoadResult& b) {
    return a.status == b.status && a.badLine == b.badLine && a.lineCount == b.lineCount;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype piece = size ? 1 + data[size - 1] % 64 : 1;
    DatabaseCheck check(DatabaseFile::Separators);
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        check.feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
    const auto checked = check.finish();
    if (!same(checked, DatabaseFile::check(bytes, DatabaseFile::Separators)))
        __builtin_trap();
    SubscriberTable table;
    const auto result = DatabaseFile::parse(bytes, table);
    if (!same(result, checked))
        __builtin_trap();
    if (result.status != DatabaseFile::Status::Ok)
        return 0;
    SubscriberTable streamed(table);
    DatabaseFile::cleanLineBreaks(table);
    const QByteArray written = DatabaseFile::serialize(table);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    if (!DatabaseFile::write(out, streamed, piece * 97) || out.data() != written)
        __builtin_trap();
    for (int r = 1; r <= table.subscriberCount(); ++r)
        for (int c = 1; c <= std::max(table.heldColumns(r), streamed.heldColumns(r)); ++c)
            if (streamed.cell(r, c) != table.cell(r, c))
                __builtin_trap();
    SubscriberTable again;
    if (DatabaseFile::parse(written, again).status != DatabaseFile::Status::Ok ||
        again.subscriberCount() != table.subscriberCount())
        __builtin_trap();
    // Later years holding nothing but zero charges are left out.
    const int fields = YearLayout::LastStoredColumn(table);
    for (int r = 1; r <= table.subscriberCount(); ++r)
        for (int c = 1; c <= std::max(DatabaseFile::Separators, table.heldColumns(r)); ++c)
            if (again.cell(r, c) != (c <= fields ? asWrittenAndRead(table.cell(r, c)) : QString()))
                __builtin_trap();
    return 0;
}
