// libFuzzer target: the receiver's reading of a request header from whatever a peer sends. The
// same bytes are fed as the connection reads them (16, then one at a time) and all at once; both
// must come to the same header, and no line may grow past its field.
#include "net/requestheaderparser.h"
#include "net/wireformat.h"

#include <cstdint>

namespace {

struct Reading
{
    RequestHeaderParser::State state;
    char kind;
    QByteArray sender;
    QByteArray fileName;
    qsizetype used;
};

Reading readByWanted(QByteArrayView bytes)
{
    RequestHeaderParser parser;
    qsizetype used = 0;
    while (used < bytes.size() && parser.wanted() > 0) {
        const qsizetype n = std::min(parser.wanted(), bytes.size() - used);
        const qsizetype taken = parser.feed(bytes.sliced(used, n));
        if (taken != n)
            __builtin_trap(); // a read of what wanted() asks for is always taken whole
        used += taken;
    }
    return {parser.state(), parser.kind(), parser.senderLine(), parser.fileNameLine(), used};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Reading chunked = readByWanted(bytes);

    RequestHeaderParser whole;
    const qsizetype used = whole.feed(bytes);
    if (used > bytes.size() || used != chunked.used)
        __builtin_trap();
    if (whole.state() != chunked.state || whole.kind() != chunked.kind || whole.senderLine() != chunked.sender
        || whole.fileNameLine() != chunked.fileName)
        __builtin_trap();
    if (whole.senderLine().size() > WireFormat::kMaxLineBytes || whole.fileNameLine().size() > WireFormat::kMaxLineBytes)
        __builtin_trap();
    if (whole.isDone() && !whole.preambleAccepted())
        __builtin_trap();
    (void)whole.sender();
    (void)whole.fileName();

    // What the receiver then does with the text payloads: joined chunk by chunk, bounded.
    QByteArray text;
    for (qsizetype at = used; at < bytes.size(); at += WireFormat::kChunkSize)
        if (!WireFormat::appendTextChunk(text, bytes.sliced(at, std::min<qsizetype>(WireFormat::kChunkSize, bytes.size() - at))))
            break;
    if (text.size() > WireFormat::kMaxTextPayloadBytes)
        __builtin_trap();
    return 0;
}
