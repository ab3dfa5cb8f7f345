#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The bytes of the peer protocol that both directions share: the request header a sender writes,
// the receiver's go byte and acknowledgement, the kinds and their chunk sizes, the port rule.
// Pure functions only: no socket, no settings. Text is Windows-1251 on the wire.
class WireFormat
{
public:
    static constexpr QByteArrayView kPreambleToken = "5183chatlink294";
    static constexpr char kCr = '\r';
    static constexpr char kGo = '1';          // the receiver's permission to send
    static constexpr char kRefuse = '2';      // understood by senders, never sent by our receiver
    static constexpr QByteArrayView kAck = "ok";
    static constexpr quint16 kPort = 7456;
    static constexpr int kTimeoutMs = 30000;  // every socket wait of both sides
    static constexpr int kChunkSize = 2048;
    static constexpr int kAddressListChunkSize = 512;
    // The receiver's field for the sender and file-name lines is 1000 bytes with its terminator.
    static constexpr int kMaxLineBytes = 999;
    // Text payloads (kinds "3", "4", "5") are joined in memory. The protocol has no length field,
    // so we stop collecting at this size rather than let a peer fill the memory; the longest
    // legitimate text (an address list of 100 rows, a notice) is far below it.
    static constexpr qsizetype kMaxTextPayloadBytes = 1 << 20;

    enum Kind : char {
        File = '0',
        Message = '1',
        Letter = '2',
        System = '3',
        Notice = '4',
        AddressList = '5',
    };

    static bool isKnownKind(char kind);
    // The sender writes a file-name line for the transfer kinds "0", "1", "2" and "5"...
    static bool senderWritesFileName(char kind);
    // ...but the receiver reads it only for "0", "1" and "2": for "5" it opens the payload.
    static bool receiverReadsFileName(char kind);
    // Transfer kinds get the go byte and an "ok" after every read; "3" and "4" get nothing back.
    static bool isTransferKind(char kind);
    static int chunkSize(char kind);

    // "5183chatlink294" + CR: the 16 bytes every request opens with.
    static QByteArray preambleLine();
    // Preamble, kind, sender line and, for the transfer kinds, the file-name line. The file name
    // loses any directory part; a CR or zero byte inside a field would end the line early and
    // shift the rest of the header, so each becomes a blank.
    static QByteArray requestHeader(char kind, const QString &sender, const QString &fileName = {});
    // A whole kind "3" or "4" request: the header and the body text with no terminator.
    static QByteArray textRequest(char kind, const QString &sender, const QString &body);
    static QByteArray goByte();
    static QByteArray ack();

    // Sender side: only a received "1" means go; "2", anything else or nothing is refusal.
    static bool isGo(QByteArrayView received);

    // The port from a contact row's port cell: blank (after trimming) or not a decimal number
    // means 7456; so does a number that is no valid TCP port (0 or above 65535).
    static quint16 portFromCell(const QString &cell);

    // Kinds "3", "4" and "5" are joined as text, each read ending at its first zero byte.
    // Appends the chunk's text to `text`, never growing it beyond kMaxTextPayloadBytes; returns
    // false once that limit has been reached (the rest of the payload is then to be dropped).
    static bool appendTextChunk(QByteArray &text, QByteArrayView chunk);
};
