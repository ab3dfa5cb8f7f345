#pragma once

#include <QByteArray>
#include <QString>

// One request for a send job: what to deliver to whom.
struct SendRequest
{
    int jobnumber = 0;
    QString target;        // dotted address or host name
    int port = 7456;
    QString filepath;      // kinds "0", "1", "2", "5"; a temporary file for "1", "2", "5"
    QString recipient;     // the contact's name, for the lines about files
    QString sendername;    // the sender line
    QByteArray body;       // kinds "3" and "4", as it goes on the wire
    char kind = '4';
    bool lowPriority = false; // system messages
};
