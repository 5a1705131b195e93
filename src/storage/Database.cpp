#include "Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QTimer>

#include "core/Platform.h"
#include "core/Settings.h"
#include "core/SubscriberTable.h"
#include "storage/DatabasePrefetch.h"
#include "storage/JournalFile.h"
#include "storage/RecoveryOffer.h"
#include "storage/SafetyCopies.h"
#include "storage/SaveFailed.h"

using namespace Qt::StringLiterals;

namespace {

QString reasonOf(const SafetyCopies::Result& r) {
    const QString path = QDir::toNativeSeparators(r.path);
    const QString detail = r.detail.isEmpty() ? QString() : u" ("_s + r.detail + u')';
    switch (r.error) {
    case SafetyCopies::Error::FolderNotMade:
        return u"не удалось создать папку "_s + path;
    case SafetyCopies::Error::ReadFailed:
        return u"не удалось прочитать файл "_s + path + detail;
    case SafetyCopies::Error::DatabaseDamaged:
        return u"файл базы "_s + path + u" на диске повреждён"_s;
    case SafetyCopies::Error::WriteFailed:
        return u"не удалось записать файл "_s + path + detail;
    case SafetyCopies::Error::NoRoom:
        return u"на диске не хватает места для копии вместе с файлом базы"_s;
    case SafetyCopies::Error::None:
        break;
    }
    return {};
}

// Counts the bytes written to it and keeps none.
class ByteCounter final : public QIODevice {
public:
    ByteCounter() { open(QIODevice::WriteOnly); }
    qint64 count = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override {
        count += len;
        return len;
    }
};

qint64 savedSize(SubscriberTable& table) {
    ByteCounter counter;
    DatabaseFile::write(counter, table);
    return counter.count;
}

const QString Title = u"Остреванка 2.1"_s;

} // namespace

Database::Database(SubscriberTable& table, Platform& platform, const QString& path, QObject* parent)
    : QObject(parent), m_table(table), m_platform(platform), m_path(path), m_lock(path) {
    m_due = new QTimer(this);
    m_due->setObjectName(u"Timer1"_s);
    m_due->setInterval(AutosaveStepMs);
    m_wait = new QTimer(this);
    m_wait->setObjectName(u"Timer2"_s);
    m_wait->setInterval(AutosaveStepMs);
    connect(m_due, &QTimer::timeout, this, &Database::onAutosaveDue);
    connect(m_wait, &QTimer::timeout, this, &Database::onAutosaveWaitOver);
}

Database::~Database() = default;

// ---------------------------------------------------------------- lock

bool Database::mayGoOn(DatabaseLock::Result taken) {
    if (taken == DatabaseLock::Result::HeldElsewhere) {
        const DatabaseLock::Holder holder = m_lock.holder();
        const QString text =
            u"Программа уже работает с этой базой на компьютере %1 с %2.\n\n"
            u"Если там программа уже закрыта (компьютер выключили или программа прервалась, не "
            u"закрыв базу), базу можно открыть здесь. Сначала убедитесь, что на компьютере %1 "
            u"программа не запущена: две программы с одной базой затирают изменения друг "
            u"друга.\n\n"
            u"Открыть базу на этом компьютере?"_s.arg(holder.computer,
                                                      holder.since.toString(u"dd.MM.yyyy HH:mm"_s));
        if (m_platform.message(text, Title, MsgIcon::Warning, MsgButtons::YesNo, MsgAnswer::No) !=
            MsgAnswer::Yes)
            return false;
        taken = m_lock.takeOver();
    }
    if (taken == DatabaseLock::Result::Taken || taken == DatabaseLock::Result::Failed)
        return true;
    m_platform.message(u"Программа уже работает с этой базой. Закройте её и запустите снова."_s,
                       Title, MsgIcon::Warning, MsgButtons::Ok);
    return false;
}

// ---------------------------------------------------------------- start-up

Database::Opened Database::open(DatabasePrefetch* prefetch) {
    stopAutosave();
    m_changed = false;
    JournalFile::settle(m_path);
    bool created = false;
    const QString shown = QDir::toNativeSeparators(m_path);
    for (;;) {
        const auto result =
            prefetch ? prefetch->load(m_path, m_table) : DatabaseFile::load(m_path, m_table);
        using S = DatabaseFile::Status;
        switch (result.status) {
        case S::Ok:
            readJournals();
            setAutosave(m_platform.settings().flag(u"Nastr"_s, u"flSave"_s));
            return created ? Opened::Created : Opened::Loaded;
        case S::NotFound:
            if (m_platform.message(u"Файл базы Ostrevanka21.spb не найден, хотите создать новый?"_s,
                                   u"Создать новый файл бызы?"_s, MsgIcon::Warning,
                                   MsgButtons::YesNo, MsgAnswer::Yes) != MsgAnswer::Yes)
                return Opened::Failed;
            created = true;
            if (!DatabaseFile::createNew(m_path, m_table)) {
                TellSaveFailed(m_platform);
                m_platform.message(u"Ошибка при открытии файла базы"_s, QString(), MsgIcon::None,
                                   MsgButtons::Ok);
                return Opened::Failed;
            }
            continue; // load again from the start
        case S::Empty:
            m_platform.message(u"ФАЙЛ БАЗЫ   "_s + shown + u"   ПУСТОЙ!"_s, u"Ошибка загрузки"_s,
                               MsgIcon::Critical, MsgButtons::Ok);
            break;
        case S::FormatError:
            m_platform.message(u"Строка № "_s + QString::number(result.badLine) + u"   файла "_s +
                                   shown + u"  Содержит ошибку!"_s,
                               u"Ошибка формата файла"_s, MsgIcon::Critical, MsgButtons::Ok);
            break;
        default:
            break;
        }
        m_platform.message(u"Ошибка при открытии файла базы"_s, QString(), MsgIcon::None,
                           MsgButtons::Ok);
        if (OfferSafetyCopy(m_path, result.status, m_platform))
            continue; // a safety copy is in place of the damaged file
        return Opened::Failed;
    }
}

void Database::readJournals() {
    m_setAside.clear();
    for (const QString& path : JournalFile::setAsidePaths(m_path)) {
        const JournalFile::Read r = JournalFile::read(path);
        if (r.bytes)
            m_setAside.push_back(PaymentJournal::fromBytes(*r.bytes));
    }
    const QString path = JournalFile::pathFor(m_path);
    const JournalFile::Read r = JournalFile::read(path);
    m_journalBlocked = false;
    if (!r.ok)
        keepUnreadableJournal(path, r.detail);
    m_journal = PaymentJournal::fromBytes(r.bytes.value_or(QByteArray()));
    m_journalSaved = m_journal.toBytes();
}

void Database::keepUnreadableJournal(const QString& path, const QString& detail) {
    const QString kept = path + u".unreadable-"_s + m_platform.now().toString(u"yyyyMMdd-HHmmss"_s);
    const QString told = u"Не удалось прочитать журнал платежей "_s +
                         QDir::toNativeSeparators(path) + u" ("_s + detail + u")."_s;
    if (!QFileInfo::exists(kept) && QFile::rename(path, kept)) {
        m_platform.message(told + u" Он переименован в "_s + QFileInfo(kept).fileName() +
                               u" и начат новый журнал: платежи, записанные из выписок банка "
                               u"раньше, при загрузке выписки не будут узнаны как уже "
                               u"загруженные."_s,
                           Title, MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    // Writing a new journal would lose the one that is there.
    m_journalBlocked = true;
    m_platform.message(told + u" Пока он не исправлен, платежи из выписок банка не записываются."_s,
                       Title, MsgIcon::Warning, MsgButtons::Ok);
}

// ---------------------------------------------------------------- save

void Database::warnCopyOnce(const QString& reason) {
    if (m_copyWarned)
        return;
    m_copyWarned = true;
    m_platform.message(u"Не удалось сохранить страховую копию базы: "_s + reason, QString(),
                       MsgIcon::Warning, MsgButtons::Ok);
}

void Database::takeDailyCopy(const DatabaseFile::SaveFileFactory& makeFile) {
    const QDate today = m_platform.now().date();
    if (m_copyDay == today)
        return;
    // The new files will be about the size of those on disk, and are written
    // beside them before they take their place.
    const qint64 fileBytes = QFileInfo(m_path).size() + JournalFile::sizeFor(m_path);
    const SafetyCopies::Result r =
        SafetyCopies::takeDaily(m_path, today, makeFile, SafetyCopies::ReadChunk, fileBytes);
    if (r.ok()) {
        m_copyDay = today;
        if (r.made)
            m_copyMade = r.path;
        return;
    }
    warnCopyOnce(reasonOf(r));
}

bool Database::save(const DatabaseFile::SaveFileFactory& makeFile) {
    if (m_endedByRestore)
        return true;
    JournalFile::settle(m_path);
    takeDailyCopy(makeFile);
    // The journal is written only when it changed, with the table: a base
    // that never took a statement stays without one.
    std::optional<QByteArray> journal = m_journal.toBytes();
    if (*journal == m_journalSaved)
        journal.reset();
    else if (m_journalBlocked)
        return false;
    const auto write = [&] {
        return DatabaseFile::saveThrough(
            m_table, [&](const std::function<bool(QIODevice&)>& produce) {
                return JournalFile::writeWith(m_path, produce, journal, makeFile);
            });
    };
    bool saved = write();
    if (!saved) {
        // The files grew past what the copy left room for: the save comes first.
        const qint64 bytes = savedSize(m_table) + (journal ? journal->size() : 0);
        if (m_copyMade.isEmpty() || !SafetyCopies::giveWayToSave(m_copyMade, m_path, bytes))
            return false;
        const QString removed = QDir::toNativeSeparators(m_copyMade);
        m_copyMade.clear();
        m_copyDay = QDate();
        saved = write();
        warnCopyOnce(u"на диске не хватает места для копии вместе с файлом базы, копия "_s +
                     removed + u" удалена"_s);
    }
    if (saved && journal)
        m_journalSaved = std::move(*journal);
    return saved;
}

bool Database::saveOrTell() {
    if (save())
        return true;
    TellSaveFailed(m_platform);
    return false;
}

// ---------------------------------------------------------------- backup and restore

Backup::Result Database::backupTo(const QString& path) {
    // An empty journal goes too: restored, it says the backup's table holds
    // no payment from a statement.
    return Backup::write(path, m_table, m_journal.toBytes());
}

bool Database::keepTableBeforeRestore() {
    std::optional<QByteArray> journal = m_journal.toBytes();
    if (journal->isEmpty() && !QFileInfo::exists(JournalFile::pathFor(m_path)))
        journal.reset();
    const SafetyCopies::Result r =
        SafetyCopies::takeBeforeRestore(m_path, m_table, journal, m_platform.now());
    if (r.ok())
        return true;
    m_platform.message(u"Не удалось сохранить копию текущей базы перед восстановлением: "_s +
                           reasonOf(r) + u". Восстановление отменено, файл базы не изменён."_s,
                       u"Ошибка копирования"_s, MsgIcon::Critical, MsgButtons::Ok);
    return false;
}

Database::Restored Database::restoreFrom(const QString& path,
                                         const std::function<bool()>& confirm) {
    return restore(Backup::readBackup(path), false, confirm);
}

Database::Restored Database::restoreFromVersion10(const QString& path,
                                                  const std::function<bool()>& confirm) {
    return restore(Backup::readVersion10(path), true, confirm);
}

Database::Restored Database::restore(const Backup::Source& source, bool version10,
                                     const std::function<bool()>& confirm) {
    Restored out;
    out.result = source.check;
    if (!source.check.ok())
        return out;
    // The day's work, unsaved changes included, is kept before anything is
    // replaced; without that copy nothing is.
    if (!confirm() || !keepTableBeforeRestore()) {
        out.declined = true;
        return out;
    }
    takeDailyCopy();
    // A backup without a journal may hold payments this one names: the
    // journal is set aside, still counting, and a new one starts.
    std::optional<QByteArray> journal = source.journal;
    const QByteArray current = m_journal.toBytes();
    QString setAside;
    if (!journal && !current.isEmpty()) {
        setAside = JournalFile::setAsidePath(m_path, m_platform.now());
        if (!DatabaseFile::writeAtomically(setAside, current)) {
            out.result = {Backup::Error::WriteFailed, 0};
            return out;
        }
        journal = QByteArray();
    }
    out.result = version10 ? Backup::restoreVersion10(source, m_path, journal)
                           : Backup::restoreBackup(source, m_path, journal);
    if (!out.result.ok()) {
        if (!setAside.isEmpty())
            QFile::remove(setAside);
        return out;
    }
    if (!setAside.isEmpty())
        m_setAside.push_back(PaymentJournal::fromBytes(current));
    if (journal) {
        m_journal = PaymentJournal::fromBytes(*journal);
        m_journalSaved = m_journal.toBytes();
    }
    // The restored file must stay as it is, also while a box the caller
    // shows runs its event loop: nothing of this run writes it again.
    m_endedByRestore = true;
    stopAutosave();
    return out;
}

// ---------------------------------------------------------------- autosave

void Database::setAutosave(bool on) {
    m_autosave = on;
    if (on && !m_endedByRestore)
        m_wait->start();
    else
        m_wait->stop();
}

void Database::stopAutosave() {
    m_due->stop();
    m_wait->stop();
}

void Database::onAutosaveWaitOver() {
    m_due->start();
    m_wait->stop();
}

void Database::onAutosaveDue() {
    if (m_changed)
        saveOrTell();
    m_due->stop();
    if (m_autosave && !m_endedByRestore)
        m_wait->start();
}
