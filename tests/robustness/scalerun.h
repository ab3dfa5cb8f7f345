#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

class ProgramProcess;
class RunningCopy;

// Many copies on consecutive loopback addresses, each with all the others in its table, started
// together: the rosters fill, messages go between random pairs, then the copies end one at a
// time. Shared by the scale test (20 copies) and bench/scale (100). The copies run in this
// process; with `withProcess` the last address is a real program process instead, whose peak
// memory stands for that of one copy.
class ScaleRun
{
public:
    ScaleRun(const QString &prefix, int first, int count, bool withProcess);
    ~ScaleRun();

    // Starts every copy; false when one could not listen.
    bool start();
    // Milliseconds from start() until every copy holds every other one connected; -1 on time-out.
    qint64 waitForFullRosters(int timeoutMs);
    // Sends `count` messages between random pairs of the copies in this process and waits until
    // all have arrived. Returns how many were shown exactly once, by their addressee only.
    int sendMessages(int count, int timeoutMs);
    // Ends the copies in this process one at a time; after each, every copy still running must
    // show it as "Отключился". Returns the number of ends that every remaining copy showed.
    int endOneByOne(int timeoutMs);
    // VmHWM of the real process, in kB (-1 without one).
    qint64 processPeakKb() const;
    int inProcessCopies() const { return int(m_copies.size()); }
    QString failure() const { return m_failure; }

    static QString nameOf(const QString &address);

private:
    QStringList m_addresses;
    bool m_withProcess;
    std::vector<std::unique_ptr<RunningCopy>> m_copies;
    std::unique_ptr<ProgramProcess> m_process;
    QElapsedTimer m_started;
    QString m_failure;
};
