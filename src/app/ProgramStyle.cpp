#include "app/ProgramStyle.h"

#include <QVariant>
#include <QWidget>

#include "readings/ListPopup.h"
#include "readings/ToolbarPixels.h"

QIcon ProgramStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (which == SP_ToolBarHorizontalExtensionButton)
        return ToolbarIcon(u"overflow");
    return QProxyStyle::standardIcon(which, option, widget);
}

int ProgramStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    if (hint == SH_ComboBox_Popup && widget && widget->property(ListPopupProperty).toBool())
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
