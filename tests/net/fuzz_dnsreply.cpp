// libFuzzer target: the DNS reply reader against any bytes a server (or a stranger) could send.
// The reply's own first two bytes serve as the expected id, so that the fuzzer gets past the id
// check at once and spends its time in the question and answer sections.
#include "platform/dnsmessage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QByteArray qname = DnsMessage::encodeName("4.3.2.1.in-addr.arpa");
    const QByteArrayView reply(reinterpret_cast<const char *>(data), qsizetype(size));
    const quint16 id = size >= 2 ? quint16((data[0] << 8) | data[1]) : 0;
    const std::optional<QString> name = DnsMessage::readPtrReply(reply, id, qname);
    if (name && name->size() > DnsMessage::kMaxNameBytes)
        __builtin_trap();  // a name can never be longer than the wire allows
    // the same bytes as an address text must never give a query that is not one
    const QString text = QString::fromLatin1(reply.first(qMin<qsizetype>(reply.size(), 32)));
    const QByteArray query = DnsMessage::ptrQuery(id, text);
    if (!query.isEmpty() && query.size() > 12 + 30 + 4)
        __builtin_trap();
    return 0;
}
