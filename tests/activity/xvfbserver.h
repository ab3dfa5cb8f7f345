#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// An Xvfb of the test's own on a free display number, and xdotool driving it.
class XvfbServer
{
public:
    ~XvfbServer();

    // The first of Xvfb and xdotool that is not installed, or empty.
    static QString missingTool();

    // Starts the server and waits until it accepts connections.
    bool start();
    void stop();
    QString display() const { return m_display; }
    QString errorString() const { return m_error; }

    // Runs xdotool with these arguments against this server; true when it succeeded.
    bool xdotool(const QStringList &arguments);

private:
    // Tests take their X servers from these display numbers only.
    static constexpr int kFirstDisplay = 140;
    static constexpr int kLastDisplay = 159;

    bool startOn(int number);

    QProcess m_server;
    QString m_display;
    QString m_error;
};
