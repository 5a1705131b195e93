#include "DatabaseSave.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>

#include "core/AppState.h"
#include "core/Platform.h"
#include "SafetyCopies.h"

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

// A failed copy is told once per run: it is tried again on the next save.
void warnOnce(AppState& state, Platform& platform, const QString& reason) {
    if (state.safetyCopyWarned)
        return;
    state.safetyCopyWarned = true;
    platform.message(u"Не удалось сохранить страховую копию базы: "_s + reason, QString(),
                     MsgIcon::Warning, MsgButtons::Ok);
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

} // namespace

void TakeDailySafetyCopy(AppState& state, Platform& platform,
                         const DatabaseFile::SaveFileFactory& makeFile) {
    const QDate today = platform.now().date();
    if (state.safetyCopyDay == today)
        return;
    // The new file will be about the size of the one on disk, and is written
    // beside it before it takes its place.
    const qint64 fileBytes = QFileInfo(state.databasePath).size();
    const SafetyCopies::Result r = SafetyCopies::takeDaily(state.databasePath, today, makeFile,
                                                           SafetyCopies::ReadChunk, fileBytes);
    if (r.ok()) {
        state.safetyCopyDay = today;
        if (r.made)
            state.safetyCopyMade = r.path;
        return;
    }
    warnOnce(state, platform, reasonOf(r));
}

bool SaveDatabase(AppState& state, Platform& platform,
                  const DatabaseFile::SaveFileFactory& makeFile) {
    if (state.databaseReplaced)
        return true;
    TakeDailySafetyCopy(state, platform, makeFile);
    if (DatabaseFile::save(state.databasePath, state.table, makeFile))
        return true;
    // The file grew past what the copy left room for: the save comes first.
    if (state.safetyCopyMade.isEmpty() ||
        !SafetyCopies::giveWayToSave(state.safetyCopyMade, state.databasePath,
                                     savedSize(state.table)))
        return false;
    const QString removed = QDir::toNativeSeparators(state.safetyCopyMade);
    state.safetyCopyMade.clear();
    state.safetyCopyDay = QDate();
    const bool saved = DatabaseFile::save(state.databasePath, state.table, makeFile);
    warnOnce(state, platform,
             u"на диске не хватает места для копии вместе с файлом базы, копия "_s + removed +
                 u" удалена"_s);
    return saved;
}

bool KeepTableBeforeRestore(AppState& state, Platform& platform,
                            const DatabaseFile::SaveFileFactory& makeFile) {
    const SafetyCopies::Result r =
        SafetyCopies::takeBeforeRestore(state.databasePath, state.table, platform.now(), makeFile);
    if (r.ok())
        return true;
    platform.message(u"Не удалось сохранить копию текущей базы перед восстановлением: "_s +
                         reasonOf(r) + u". Восстановление отменено, файл базы не изменён."_s,
                     u"Ошибка копирования"_s, MsgIcon::Critical, MsgButtons::Ok);
    return false;
}
