#pragma once

#include <QLockFile>
#include <QString>

// One program per database: a lock file beside it ("Ostrevanka21.spb.lock")
// held for the whole run. A lock left by a program that crashed or was killed
// is taken over.
class DatabaseLock final {
public:
    enum class Result {
        Taken,
        HeldByOther, // another running program has the database
        Failed,      // no lock file could be made (a folder that cannot be written)
    };

    // A lock file that names no owner is taken over once it is this old.
    static constexpr int UnreadableGraceSeconds = 10;

    explicit DatabaseLock(const QString& databasePath);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    static QString pathFor(const QString& databasePath);

    // Does not wait: the other program may run for hours.
    Result take();
    void release();
    bool isTaken() const;

private:
    QLockFile m_file;
};
