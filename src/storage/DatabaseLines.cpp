#include "DatabaseLines.h"

#include "core/SubscriberTable.h"

DatabaseFile::Status LineStatus(int lineNo, qsizetype separators, int needed) {
    using Status = DatabaseFile::Status;
    if (lineNo > SubscriberTable::MaxRow)
        return Status::TooManyLines;
    // A field the table has no column for would be lost on the next save.
    if (separators < needed || separators > SubscriberTable::MaxCol)
        return Status::FormatError;
    return Status::Ok;
}
