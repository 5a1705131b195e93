#include "UserWarnings.h"

#include "Cp1251.h"
#include "Platform.h"

using namespace Qt::StringLiterals;

void WarnIfNotStorable(Platform& platform, const QString& text) {
    if (Cp1251::canEncode(text))
        return;
    platform.message(
        u"Текст \""_s + text +
            u"\" содержит символы, которые не сохранятся в файле базы; они будут записаны как «?»."_s,
        u"Предупреждение"_s, MsgIcon::Warning, MsgButtons::Ok);
}
