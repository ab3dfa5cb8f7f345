#pragma once

#include <QIcon>

// The tray icons "ICON_1" to "ICON_3" for the statuses free, busy and away.
class TrayPictures
{
public:
    static QIcon icon(int status);
};
