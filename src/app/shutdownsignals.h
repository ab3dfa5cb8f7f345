#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP become a shutdown request on the main thread. The handler only
// writes a byte into a pipe; the program's one shutdown sequence does the rest.
class ShutdownSignals : public QObject
{
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject *parent = nullptr);
    ~ShutdownSignals() override;

signals:
    void requested(int signal);

private:
    QSocketNotifier *m_notifier = nullptr;
};
