#pragma once

// The program's pictures (smileys BITMAP_1..BITMAP_40, the status pictures, the tray icons
// ICON_1..ICON_3) are Qt resources compiled into the static library parlix_rtf. A static
// library's resources must be registered by hand: call initPictureResources() once before
// loading any of them by path. SmileyPictures and StatusPictures call it themselves; calling it
// again does nothing.
void initPictureResources();
