#pragma once

#include "DatabaseFile.h"

class Platform;

// After a load that failed on a damaged file (its messages shown): offers the
// newest safety copy that loads and, on Yes, keeps the damaged file under its
// timestamped name and puts the copy in place. true when the database file
// should be loaded again; false: nothing was changed, end as before.
bool OfferSafetyCopy(const QString& databasePath, DatabaseFile::Status status, Platform& platform);
