#include "rtfcodepage.h"

#include "platform/codepage.h"

#include <QStringDecoder>

namespace {

// ICU names for the Windows and Macintosh code pages RTF files name. Mac double-byte pages use
// their Windows counterparts, which agree on the common characters.
const char *icuName(int codePage)
{
    switch (codePage) {
    case 437: return "cp437";
    case 850: return "cp850";
    case 874: return "windows-874";
    case 932: case 10001: return "windows-932";
    case 936: case 10008: return "windows-936";
    case 949: case 10003: return "windows-949";
    case 950: case 10002: return "windows-950";
    case 1250: return "windows-1250";
    case 1252: return "windows-1252";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 10000: return "macintosh";
    case 10007: return "x-mac-cyrillic";
    default: return nullptr;
    }
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

RtfCodePage::RtfCodePage() = default;
RtfCodePage::~RtfCodePage() = default;

int RtfCodePage::forCharset(int charset, int documentCodePage)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return kSymbol;
    case 77: return 10000;
    case 78: return 10001;
    case 79: return 10003;
    case 80: return 10008;
    case 81: return 10002;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return documentCodePage;
    }
}

QStringDecoder *RtfCodePage::decoderFor(int codePage)
{
    auto it = m_decoders.find(codePage);
    if (it == m_decoders.end()) {
        const char *name = icuName(codePage);
        auto decoder = std::make_unique<QStringDecoder>(name ? name : "windows-1252");
        if (!decoder->isValid())
            decoder = std::make_unique<QStringDecoder>("windows-1252");
        it = m_decoders.emplace(codePage, std::move(decoder)).first;
    }
    return it->second.get();
}

QString RtfCodePage::decode(QByteArrayView bytes, int codePage)
{
    if (bytes.isEmpty())
        return {};
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    if (codePage == 1251)
        return CodePage::toUnicode(bytes.toByteArray());
    if (codePage == kSymbol)
        return QString::fromLatin1(bytes);
    QStringDecoder *decoder = decoderFor(codePage);
    decoder->resetState();
    QString text = decoder->decode(bytes);
    decoder->resetState();
    return text;
}
