#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>

// One program per database: a lock file beside it ("Ostrevanka21.spb.lock")
// held for the whole run. A lock left by a program that crashed or was killed
// on this computer is taken over; one written on another computer (a folder
// on a flash drive or a network share) only once the user says so.
class DatabaseLock final {
public:
    enum class Result {
        Taken,
        HeldByOther,   // another running program on this computer has the database
        HeldElsewhere, // the lock was written on another computer: see holder()
        Failed,        // no lock file could be made (a folder that cannot be written)
    };

    // Who wrote a lock found on another computer's behalf.
    struct Holder {
        QString computer;
        QDateTime since; // local time
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
    // After take() gave HeldElsewhere.
    Holder holder() const { return m_holder; }
    // Removes another computer's lock and takes it, once the user has made
    // sure the program does not run there: nothing on this side can tell.
    Result takeOver();
    void release();
    bool isTaken() const;

private:
    QLockFile m_file;
    Holder m_holder;
};
