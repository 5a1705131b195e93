#pragma once

#include <QString>

class SubscriberTable;

// The name of a PDF made for one subscriber, so that the files of a month sort
// by plot and tell whose they are: "<участок> <Фамилия И. О.> <period>[ <what>].pdf".
// The characters Windows refuses in a name become "_", so the files open
// there too.
QString MemberFileName(const SubscriberTable& table, int row, const QString& period,
                       const QString& what = {});
