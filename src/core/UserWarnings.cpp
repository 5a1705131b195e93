#include "UserWarnings.h"

#include "Cp1251.h"
#include "Platform.h"
#include "WorkbookReader.h"

using namespace Qt::StringLiterals;

void WarnIfNotStorable(Platform& platform, const QString& text) {
    if (Cp1251::canEncode(text))
        return;
    platform.message(
        u"Текст \""_s + text +
            u"\" содержит символы, которые не сохранятся в файле базы; они будут записаны как «?»."_s,
        u"Предупреждение"_s, MsgIcon::Warning, MsgButtons::Ok);
}

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
