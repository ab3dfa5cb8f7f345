#pragma once

#include <QIcon>

// The application icon at every size rendered from parlix.svg; the windows carry it.
namespace AppIcon {
QIcon icon();
}
