#include <QImage>
#include <QPixmap>

#include "readings/ToolbarPixels.h"

QIcon ToolbarIcon(QStringView name) {
    QIcon icon;
    for (const ToolbarPixels& p : ToolbarPictures())
        if (QLatin1StringView(p.name) == name)
            icon.addPixmap(QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(p.argb), p.size,
                                                     p.size, QImage::Format_ARGB32_Premultiplied)));
    return icon;
}
