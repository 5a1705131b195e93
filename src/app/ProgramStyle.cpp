#include "app/ProgramStyle.h"

#include "readings/ToolbarPixels.h"

QIcon ProgramStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (which == SP_ToolBarHorizontalExtensionButton)
        return ToolbarIcon(u"overflow");
    return QProxyStyle::standardIcon(which, option, widget);
}
