// Prints, as a table, how long a copy whose table holds 100 contacts takes from its start until
// all 100 rows are connected, when all 100 contacts are running. The contacts are fake peers on
// 127.0.2.1 ... 127.0.2.100, served by one thread of their own: each takes the online query and
// answers as a running copy does, with a new connection from its own address to the copy's port
// 7456 carrying the online answer. Beside the total it shows when the poll's queries reached the
// peers, which is the poll's own pace (a 10 ms pause after each row, about 1 s for 100 rows).
// Runs offscreen. Figures only: nothing here fails on a slow machine.
#include "support/runningcopy.h"

#include "contacts/contacttable.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kPeers = 100;
constexpr int kRounds = 3;
constexpr int kRoundTimeoutMs = 30000;

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString peerAddress(int n)
{
    return QStringLiteral("127.0.2.%1").arg(n);
}

// Legacy list keys, as an old settings file holds the contact table.
QByteArray contactLines()
{
    QByteArray lines;
    for (int n = 1; n <= kPeers; ++n) {
        const QByteArray key = QByteArray::number(n).rightJustified(4, '0');
        lines += "user_name" + key + "=c" + QByteArray::number(n) + "\r\nuser_addr" + key + "="
            + peerAddress(n).toUtf8() + "\r\n";
    }
    return lines;
}

// What the peers saw in one round, in steady-clock nanoseconds.
struct PeerRecord
{
    std::vector<qint64> queries;  // a well-formed online query arrived complete
    std::vector<qint64> answers;  // an answer was written and its connection closed
    int malformed = 0;            // a connection that carried something other than an online query
    int answerFailures = 0;
};

// The 100 contacts. Lives on its own thread: the copy under test has the main thread, and a peer
// that waited for the main thread to serve it would measure the benchmark, not the poll.
class PeerFarm : public QObject
{
    Q_OBJECT
public:
    // Runs on the farm's thread. False when an address could not be taken.
    bool listen()
    {
        for (int n = 1; n <= kPeers; ++n) {
            auto *server = new QTcpServer(this);
            if (!server->listen(QHostAddress(peerAddress(n)), 7456)) {
                std::fprintf(stderr, "cannot listen on %s:7456: %s\n", qPrintable(peerAddress(n)),
                             qPrintable(server->errorString()));
                return false;
            }
            connect(server, &QTcpServer::newConnection, this, [this, server, n] {
                while (QTcpSocket *socket = server->nextPendingConnection())
                    take(socket, n);
            });
        }
        return true;
    }

    PeerRecord takeRecord()
    {
        PeerRecord record = std::move(m_record);
        m_record = PeerRecord();
        return record;
    }

private:
    // A running copy reads a system message to the end of its connection, then answers.
    void take(QTcpSocket *socket, int n)
    {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [socket, buffer] { *buffer += socket->readAll(); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, buffer, n] {
            *buffer += socket->readAll();
            socket->deleteLater();
            const qsizetype body = buffer->indexOf("\r[");
            if (!buffer->startsWith("5183chatlink294\r3\r") || body < 0
                || buffer->mid(body + 1, 27) != "[px001][0000000025][online]") {
                // The copy's offline notices at shutdown come here too; they need no answer.
                if (!buffer->contains("[px004]"))
                    ++m_record.malformed;
                return;
            }
            m_record.queries.push_back(nowNs());
            answer(socket->peerAddress(), n);
        });
    }

    void answer(const QHostAddress &copy, int n)
    {
        auto *socket = new QTcpSocket(this);
        const QByteArray name = "Peer" + QByteArray::number(n);
        const QByteArray bytes = "5183chatlink294\r3\r" + name + "\r[px001][0000000025][onlin2]["
            + name.rightJustified(15, ' ') + "][online][\r]";
        connect(socket, &QTcpSocket::connected, this, [socket, bytes] {
            socket->write(bytes);
            socket->disconnectFromHost();
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_record.answers.push_back(nowNs());
            socket->deleteLater();
        });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError error) {
            if (error == QAbstractSocket::RemoteHostClosedError)
                return;
            ++m_record.answerFailures;
            socket->deleteLater();
        });
        // From the peer's own address: the copy knows its contacts by the address they come from.
        if (!socket->bind(QHostAddress(peerAddress(n)), 0)) {
            ++m_record.answerFailures;
            socket->deleteLater();
            return;
        }
        socket->connectToHost(copy, 7456);
    }

    PeerRecord m_record;
};

// Runs the main thread's events (the copy's hand-overs from its jobs) until `done` holds or the
// time is over; the check follows every batch of events, so the moment seen is close to the real one.
bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QTimer wake;
    wake.start(5);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

struct Round
{
    bool ok = false;
    int connected = 0;
    double started = 0;      // the copy's start() returned: listener open, poll job started
    double firstQuery = 0;   // the poll's first query complete at its peer
    double lastQuery = 0;    // ... and its last: the span of the poll's own connection starts
    double lastAnswer = 0;   // the last peer's answer delivered
    double allConnected = 0; // the hundredth row connected
    PeerRecord record;
};

double ms(qint64 fromNs, qint64 toNs)
{
    return double(toNs - fromNs) / 1e6;
}

int connectedRows(ContactTable &table)
{
    int count = 0;
    for (int row = 1; row <= kPeers; ++row)
        if (table.user(row)->connected)
            ++count;
    return count;
}

Round runRound(int index, PeerFarm &farm)
{
    Round round;
    // A listening address of its own per round, so nothing of the previous copy's connections
    // lingers on it.
    const QString address = QStringLiteral("127.0.0.9%1").arg(index + 1);
    const qint64 origin = nowNs();
    RunningCopy copy(address, "usernam=Bench\r\n" + contactLines());
    round.started = ms(origin, nowNs());
    ContactTable &table = copy.app().table();
    round.ok = waitUntil([&] { return connectedRows(table) == kPeers; }, kRoundTimeoutMs);
    const qint64 done = nowNs();
    round.allConnected = ms(origin, done);
    round.connected = connectedRows(table);
    copy.shutDown();
    QMetaObject::invokeMethod(&farm, [&farm] { return farm.takeRecord(); }, Qt::BlockingQueuedConnection,
                              &round.record);
    const auto &q = round.record.queries;
    const auto &a = round.record.answers;
    if (!q.empty()) {
        round.firstQuery = ms(origin, *std::min_element(q.begin(), q.end()));
        round.lastQuery = ms(origin, *std::max_element(q.begin(), q.end()));
    }
    if (!a.empty()) {
        // Only the answers of this round's poll: the shutdown's notices get none.
        round.lastAnswer = ms(origin, *std::max_element(a.begin(), a.end()));
    }
    return round;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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
    // Whatever the copy puts in TEMP stays inside the work folder.
    qputenv("TEMP", work.filePath("temp").toUtf8());
    QApplication application(argc, argv);

    QThread farmThread;
    farmThread.setObjectName(QStringLiteral("fake peers"));
    PeerFarm farm;
    farm.moveToThread(&farmThread);
    farmThread.start();
    bool listening = false;
    QMetaObject::invokeMethod(&farm, [&farm] { return farm.listen(); }, Qt::BlockingQueuedConnection, &listening);
    if (!listening) {
        QMetaObject::invokeMethod(&farm, [&farm] { qDeleteAll(farm.children()); }, Qt::BlockingQueuedConnection);
        farmThread.quit();
        farmThread.wait();
        return 1;
    }

    std::vector<Round> rounds;
    for (int i = 0; i < kRounds; ++i)
        rounds.push_back(runRound(i, farm));

    // The servers and sockets belong to the farm's thread: they go there.
    QMetaObject::invokeMethod(&farm, [&farm] { qDeleteAll(farm.children()); }, Qt::BlockingQueuedConnection);
    farmThread.quit();
    farmThread.wait();

    std::printf("Start-up poll, %d contacts on 127.0.2.1-%d (fake peers answering as running copies), %d rounds\n",
                kPeers, kPeers, kRounds);
    std::printf("times in ms from the copy's start\n");
    std::printf("%-7s %10s %12s %12s %12s %14s %10s\n", "round", "started", "1st query", "last query",
                "last answer", "all connected", "connected");
    std::vector<double> totals, spans, lastQueries;
    for (std::size_t i = 0; i < rounds.size(); ++i) {
        const Round &r = rounds[i];
        std::printf("%-7zu %10.1f %12.1f %12.1f %12.1f %14s %6d/%d\n", i + 1, r.started, r.firstQuery, r.lastQuery,
                    r.lastAnswer, r.ok ? qPrintable(QString::number(r.allConnected, 'f', 1)) : "not reached",
                    r.connected, kPeers);
        if (r.record.malformed || r.record.answerFailures || int(r.record.queries.size()) != kPeers)
            std::printf("        queries %zu, answers %zu, malformed %d, failed answers %d\n", r.record.queries.size(),
                        r.record.answers.size(), r.record.malformed, r.record.answerFailures);
        if (r.ok)
            totals.push_back(r.allConnected);
        spans.push_back(r.lastQuery - r.firstQuery);
        lastQueries.push_back(r.lastQuery);
    }
    std::printf("%-7s %10s %12s %12.1f %12s %14s\n", "median", "", "", median(lastQueries), "",
                totals.empty() ? "-" : qPrintable(QString::number(median(totals), 'f', 1)));
    std::printf("poll's own connection starts, first to last query: median %.1f ms for %d rows (10 ms pause per row)\n",
                median(spans), kPeers);
    return 0;
}

#include "main.moc"
