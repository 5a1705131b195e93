#include "WorkbookReadFailure.h"

#include "WorkbookReader.h"
#include "core/Platform.h"

using namespace Qt::StringLiterals;

bool ReportWorkbookReadFailure(Platform& platform, const WorkbookReadResult& result) {
    if (result.status == WorkbookReadResult::Status::AccessDenied) {
        platform.message(u"Доступ к файлу закрыт!"_s, u"Ошибка импорта"_s, MsgIcon::Warning,
                         MsgButtons::Ok);
        return true;
    }
    if (!result.ok()) {
        platform.message(u"Ошибка импорта!"_s, u"Ошибка"_s, MsgIcon::Information, MsgButtons::Ok);
        return true;
    }
    return false;
}
