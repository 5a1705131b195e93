#pragma once

#include <optional>

#include <QString>

class Platform;
class SubscriberTable;

// The year after the given one, or none for the last year and unknown texts.
std::optional<int> NextYearIndex(const QString& yearText);

// Carrying December's current readings of a year into January's previous
// readings of the next year, for every subscriber.
struct ReadingsCarry {
    bool carried = false;
    QString title; // empty: nothing to say (the year text is unknown)
    QString text;
};
ReadingsCarry CarryReadings(SubscriberTable& table, const QString& yearText);
// The menu command: carries and shows the outcome.
void CarryReadingsAndTell(SubscriberTable& table, const QString& yearText, Platform& platform);
