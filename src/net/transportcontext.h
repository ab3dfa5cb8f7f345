#pragma once

#include "platform/dnsclient.h"

#include <QHostAddress>

#include <atomic>

class DebugLog;
class MainThreadCall;
class Options;
class SendJobs;
class TransportHost;

// What the listener, the connection threads and the send jobs of one running copy share. Workers
// read options only through Options::snapshot() and reach the host only through mainThread.
struct TransportContext
{
    const DebugLog *log = nullptr;
    MainThreadCall *mainThread = nullptr;
    const Options *options = nullptr;
    TransportHost *host = nullptr;
    SendJobs *jobs = nullptr;
    QHostAddress localAddress = QHostAddress(QHostAddress::AnyIPv4); // outgoing connections start here
    DnsClient dns;
    std::atomic_bool shuttingdown{false}; // set at the end of shutdown: connections are closed unread
    std::atomic_bool abort{false};        // the copy is going away: every wait ends at once
};
