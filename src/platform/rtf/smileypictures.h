#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QTextCursor>

// The 40 smileys "BITMAP_1".."BITMAP_40": 24-bit bitmaps whose top-left pixel gives the plain
// background colour that is to look transparent, and their insertion into the input editor.
class SmileyPictures
{
public:
    static constexpr int kCount = 40;

    // The size picture n has (and must have), or an invalid size for n outside 1..40.
    static QSize size(int n);
    // The resource path of "BITMAP_" + n.
    static QString resourcePath(int n);
    // "BITMAP_" + n as stored, or a null image when it cannot be loaded.
    static QImage bitmap(int n);

    // Every pixel of exactly the top-left pixel's colour takes `background`; all others keep
    // theirs. The result is 32-bit RGB.
    static QImage withBackground(const QImage &picture, const QColor &background);
    // The rich text that inserts picture n on `background` (see RtfDocument::pictureRtf), or an
    // empty array when the picture cannot be loaded.
    static QByteArray pictureRtf(int n, const QColor &background);
    // Streams that rich text in at the cursor, replacing its selection.
    static bool insert(QTextCursor &cursor, int n, const QColor &background);
};
