#include "rtfdocument.h"

#include "dib.h"
#include "platform/codepage.h"
#include "rtfreader.h"
#include "rtfwriter.h"

#include <QFile>
#include <QTextBlock>
#include <QUrl>
#include <QVariant>
#include <QSaveFile>

namespace {

constexpr qint64 kMaxFileSize = 512LL * 1024 * 1024;

} // namespace

bool RtfDocument::loadFile(QTextDocument &document, const QString &path)
{
    bool complete = false;
    return loadFile(document, path, complete);
}

bool RtfDocument::loadFile(QTextDocument &document, const QString &path, bool &complete)
{
    complete = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    if (!RtfReader::read(data, cursor, complete)) {
        cursor.insertText(CodePage::toUnicode(data).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        complete = true;
    }
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

void RtfDocument::handOverPictures(const QTextDocument &source, QTextDocument &target)
{
    QTextDocument *document = &target;
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QString name = format.toImageFormat().name();
            const QVariant picture = source.resource(QTextDocument::ImageResource, QUrl(name));
            if (picture.isValid())
                document->addResource(QTextDocument::ImageResource, QUrl(name), picture);
        }
    }
}

QByteArray RtfDocument::pictureRtf(const QImage &picture)
{
    const QByteArray dib = Dib::encode24(picture);
    QByteArray rtf("{\\rtf1 {\\pict\\dibitmap ");
    rtf += dib.toHex().toUpper();
    rtf += " }}";
    return rtf;
}
