#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>

// Windows metafiles (WMF) as far as pictures in rich text need them: Windows rich-text editors
// save every picture as a metafile that draws one bitmap, so reading means finding that bitmap,
// and writing means wrapping ours the same way.
class WindowsMetafile
{
public:
    // The packed DIB of the first bitmap record (META_DIBSTRETCHBLT, META_STRETCHDIB or
    // META_DIBBITBLT), or an empty array when the metafile draws no bitmap.
    static QByteArray firstBitmap(QByteArrayView metafile);

    // A metafile that draws `dib` (a packed DIB of `pixels`) with one META_STRETCHDIB record onto
    // a window of the same size in pixels.
    static QByteArray wrapBitmap(QByteArrayView dib, QSize pixels);
};
