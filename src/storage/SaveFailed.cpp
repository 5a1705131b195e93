#include "SaveFailed.h"

#include <QString>

#include "core/Platform.h"

using namespace Qt::StringLiterals;

void TellSaveFailed(Platform& platform) {
    platform.message(u"Ошибка сохранения"_s, QString(), MsgIcon::None, MsgButtons::Ok);
}
