#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// The pictures of the three statuses (0 free, 1 busy, 2 away): the small roster and menu
// pictures, white being their transparent colour, and the 16 x 16 tray icons "ICON_1".."ICON_3"
// ("ICON_" + (status + 1)).
class StatusPictures
{
public:
    static constexpr int kCount = 3;

    // The status picture as stored (free and busy 15 x 13, away 15 x 14, white background), or a
    // null image for an unknown status.
    static QImage picture(int status);
    // The same with its white pixels transparent.
    static QImage transparentPicture(int status);

    // Resource path of "ICON_" + n, n = 1..3.
    static QString iconPath(int n);
    // "ICON_" + (status + 1) as an image, or a null image for an unknown status.
    static QImage trayImage(int status);
    // The same as an icon for QSystemTrayIcon and menus.
    static QIcon trayIcon(int status);
};
