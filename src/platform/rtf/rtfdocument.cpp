#include "rtfdocument.h"

#include "dib.h"
#include "platform/codepage.h"
#include "rtfreader.h"
#include "rtfwriter.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr qint64 kMaxFileSize = 512LL * 1024 * 1024;

} // namespace

bool RtfDocument::loadFile(QTextDocument &document, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    if (!RtfReader::read(data, cursor))
        cursor.insertText(CodePage::toUnicode(data).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    cursor.endEditBlock();
    return true;
}

bool RtfDocument::saveFile(const QTextDocument &document, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray rtf = RtfWriter::write(document);
    if (file.write(rtf) != rtf.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QByteArray RtfDocument::streamOut(const QTextDocument &document)
{
    return RtfWriter::write(document);
}

bool RtfDocument::streamIn(QTextCursor &cursor, QByteArrayView rtf)
{
    if (cursor.isNull() || !RtfReader::isRtf(rtf))
        return false;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    RtfReader::read(rtf, cursor);
    cursor.endEditBlock();
    return true;
}

void RtfDocument::Richdatacopy1(const QTextDocument &source, QTextCursor &target)
{
    streamIn(target, streamOut(source));
}

QByteArray RtfDocument::pictureRtf(const QImage &picture)
{
    const QByteArray dib = Dib::encode24(picture);
    QByteArray rtf("{\\rtf1 {\\pict\\dibitmap ");
    rtf += dib.toHex().toUpper();
    rtf += " }}";
    return rtf;
}
