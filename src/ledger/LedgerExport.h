#pragma once

#include <QString>

class Platform;
class SubscriberTable;
class WorkbookSheet;

// The ledger of one month of every subscriber as a worksheet: the two-level
// header, one row per subscriber, money as numbers.
WorkbookSheet LedgerSheet(const SubscriberTable& table, int yearIndex, int month);

// The file name the save dialog proposes, without extension.
QString LedgerExportName(int month, const QString& yearText);

// Asks for a file name and writes the sheet. Any failure, the cancelled
// dialog included, ends the export without a word. true when written.
bool ExportLedger(const SubscriberTable& table, const QString& yearText, int month,
                  const QString& folder, Platform& platform);
