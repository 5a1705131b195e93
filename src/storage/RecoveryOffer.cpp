#include "RecoveryOffer.h"

#include <QFileInfo>

#include "DatabaseRecovery.h"
#include "core/Platform.h"

using namespace Qt::StringLiterals;

bool OfferSafetyCopy(const QString& databasePath, DatabaseFile::Status status, Platform& platform) {
    if (!DatabaseRecovery::canRecover(status))
        return false;
    const auto copy = DatabaseRecovery::newestUsable(databasePath);
    if (!copy)
        return false;
    // The table kept before a restore may share its day with the day's copy.
    QString date = copy->date.toString(u"dd.MM.yyyy"_s);
    if (copy->beforeRestore)
        date += u' ' + copy->time.toString(u"HH:mm"_s);
    if (platform.message(u"Восстановить базу из страховой копии от "_s + date + u'?', QString(),
                         MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No) != MsgAnswer::Yes)
        return false;
    const DatabaseRecovery::Result r =
        DatabaseRecovery::restore(databasePath, *copy, platform.now());
    if (!r.ok()) {
        platform.message(u"Ошибка копирования файла"_s, QString(), MsgIcon::None, MsgButtons::Ok);
        return false;
    }
    platform.message(u"База восстановлена из страховой копии от "_s + date +
                         u". Повреждённый файл сохранён как "_s +
                         QFileInfo(r.damagedPath).fileName() + u'.',
                     QString(), MsgIcon::Information, MsgButtons::Ok);
    return true;
}
