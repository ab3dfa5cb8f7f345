#pragma once

#include "platform/rtf/rtfreader.h"

#include <QFile>
#include <QImage>
#include <QSizeF>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <QtTest>

#include <memory>

namespace rtftest {

inline QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(RTF_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

inline std::unique_ptr<QTextDocument> read(QByteArrayView rtf)
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    RtfReader::read(rtf, cursor);
    return document;
}

struct Picture {
    QImage image;
    QSizeF size;
    QString name;
};

inline QList<Picture> pictures(const QTextDocument &document)
{
    QList<Picture> out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QTextImageFormat image = format.toImageFormat();
            for (qsizetype i = 0; i < it.fragment().length(); ++i) {
                out.append({document.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>(),
                            QSizeF(image.width(), image.height()), image.name()});
            }
        }
    }
    return out;
}

// The character format at the first occurrence of `word` in the document.
inline QTextCharFormat formatAt(const QTextDocument &document, const QString &word)
{
    const QTextCursor found = document.find(word);
    if (found.isNull())
        return {};
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

inline bool samePixels(const QImage &a, const QImage &b)
{
    return a.size() == b.size()
        && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

} // namespace rtftest
