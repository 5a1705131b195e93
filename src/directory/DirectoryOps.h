#pragma once

#include <array>

#include <QList>
#include <QString>

#include "core/LineBreaks.h"

class SubscriberTable;

// The directory fields 2..6 of a subscriber: name, address, telephone,
// meter type, note.
using DirectoryFields = std::array<QString, 5>;

DirectoryFields FieldsOf(const SubscriberTable& table, int row);

// Find: the rows whose name (field 2) contains the text, ignoring case.
struct FindResult {
    QString needle; // the search text in lower case
    QList<int> rows;
    int firstRow() const { return rows.isEmpty() ? 0 : rows.first(); }
};
FindResult FindByName(const SubscriberTable& table, const QString& text);
QString FindMessageTitle(const FindResult& result);
QString FindMessageText(const FindResult& result);

// Delete: never row 1, never the only subscriber.
bool CanDelete(const SubscriberTable& table, int selRow);
QString DeleteQuestion(const SubscriberTable& table, int selRow);
// Moves every later subscriber up one row with all its data (each row keeps
// its own number in field 1) and lowers the count. false when not allowed.
bool DeleteSubscriber(SubscriberTable& table, int selRow);

// Editing texts.
QString TrimSpaces(const QString& text); // leading and trailing spaces only
QString ProperCase(const QString& text); // first letter of each word upper, the rest lower
// Whether rows 1..lastRow hold the name, ignoring case. An empty name never does.
bool NameExists(const SubscriberTable& table, const QString& name, int lastRow);

// Adding: pending subscribers are written past the count and counted only
// when committed.
enum class AddStatus { Added, EmptyName, TableFull };
AddStatus AddPending(SubscriberTable& table, int addedCount, const DirectoryFields& fields);
void CommitPending(SubscriberTable& table, int addedCount);

// Editing: the fields are stored as they stand.
void StoreEdit(SubscriberTable& table, int row, const DirectoryFields& fields);
