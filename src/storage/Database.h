#pragma once

#include <functional>

#include <QDate>
#include <QObject>
#include <QString>

#include "storage/Backup.h"
#include "storage/DatabaseFile.h"
#include "storage/DatabaseLock.h"
#include "storage/PaymentJournal.h"

class DatabasePrefetch;
class Platform;
class QTimer;
class SubscriberTable;

// The database's life in one place: its file, the lock, whether the table
// has changed, the day's safety copy, saves, backups, restores, the recovery
// of a damaged file and when the autosave writes. Windows ask it; nothing
// else writes the database file. Messages it gives itself are those of the
// copies, the lock and the start-up load; the rest its callers choose.
class Database final : public QObject {
    Q_OBJECT
public:
    Database(SubscriberTable& table, Platform& platform, const QString& path,
             QObject* parent = nullptr);
    ~Database() override;

    const QString& path() const { return m_path; }

    // The lock, taken by the caller (on whatever thread) before open().
    DatabaseLock& lock() { return m_lock; }
    // After lock().take(): asks whether a lock of another computer may be
    // taken over, tells that another program has the database. Whether the
    // program may go on (a lock that cannot be made at all does not keep the
    // user from the data).
    bool mayGoOn(DatabaseLock::Result taken);
    void releaseLock() { m_lock.release(); }

    // Loads the file into the table at start-up: offers to make a missing
    // file, tells a damaged one and offers its newest usable safety copy.
    // Resets the changed state and starts the autosave if the settings have
    // it on. prefetch: the read started before the window was built.
    enum class Opened { Loaded, Created, Failed };
    Opened open(DatabasePrefetch* prefetch = nullptr);

    // The payments written from bank statements: the journal X.pay beside
    // the database X.spb, read by open() and written by a save, when it
    // changed, with the table (JournalFile.h). Backups, safety copies,
    // restores and recoveries take it along. Journals a restore set aside
    // still count as loaded. A journal that cannot be read at open() is
    // renamed and told; when it cannot even be renamed, no save writes over
    // it (a save with a changed journal fails).
    PaymentJournal& journal() { return m_journal; }
    const std::vector<PaymentJournal>& setAsideJournals() const { return m_setAside; }

    // The table holds what the file does not yet.
    void markChanged() { m_changed = true; }
    bool isChanged() const { return m_changed; }
    // A restore has put another file in place: nothing writes it again.
    bool endedByRestore() const { return m_endedByRestore; }

    // Every write of the table to the file goes through here: the day's
    // safety copy first, then the atomic save. A save short of room right
    // after this run's copy takes the copy back and is tried once more.
    // After a restore nothing is written, and that is no failure.
    bool save(const DatabaseFile::SaveFileFactory& makeFile = {});
    // The same, telling the user when it failed.
    bool saveOrTell();

    // The table written to `path` in the database format, the journal beside
    // it; the table and the database file are left as they are.
    Backup::Result backupTo(const QString& path);

    // What a restore came to.
    struct Restored {
        // The chosen file's check or, once it passed, the replacement's write.
        Backup::Result result;
        // Not confirmed, or the copy kept before it could not be made (told):
        // nothing changed.
        bool declined = false;
        bool ok() const { return result.ok() && !declined; }
    };
    // Checks the chosen file and, if it is sound and `confirm` says so, keeps
    // the table as it is in memory among the safety copies and puts the file
    // in place of the database (version 1.0: converted). The journal beside
    // the chosen file replaces the current one; without one, the current
    // journal is set aside as "<X.pay>.before-restore-YYYYMMDD-HHMMSS" and a
    // new one starts. Once done, this run never writes the database again
    // and the autosave stops.
    Restored restoreFrom(const QString& path, const std::function<bool()>& confirm);
    Restored restoreFromVersion10(const QString& path, const std::function<bool()>& confirm);

    // The autosave: while on, the table is written, if it changed, every two
    // minutes, as one minute of waiting and then one to the write.
    static constexpr int AutosaveStepMs = 60000;
    bool autosave() const { return m_autosave; }
    void setAutosave(bool on);
    // The window closes: no more autosaves until the next open().
    void stopAutosave();
    // The two chained timers' steps; public so they can be driven.
    void onAutosaveWaitOver();
    void onAutosaveDue();

private:
    Restored restore(const Backup::Source& source, bool version10,
                     const std::function<bool()>& confirm);
    // At open: the journal and those set aside.
    void readJournals();
    void keepUnreadableJournal(const QString& path, const QString& detail);
    // Takes the day's copy unless this run has; a failure is told once.
    void takeDailyCopy(const DatabaseFile::SaveFileFactory& makeFile = {});
    // The table as it is, unsaved changes included, among the copies before
    // a restore; false, after telling why, when it could not be made.
    bool keepTableBeforeRestore();
    // A failed copy is told once per run: it is tried again on the next save.
    void warnCopyOnce(const QString& reason);

    SubscriberTable& m_table;
    Platform& m_platform;
    PaymentJournal m_journal;
    std::vector<PaymentJournal> m_setAside;
    // The journal as its file holds it; a save writes the file when it differs.
    QByteArray m_journalSaved;
    bool m_journalBlocked = false;
    QString m_path;
    DatabaseLock m_lock;
    bool m_changed = false;
    // The day whose copy is in place, the copy this run made (the one a save
    // short of room may take back), whether a failed copy has been told.
    QDate m_copyDay;
    QString m_copyMade;
    bool m_copyWarned = false;
    bool m_endedByRestore = false;
    bool m_autosave = true;
    QTimer* m_due = nullptr;  // the write, a step after the wait
    QTimer* m_wait = nullptr; // the first step
};
