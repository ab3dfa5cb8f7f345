#include "pictureresources.h"

#include <QtGlobal>
#include <mutex>

// Q_INIT_RESOURCE has to be used outside any namespace.
static void registerPictures()
{
    Q_INIT_RESOURCE(pictures);
}

void initPictureResources()
{
    static std::once_flag once;
    std::call_once(once, registerPictures);
}
