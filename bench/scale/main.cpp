// Prints how 100 copies on 127.0.0.2-101, each with all the others in its table, cope when they
// start together: the time until every roster is complete, 1,000 messages between random pairs
// (how many were shown exactly once), the ends one at a time (how many every remaining copy
// showed as "Отключился"), and the peak resident memory of one copy. 99 copies run in this
// process, offscreen; the 100th is a real program process, whose peak memory is the figure.
// Figures only: nothing here fails on a slow machine.
#include "scalerun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    QApplication app(argc, argv);
    QTemporaryDir temp;
    qputenv("TEMP", temp.path().toUtf8());
    const int copies = argc > 1 ? std::atoi(argv[1]) : 100;
    const int messages = argc > 2 ? std::atoi(argv[2]) : 1000;

    ScaleRun run("127.0.0.", 2, copies, true);
    QElapsedTimer phase;
    if (!run.start()) {
        std::fprintf(stderr, "bench_scale: %s\n", qPrintable(run.failure()));
        return 1;
    }
    const qint64 rosters = run.waitForFullRosters(300000);
    phase.start();
    const int once = run.sendMessages(messages, 600000);
    const qint64 messagesMs = phase.elapsed();
    const qint64 peakKb = run.processPeakKb();
    phase.restart();
    const int inProcess = run.inProcessCopies();
    const int ends = run.endOneByOne(30000);
    const qint64 endsMs = phase.elapsed();

    std::printf("| scale: %d copies started together | figure |\n|---|---|\n", copies);
    std::printf("| time to full rosters | %s |\n", rosters < 0 ? "not reached in 300 s" : qPrintable(QStringLiteral("%1 s").arg(rosters / 1000.0, 0, 'f', 1)));
    std::printf("| messages between random pairs shown exactly once | %d of %d (%.1f s) |\n", once, messages, messagesMs / 1000.0);
    std::printf("| copies ended one at a time, shown as \"Отключился\" by every remaining copy | %d of %d (%.1f s) |\n", ends, inProcess, endsMs / 1000.0);
    std::printf("| peak resident memory of one copy (VmHWM of the program process) | %.1f MB |\n", peakKb / 1024.0);
    if (!run.failure().isEmpty())
        std::printf("\nnote: %s\n", qPrintable(run.failure()));
    return 0;
}
