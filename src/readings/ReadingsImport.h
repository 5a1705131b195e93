#pragma once

class SubscriberTable;
struct WorkbookReadResult;

struct ReadingsImportOptions {
    int yearIndex = 0;
    int month = 1;          // 1..12
    bool keepFilled = true; // do not overwrite filled cells
    bool carry = true;      // carry the readings into the next month's previous ones
};

// Writes one month's readings from a sheet (A plot number, B T1, C T2; rows
// 1..subscriber count) into the subscribers whose address is that plot
// number, carries them into the next month if asked, and stores the month's
// charge of every subscriber.
void ApplyReadingsImport(SubscriberTable& table, const WorkbookReadResult& sheet,
                         const ReadingsImportOptions& options);
// The import's own charge: the first coefficient taken as a percentage added
// to both registers, rounded to 2 decimals.
double ImportCharge(const SubscriberTable& table, int row, int yearIndex, int month);
