#include "scalerun.h"

#include "support/programprocess.h"
#include "support/runningcopy.h"

#include "app/parlixapp.h"
#include "contacts/contacttable.h"
#include "net/receivingserver.h"
#include "net/sendjobs.h"
#include "platform/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>

namespace {

const QColor kBlue(0, 0, 255);

// The settings lines of a copy: its name and the table of all the others (legacy list keys).
QByteArray settingsFor(const QString &own, const QStringList &all)
{
    QByteArray lines = "usernam=" + ScaleRun::nameOf(own).toLatin1() + "\r\n";
    int row = 0;
    for (const QString &address : all) {
        if (address == own)
            continue;
        const QByteArray n = QByteArray::number(++row).rightJustified(4, '0');
        lines += "user_name" + n + "=" + ScaleRun::nameOf(address).toLatin1() + "\r\nuser_addr" + n + "=" + address.toLatin1() + "\r\n";
    }
    return lines;
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

} // namespace

ScaleRun::ScaleRun(const QString &prefix, int first, int count, bool withProcess)
    : m_withProcess(withProcess)
{
    for (int i = 0; i < count; ++i)
        m_addresses << prefix + QString::number(first + i);
}

ScaleRun::~ScaleRun()
{
    for (auto &copy : m_copies)
        copy.reset();
    if (m_process)
        m_process->terminate();
}

QString ScaleRun::nameOf(const QString &address)
{
    return QStringLiteral("c") + address.section(u'.', 2, 3).replace(u'.', u'-');
}

bool ScaleRun::start()
{
    m_started.start();
    const int inProcess = int(m_addresses.size()) - (m_withProcess ? 1 : 0);
    if (m_withProcess) {
        const QString address = m_addresses.last();
        m_process = std::make_unique<ProgramProcess>(address);
        QFile ini(QDir(m_process->home()).filePath("parlix7.ini"));
        if (!ini.open(QIODevice::WriteOnly))
            return false;
        ini.write("[options]\r\nautorun=0\r\nCheckBox_iponly=1\r\n" + settingsFor(address, m_addresses));
        ini.close();
    }
    for (int i = 0; i < inProcess; ++i) {
        m_copies.push_back(std::make_unique<RunningCopy>(m_addresses[i], settingsFor(m_addresses[i], m_addresses)));
        if (!m_copies.back()->app().server().isActive()) {
            m_failure = QStringLiteral("%1 does not listen").arg(m_addresses[i]);
            return false;
        }
        if (m_withProcess && i == inProcess / 2 && !m_process->start()) { // amid the others
            m_failure = QStringLiteral("the program process did not start");
            return false;
        }
    }
    return true;
}

qint64 ScaleRun::waitForFullRosters(int timeoutMs)
{
    const auto full = [this] {
        for (const auto &copy : m_copies) {
            ContactTable &table = copy->app().table();
            for (int row = 1; row < int(m_addresses.size()); ++row)
                if (!table.user(row)->connected)
                    return false;
        }
        return true;
    };
    if (!waitUntil(full, timeoutMs)) {
        int missing = 0;
        for (const auto &copy : m_copies)
            for (int row = 1; row < int(m_addresses.size()); ++row)
                missing += !copy->app().table().user(row)->connected;
        m_failure = QStringLiteral("%1 roster entries missing").arg(missing);
        return -1;
    }
    return m_started.elapsed();
}

int ScaleRun::sendMessages(int count, int timeoutMs)
{
    QHash<QByteArray, int> addressee; // message text -> index of the copy it goes to
    const int copies = int(m_copies.size());
    for (int i = 0; i < count; ++i) {
        const int from = QRandomGenerator::global()->bounded(copies);
        int to = QRandomGenerator::global()->bounded(copies - 1);
        to += to >= from;
        const QByteArray text = "scale message " + QByteArray::number(i);
        QFile file;
        const QString path = TempFiles::create(file);
        if (path.isEmpty())
            continue;
        file.write("{\\rtf1\\ansi " + text + "}");
        file.close();
        addressee.insert(text, to);
        RunningCopy &sender = *m_copies[from];
        sender.app().jobs().sendfileto3('1', path, m_addresses[to], 7456, nameOf(m_addresses[to]),
                                        nameOf(m_addresses[from]));
    }
    const auto shownCount = [this](const QByteArray &text, int at) {
        int n = 0;
        for (const RunningCopy::Message &message : m_copies[at]->messages)
            n += message.content.contains(text + '}');
        return n;
    };
    const auto all = [&] {
        int arrived = 0;
        for (const auto &copy : m_copies)
            arrived += int(copy->messages.size());
        return arrived >= addressee.size();
    };
    waitUntil(all, timeoutMs);
    QTest::qWait(1000); // anything shown twice would show now
    int once = 0;
    for (auto it = addressee.cbegin(); it != addressee.cend(); ++it) {
        bool elsewhere = false;
        for (int c = 0; c < copies; ++c)
            elsewhere = elsewhere || (c != it.value() && shownCount(it.key(), c) > 0);
        once += shownCount(it.key(), it.value()) == 1 && !elsewhere;
    }
    if (once != count)
        m_failure = QStringLiteral("%1 of %2 messages shown exactly once").arg(once).arg(count);
    return once;
}

int ScaleRun::endOneByOne(int timeoutMs)
{
    int shown = 0;
    while (!m_copies.empty()) {
        const QString ended = m_copies.front()->address();
        m_copies.front()->shutDown();
        m_copies.erase(m_copies.begin());
        const QString line = QStringLiteral(" Отключился ") + nameOf(ended) + u'.';
        const bool everywhere = waitUntil([&] {
            for (const auto &copy : m_copies)
                if (!copy->hasLine(line, kBlue))
                    return false;
            return true;
        }, timeoutMs);
        if (everywhere)
            ++shown;
        else if (m_failure.isEmpty())
            m_failure = QStringLiteral("the end of %1 was not shown everywhere").arg(ended);
    }
    return shown;
}

qint64 ScaleRun::processPeakKb() const
{
    if (!m_process || m_process->process().state() != QProcess::Running)
        return -1;
    QFile status(QStringLiteral("/proc/%1/status").arg(m_process->process().processId()));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}
