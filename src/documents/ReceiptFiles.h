#pragma once

#include <vector>

#include <QString>
#include <QStringList>

class SubscriberTable;

// One subscriber's receipt of a month as a file of its own.
struct ReceiptFile {
    int row = 0;
    QString fileName;
};

// The receipt files of month 1..12 of yearText: one for every subscriber with
// something to pay, in row order, named "<участок> <Фамилия И. О.> <Месяц
// ГГГГ>.pdf". A name that an earlier subscriber's file already has (letter
// case aside, as Windows compares names) gets " (2)", " (3)"... so that no
// receipt replaces another.
std::vector<ReceiptFile> MonthReceiptFiles(const SubscriberTable& table, int month,
                                           const QString& yearText);

// The names of `files` that are already in folder.
QStringList ExistingReceiptFiles(const QString& folder, const std::vector<ReceiptFile>& files);
