// Prints the time from Enter in one copy's input editor to the message shown in the other copy's
// conversation: the median, quartiles and extremes over 50 messages. Two copies run in this
// process on 127.0.0.8 and 127.0.0.9, offscreen. The sender's job holds every connection open for
// 200 ms after the message before it closes it, and the receiver shows the message only when the
// connection ends, so 200 ms is the protocol's floor; the table shows what lies above it.
// Figures only: nothing here fails on a slow machine.
#include "support/runningcopy.h"

#include "contacts/contacttable.h"
#include "net/sendjobs.h"
#include "ui/inputeditor.h"
#include "ui/tform2.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kMessages = 50;
constexpr double kLingerMs = 200.0;

QByteArray contact(const char *name, const char *address)
{
    return QByteArray("user_name0001=") + name + "\r\nuser_addr0001=" + address + "\r\n";
}

double percentile(std::vector<double> sorted, double p)
{
    return sorted[std::min(sorted.size() - 1, size_t(p * double(sorted.size() - 1) + 0.5))];
}

// A message of about `bytes` of rich text from a to b: the time until b shows its last word, and
// the longest pause of the (shared) main thread meanwhile, seen by a 10 ms timer.
std::pair<double, double> largeMessage(RunningCopy &a, RunningCopy &b, const QString &folder, qsizetype bytes)
{
    const QString path = folder + QStringLiteral("/large.rtf");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs22 ");
    const QByteArray line("The quick brown fox jumps over the lazy dog, \\b bold\\b0  and \\i italic\\i0 .\\par\n");
    for (qsizetype written = 0; written < bytes; written += line.size())
        file.write(line);
    file.write("end-of-large\\par}");
    file.close();
    QTextDocument *shown = b.app().form2()->RichEdit1()->document();
    QElapsedTimer timer;
    timer.start();
    qint64 last = 0, stall = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        stall = std::max(stall, timer.elapsed() - last);
        last = timer.elapsed();
    });
    ticks.start(10);
    a.app().jobs().sendfileto3('1', path, QStringLiteral("127.0.0.9"), 7456, QStringLiteral("B"), QStringLiteral("A"));
    // The message's text is inserted in one step: its length shows that it is there.
    const bool arrived = QTest::qWaitFor([&] { return shown->characterCount() > bytes / 2; }, 60000);
    const double total = timer.nsecsElapsed() / 1e6;
    b.app().form2()->clearConversation();
    return {arrived ? total : -1.0, double(stall)};
}

std::vector<double> largeMessages(RunningCopy &a, RunningCopy &b, const QString &folder)
{
    const auto one = largeMessage(a, b, folder, 1 << 20);
    const auto ten = largeMessage(a, b, folder, 10 << 20);
    return {one.first, one.second, ten.first, ten.second};
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temp;
    qputenv("TEMP", temp.path().toUtf8());
    RunningCopy a("127.0.0.8", "usernam=A\r\n" + contact("B", "127.0.0.9"));
    RunningCopy b("127.0.0.9", "usernam=B\r\n" + contact("A", "127.0.0.8"));
    if (!QTest::qWaitFor([&] { return a.app().table().user(1)->connected && b.app().table().user(1)->connected; },
                         20000)) {
        std::fprintf(stderr, "the copies did not see each other\n");
        return 1;
    }
    a.app().table().user(1)->selected = true;
    InputEditor *input = a.app().form2()->RxRichEdit1();
    QTextDocument *shown = b.app().form2()->RichEdit1()->document();

    std::vector<double> ms;
    for (int i = 0; i < kMessages; ++i) {
        const QString marker = QStringLiteral("latency-%1-end").arg(i);
        input->insertPlainText(marker);
        QElapsedTimer timer;
        bool seen = false;
        auto watch = QObject::connect(shown, &QTextDocument::contentsChanged, [&] {
            if (!seen && !shown->find(marker).isNull()) {
                seen = true;
                ms.push_back(timer.nsecsElapsed() / 1e6);
            }
        });
        timer.start();
        QTest::keyClick(input, Qt::Key_Return);
        const bool ok = QTest::qWaitFor([&] { return seen; }, 10000);
        QObject::disconnect(watch);
        if (!ok) {
            std::fprintf(stderr, "message %d was not shown within 10 s\n", i);
            return 1;
        }
    }
    std::sort(ms.begin(), ms.end());
    const std::vector<double> large = largeMessages(a, b, temp.path());
    const double median = percentile(ms, 0.5);
    std::printf("| message latency, %d messages | ms |\n|---|---:|\n", kMessages);
    std::printf("| minimum | %.1f |\n| lower quartile | %.1f |\n| median | %.1f |\n", ms.front(), percentile(ms, 0.25), median);
    std::printf("| upper quartile | %.1f |\n| maximum | %.1f |\n", percentile(ms, 0.75), ms.back());
    std::printf("| protocol linger (floor) | %.1f |\n| median above the linger | %.1f |\n", kLingerMs, median - kLingerMs);
    std::printf("\n| large message | Enter to shown, ms | longest main-thread stall, ms |\n|---|---:|---:|\n");
    std::printf("| 1 MB | %.0f | %.0f |\n| 10 MB | %.0f | %.0f |\n", large[0], large[1], large[2], large[3]);
    return 0;
}
