#pragma once

#include <QByteArrayView>
#include <QString>

#include <map>
#include <memory>

class QStringDecoder;

// Turns the 8-bit text of an RTF file (plain bytes and \'hh) into QString for a Windows code
// page. 1251 uses the project's own table; the others go through Qt's ICU-backed decoders, one
// per code page, kept for the life of the object. A code page Qt cannot decode reads as 1252, so
// strange text never derails the rest of the document.
class RtfCodePage
{
public:
    static constexpr int kSymbol = 2; // \fcharset2: the Symbol font's own encoding

    RtfCodePage();
    ~RtfCodePage();
    RtfCodePage(const RtfCodePage &) = delete;
    RtfCodePage &operator=(const RtfCodePage &) = delete;

    // The code page for \fcharsetN; \fcharset1 (and unknown sets) means the document's.
    static int forCharset(int charset, int documentCodePage);
    // Decodes one run of bytes; in the double-byte code pages (932, 936, 949, 950) a lead byte
    // and the byte after it form one character. A lead byte at the very end of a run is dropped.
    QString decode(QByteArrayView bytes, int codePage);

private:
    QStringDecoder *decoderFor(int codePage);

    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;
};
