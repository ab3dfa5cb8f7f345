// Prints how long the program takes from its start until it accepts connections (median of five
// starts), and the CPU time and resident memory of a copy that sits idle for a minute after its
// start-up poll, with ten contacts of which none is running. Real program processes, offscreen,
// on 127.0.0.102. Figures only: nothing here fails on a slow machine.
#include "support/programprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

const QString kAddress = QStringLiteral("127.0.0.102");

// utime + stime in seconds, from /proc/PID/stat.
double cpuSeconds(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = file.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

qint64 statusKb(qint64 pid, const char *name)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

void writeSettings(const QString &home)
{
    QFile ini(QDir(home).filePath("parlix7.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write("[options]\r\nautorun=0\r\nCheckBox_iponly=1\r\n");
    for (int row = 1; row <= 10; ++row) {
        const QByteArray n = QByteArray::number(row).rightJustified(4, '0');
        ini.write("user_name" + n + "=p" + QByteArray::number(row) + "\r\nuser_addr" + n + "=127.0.3." + QByteArray::number(row) + "\r\n");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("PARLIX_BUILD_DIR"))
        qputenv("PARLIX_BUILD_DIR", QCoreApplication::applicationDirPath().toUtf8());
    const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 60;

    std::vector<double> starts;
    for (int i = 0; i < 5; ++i) {
        ProgramProcess program(kAddress);
        writeSettings(program.home());
        QElapsedTimer timer;
        timer.start();
        if (!program.start()) {
            std::fprintf(stderr, "bench_idle: the program did not start listening\n");
            return 1;
        }
        starts.push_back(double(timer.nsecsElapsed()) / 1e6);
        program.terminate();
    }
    std::sort(starts.begin(), starts.end());

    ProgramProcess program(kAddress);
    writeSettings(program.home());
    if (!program.start())
        return 1;
    const qint64 pid = program.process().processId();
    QThread::sleep(5); // past the start-up poll's busy part
    const double before = cpuSeconds(pid);
    QThread::sleep(idleSeconds);
    const double used = cpuSeconds(pid) - before;
    const qint64 rss = statusKb(pid, "VmRSS:");
    const int threads = int(statusKb(pid, "Threads:"));
    program.terminate();

    std::printf("| program process | figure |\n|---|---:|\n");
    std::printf("| start to listening, median of 5 (min %.0f, max %.0f) | %.0f ms |\n", starts.front(), starts.back(), starts[2]);
    std::printf("| idle CPU time per minute (over %d s) | %.3f s |\n", idleSeconds, used * 60.0 / idleSeconds);
    std::printf("| idle resident memory | %.1f MB |\n", rss / 1024.0);
    std::printf("| idle threads | %d |\n", threads);
    return 0;
}
