#include "appicon.h"

#include <QFile>

QIcon AppIcon::icon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString file = QStringLiteral(":/appicon/parlix-%1.png").arg(size);
        if (QFile::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}
