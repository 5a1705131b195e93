#include "DatabaseSave.h"

#include <QDir>

#include "AppState.h"
#include "Platform.h"
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
    case SafetyCopies::Error::None:
        break;
    }
    return {};
}

} // namespace

void TakeDailySafetyCopy(AppState& state, Platform& platform,
                         const DatabaseFile::SaveFileFactory& makeFile) {
    const QDate today = platform.now().date();
    if (state.safetyCopyDay == today)
        return;
    const SafetyCopies::Result r = SafetyCopies::takeDaily(state.databasePath, today, makeFile);
    if (r.ok()) {
        state.safetyCopyDay = today;
        return;
    }
    // Tried again on the next save: the disk may have room by then.
    if (state.safetyCopyWarned)
        return;
    state.safetyCopyWarned = true;
    platform.message(u"Не удалось сохранить страховую копию базы: "_s + reasonOf(r), QString(),
                     MsgIcon::Warning, MsgButtons::Ok);
}

bool SaveDatabase(AppState& state, Platform& platform,
                  const DatabaseFile::SaveFileFactory& makeFile) {
    TakeDailySafetyCopy(state, platform, makeFile);
    return DatabaseFile::save(state.databasePath, state.table, makeFile);
}
