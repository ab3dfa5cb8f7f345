#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <QTextCursor>
#include <QTextDocument>

// The rich-text editor's file and stream operations, built on RtfReader and RtfWriter. A
// QTextDocumentFragment does not carry its images, so everything that moves rich text between
// documents goes through RTF, which does; each read gives its pictures new unique names.
class RtfDocument
{
public:
    // Replaces the document's content with the file. A file that is not RTF shows as plain
    // Windows-1251 text, as a rich-text editor shows any file it is given. False when the file
    // cannot be read (the document is then left as it was).
    static bool loadFile(QTextDocument &document, const QString &path);
    // The same; `complete` is false when the file is RTF that was cut short (what could be read
    // is in the document).
    static bool loadFile(QTextDocument &document, const QString &path, bool &complete);
    // Saves the document as RTF. The file is written beside the target and renamed over it, so
    // a failed save never leaves half a file.
    static bool saveFile(const QTextDocument &document, const QString &path);

    // The whole document as RTF.
    static QByteArray streamOut(const QTextDocument &document);
    // Inserts RTF at the cursor, replacing its selection, as one undoable change. The cursor
    // ends after the inserted content. False (nothing changed) when the data is not RTF.
    static bool streamIn(QTextCursor &cursor, QByteArrayView rtf);

    // Copies the whole of `source` into the target document at `target`, replacing its
    // selection, pictures included: stream out, then stream in.
    static void Richdatacopy1(const QTextDocument &source, QTextCursor &target);
    // Gives `target` the pictures `source` shows, under the same names, so that its content can be
    // copied over as fragments without writing and reading RTF again (for large content).
    static void handOverPictures(const QTextDocument &source, QTextDocument &target);

    // A picture as the editor inserts it: "{\rtf1 {\pict\dibitmap " + the picture as a 24-bit
    // packed DIB (40-byte header, bottom-up rows padded to 4 bytes) in upper-case hex without
    // blanks + " }}".
    static QByteArray pictureRtf(const QImage &picture);
};
