#pragma once

#include <QString>

#include <QDateTime>

// The run-time record of one contact row: what presence knows about the peer. Never saved; it
// travels with its row when rows are moved, inserted or deleted.
struct Users
{
    QString peeraddr;          // where the peer was last seen
    bool connected = false;    // known to be online: listed in the roster
    bool selected = false;     // selected in the roster: a recipient
    int listindex = -1;        // position in the roster list, -1 while not listed
    int status = 0;            // 0 free, 1 busy, 2 away
    qint64 created = QDateTime::currentSecsSinceEpoch();
};
