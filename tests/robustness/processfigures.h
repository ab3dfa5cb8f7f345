#pragma once

#include <QtGlobal>

// The calling process's threads and resident memory, read from /proc/self/status.
class ProcessFigures
{
public:
    static int threads();
    static qint64 residentKb();
    // The same for another process.
    static int threads(qint64 pid);
    static qint64 residentKb(qint64 pid);

private:
    static qint64 field(const QByteArray &status, const char *name);
};
