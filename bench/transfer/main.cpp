// Prints, as a table, how fast a 100 MB file goes from one running copy to another on loopback,
// next to a bare client that makes the same stop-and-wait exchange (header, go byte, 2048-byte
// chunks each answered by "ok") with the same receiving copy: the protocol's own limit on this
// machine. Then the time a message takes from its send job's start to its hand-over at the
// receiver. Runs offscreen. An optional argument gives another file size in MB (a small one is
// handy under a profiler). Figures only: nothing here fails on a slow machine.
#include "support/runningcopy.h"

#include "net/sendjobs.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr qint64 kDefaultMegabytes = 100;
constexpr int kRounds = 3;
constexpr int kMessages = 21;
constexpr int kChunk = 2048;
const QString kSender = QStringLiteral("127.0.0.61");
const QString kReceiver = QStringLiteral("127.0.0.62");
const QString kBare = QStringLiteral("127.0.0.63");
const QString kArrived = QStringLiteral("Пришел файл");

// Runs the main thread's events (the copies' hand-overs) until `done` holds or the time is over.
// Waiting for events rather than polling keeps the measured moments close to the real ones.
bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QTimer wake;
    wake.start(50);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

bool writeRandomFile(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::vector<quint32> block(256 * 1024);
    for (qint64 left = size; left > 0;) {
        QRandomGenerator::global()->fillRange(block.data(), qsizetype(block.size()));
        const qint64 n = std::min<qint64>(left, qint64(block.size() * sizeof(quint32)));
        if (file.write(reinterpret_cast<const char *>(block.data()), n) != n)
            return false;
        left -= n;
    }
    return true;
}

double mbps(qint64 bytes, qint64 nanoseconds)
{
    return nanoseconds > 0 ? (double(bytes) / (1024.0 * 1024.0)) / (double(nanoseconds) / 1e9) : 0.0;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// What the bare client saw, in the benchmark clock's nanoseconds.
struct BareOutcome
{
    bool ok = false;
    qint64 lastAck = 0;
    const char *failure = "";
};

bool sendAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool receiveExactly(int fd, char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::recv(fd, data, size, 0);
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// The exchange with nothing around it: blocking POSIX calls, no Qt, no probe, no progress, no
// linger; the connection is closed as soon as the last chunk has its "ok".
BareOutcome bareTransfer(const QString &path, const QByteArray &fileName, const QElapsedTimer &clock)
{
    BareOutcome outcome;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    auto finish = [&](const char *failure) {
        outcome.failure = failure;
        if (file >= 0)
            ::close(file);
        if (fd >= 0)
            ::close(fd);
        return outcome;
    };
    if (fd < 0 || file < 0)
        return finish("socket or file");
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, kBare.toLatin1().constData(), &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(7456);
    ::inet_pton(AF_INET, kReceiver.toLatin1().constData(), &remote.sin_addr);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    const timeval limit{30, 0}; // the protocol's own wait limit
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0
        || ::connect(fd, reinterpret_cast<sockaddr *>(&remote), sizeof remote) != 0)
        return finish("connect");
    const QByteArray header = "5183chatlink294\r0\rBare\r" + fileName + '\r';
    char go = 0;
    if (!sendAll(fd, header.constData(), size_t(header.size())) || !receiveExactly(fd, &go, 1) || go != '1')
        return finish("no go byte");
    char chunk[kChunk];
    char ack[2];
    for (;;) {
        const ssize_t n = ::read(file, chunk, sizeof chunk);
        if (n < 0)
            return finish("file read");
        if (n == 0)
            break;
        if (!sendAll(fd, chunk, size_t(n)) || !receiveExactly(fd, ack, sizeof ack))
            return finish("chunk or acknowledgement");
    }
    outcome.lastAck = clock.nsecsElapsed();
    outcome.ok = true;
    return finish("");
}

// One round's moments, in nanoseconds from the start of the round.
struct Round
{
    bool ok = false;
    qint64 dataDone = 0; // ours: the sender shows 100%; bare: the last "ok" arrived
    qint64 arrived = 0;  // the receiver shows its "Пришел файл" line
};

class TransferBench
{
public:
    TransferBench(RunningCopy &sender, RunningCopy &receiver, QString source, qint64 size)
        : m_sender(sender)
        , m_receiver(receiver)
        , m_source(std::move(source))
        , m_size(size)
    {
        QObject::connect(&receiver.app(), &ParlixApp::lineAdded, &receiver, [this](const QString &text, const QColor &) {
            // A failed reception shows its own line: that ends the wait as well.
            m_lineAt = m_clock.nsecsElapsed();
            m_lineArrived = text.contains(kArrived);
        });
        QObject::connect(&sender.app(), &ParlixApp::statusFieldChanged, &sender, [this](const QString &text) {
            if (text == QStringLiteral("100%"))
                m_hundredAt = m_clock.nsecsElapsed();
        });
    }

    Round ours()
    {
        reset();
        m_clock.start();
        Round round;
        if (!m_sender.app().jobs().sendfileto3('0', m_source, kReceiver, 7456, QStringLiteral("Bob"), QStringLiteral("Alice")))
            return round;
        waitUntil([this] { return m_lineAt > 0 || m_sender.app().jobs().running() == 0; }, 120000);
        // The receiver may show its line a little after the job has ended.
        waitUntil([this] { return m_lineAt > 0; }, 35000);
        waitUntil([this] { return m_sender.app().jobs().running() == 0; }, 35000);
        round.dataDone = m_hundredAt;
        round.arrived = m_lineAt;
        round.ok = m_lineArrived && m_hundredAt > 0 && receivedIntact();
        return round;
    }

    Round bare()
    {
        reset();
        m_clock.start();
        BareOutcome outcome;
        bool over = false;
        std::thread client([&] {
            outcome = bareTransfer(m_source, QFileInfo(m_source).fileName().toLatin1(), m_clock);
            QMetaObject::invokeMethod(qApp, [&over] { over = true; }, Qt::QueuedConnection);
        });
        Round round;
        waitUntil([&] { return over && (m_lineAt > 0 || !outcome.ok); }, 120000);
        client.join();
        QCoreApplication::processEvents(); // the queued end of the client has run before `over` goes away
        if (!outcome.ok)
            std::fprintf(stderr, "bare client failed: %s\n", outcome.failure);
        round.dataDone = outcome.lastAck;
        round.arrived = m_lineAt;
        round.ok = outcome.ok && m_lineArrived && receivedIntact();
        return round;
    }

private:
    QString receivedPath() const { return m_receiver.savedir() + u'/' + QFileInfo(m_source).fileName(); }

    bool receivedIntact() const { return QFileInfo(receivedPath()).size() == m_size; }

    // Each round starts with no earlier copy in the received-files folder, so nothing moves aside.
    void reset()
    {
        QFile::remove(receivedPath());
        m_lineAt = 0;
        m_lineArrived = false;
        m_hundredAt = 0;
    }

    RunningCopy &m_sender;
    RunningCopy &m_receiver;
    QString m_source;
    qint64 m_size;
    QElapsedTimer m_clock;
    qint64 m_lineAt = 0;       // the receiver's line about the file, either one
    bool m_lineArrived = false; // ... and it was "Пришел файл"
    qint64 m_hundredAt = 0;
};

// Send job start to the receiver's hand-over of the message, in milliseconds, one per message.
std::vector<double> messageLatencies(RunningCopy &sender, RunningCopy &receiver, const QString &tempFolder)
{
    std::vector<double> latencies;
    QElapsedTimer clock;
    qint64 arrivedAt = 0;
    const QMetaObject::Connection connection = QObject::connect(
        &receiver.app(), &ParlixApp::messageArrived, &receiver,
        [&](const QString &, const QString &, bool) { arrivedAt = clock.nsecsElapsed(); });
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\par}";
    for (int i = 0; i < kMessages; ++i) {
        // Each job deletes its temporary file; the next one gets a fresh one.
        QFile file(tempFolder + QStringLiteral("/%1").arg(90000000 + i));
        if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size())
            break;
        file.close();
        arrivedAt = 0;
        clock.start();
        if (!sender.app().jobs().sendfileto3('1', file.fileName(), kReceiver, 7456, QStringLiteral("Bob"), QStringLiteral("Alice")))
            break;
        if (!waitUntil([&] { return arrivedAt > 0 && sender.app().jobs().running() == 0; }, 30000))
            break;
        latencies.push_back(double(arrivedAt) / 1e6);
    }
    QObject::disconnect(connection);
    return latencies;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir work;
    if (!work.isValid() || !QDir().mkpath(work.filePath("temp"))) {
        std::fprintf(stderr, "no work folder\n");
        return 1;
    }
    // Messages travel through TEMP files: keep them inside the work folder.
    qputenv("TEMP", work.filePath("temp").toUtf8());
    QApplication application(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : kDefaultMegabytes;
    if (megabytes <= 0) {
        std::fprintf(stderr, "usage: bench_transfer [megabytes]\n");
        return 1;
    }
    const qint64 fileSize = megabytes * 1024 * 1024;

    const QString source = work.filePath("payload.bin");
    if (!writeRandomFile(source, fileSize)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(source));
        return 1;
    }

    RunningCopy sender(kSender), receiver(kReceiver);
    TransferBench bench(sender, receiver, source, fileSize);
    std::vector<double> oursData, oursArrived, bareData, bareArrived;
    // Alternating rounds, so that a busy moment of the machine does not fall on one side only.
    for (int i = 0; i < kRounds; ++i) {
        const Round ours = bench.ours();
        if (ours.ok) {
            oursData.push_back(mbps(fileSize, ours.dataDone));
            oursArrived.push_back(mbps(fileSize, ours.arrived));
        } else {
            std::fprintf(stderr, "round %d: the copy's transfer did not complete\n", i + 1);
        }
        const Round bare = bench.bare();
        if (bare.ok) {
            bareData.push_back(mbps(fileSize, bare.dataDone));
            bareArrived.push_back(mbps(fileSize, bare.arrived));
        } else {
            std::fprintf(stderr, "round %d: the bare transfer did not complete\n", i + 1);
        }
    }
    const std::vector<double> latencies = messageLatencies(sender, receiver, work.filePath("temp"));
    sender.shutDown();
    receiver.shutDown();

    if (oursArrived.empty() || bareArrived.empty()) {
        std::fprintf(stderr, "no complete transfer to compare\n");
        return 1;
    }
    const double ratioData = median(oursData) / median(bareData);
    const double ratioArrived = median(oursArrived) / median(bareArrived);
    std::printf("File transfer, %lld MB on loopback %s -> %s, %d-byte chunks, median of %d rounds\n",
                megabytes, qPrintable(kSender), qPrintable(kReceiver), kChunk, kRounds);
    std::printf("%-44s %16s %18s\n", "", "to last chunk", "to \"file arrived\"");
    std::printf("%-44s %13.1f MB/s %15.1f MB/s\n", "Parlix send job (probe, transfer, linger)", median(oursData),
                median(oursArrived));
    std::printf("%-44s %13.1f MB/s %15.1f MB/s\n", "bare stop-and-wait client (POSIX, no linger)", median(bareData),
                median(bareArrived));
    std::printf("%-44s %18.2f %18.2f\n", "ratio ours / bare", ratioData, ratioArrived);
    std::printf("(to last chunk: ours until the sender shows 100%%, bare until the last \"ok\")\n\n");

    if (!latencies.empty()) {
        const auto [low, high] = std::minmax_element(latencies.begin(), latencies.end());
        std::printf("Message (kind 1), send job start -> receiver's hand-over, %zu messages\n", latencies.size());
        std::printf("%-44s %10.2f ms\n", "median", median(latencies));
        std::printf("%-44s %10.2f ms\n", "min", *low);
        std::printf("%-44s %10.2f ms\n", "max", *high);
    }
    return 0;
}
