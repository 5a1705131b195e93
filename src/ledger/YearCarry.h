#pragma once

#include <optional>

#include <QString>

class OfferedYears;
class Platform;
class SubscriberTable;

// The offered year after the given one, or none for the last offered year and
// texts not offered.
std::optional<int> NextYearIndex(const OfferedYears& offered, const QString& yearText);

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
