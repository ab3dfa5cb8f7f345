#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The receiver's reading of one request header, fed with whatever the connection read. It never
// consumes a byte past the header, so whatever feed() leaves over is the start of the payload
// (for kind "5" that is the sender's file-name line).
//
// The first feed() after construction or reset() is the connection's first read: it alone decides
// the preamble, which must be exactly the 15 token characters and CR in that read. A connection
// that reads what wanted() asks for (16 bytes, then single bytes) reads header lines one byte at a
// time and never over-reads; a caller that feeds more gets the rest back through the count.
//
// Lines are kept up to 999 bytes; the rest of a longer line is read and dropped up to its CR, so
// the next line stays intact. A line that runs past kMaxLineRun bytes without a CR is no header:
// the parser stops with LineTooLong and the request is to be dropped.
class RequestHeaderParser
{
public:
    enum class State {
        Preamble,       // waiting for the first read
        KindLine,
        SenderLine,
        FileNameLine,   // kinds "0", "1", "2" only
        Done,           // kind(), senderLine(), fileNameLine() are final
        BadPreamble,    // badPreambleText() is the text for the log line
        LineTooLong,
    };

    static constexpr qsizetype kFirstReadSize = 16;
    static constexpr qsizetype kMaxLineRun = 65536;

    // Bytes the connection should read next: 16 for the first read, 1 inside a line, 0 at the end.
    qsizetype wanted() const;
    // Takes bytes that arrived; returns how many belong to the header. Reading stops at Done or
    // at a failure state; an empty feed is ignored (the caller's timeout decides).
    qsizetype feed(QByteArrayView bytes);

    // For the next request on the same connection (after kinds "3", "4", "5" and unknown kinds).
    void reset();

    State state() const { return m_state; }
    bool isDone() const { return m_state == State::Done; }
    bool hasFailed() const { return m_state == State::BadPreamble || m_state == State::LineTooLong; }
    bool preambleAccepted() const { return m_preambleAccepted; }

    // The last byte before the CR of the kind line; 0 while unknown or when the line was empty.
    char kind() const { return m_kind; }
    // Raw lines as kept (at most 999 bytes, without the CR).
    const QByteArray &senderLine() const { return m_sender; }
    const QByteArray &fileNameLine() const { return m_fileName; }
    // The lines as text: the receiver's fields are C strings, so each ends at its first zero byte.
    QString sender() const;
    QString fileName() const;
    // True when a sender or file-name line was longer than 999 bytes and was cut.
    bool lineCut() const { return m_lineCut; }
    // What the first read held, with a 16th byte CR dropped and ending at the first zero byte.
    const QByteArray &badPreambleText() const { return m_badPreamble; }

private:
    void readPreamble(QByteArrayView first);
    void endLine();

    State m_state = State::Preamble;
    bool m_preambleAccepted = false;
    bool m_lineCut = false;
    char m_kind = 0;
    char m_lastKindByte = 0;
    qsizetype m_lineRun = 0;
    QByteArray m_sender;
    QByteArray m_fileName;
    QByteArray m_badPreamble;
};
