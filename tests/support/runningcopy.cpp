#include "runningcopy.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

RunningCopy::RunningCopy(const QString &address, const QByteArray &settings)
    : m_address(address)
{
    QFile ini(m_home.filePath("parlix7.ini"));
    if (ini.open(QIODevice::WriteOnly)) {
        ini.write("[options]\r\nautorun=0\r\nCheckBox_iponly=1\r\nsavedir=" + savedir().toUtf8() + "/\r\n" + settings);
        ini.close();
    }
    m_app = std::make_unique<ParlixApp>(CommandLine::parse({"--home", m_home.path(), "--listen", address}), QString());
    connect(m_app.get(), &ParlixApp::lineAdded, this, [this](const QString &text, const QColor &colour) {
        lines.append({text, colour});
    });
    connect(m_app.get(), &ParlixApp::messageArrived, this, [this](const QString &path, const QString &peerip, bool letter) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        messages.append({file.readAll(), peerip, letter});
    });
    connect(m_app.get(), &ParlixApp::systemMessageArrived, this,
            [this](const QByteArray &text, const QString &) { systemMessages.append(text); });
    connect(m_app.get(), &ParlixApp::noticeArrived, this,
            [this](const QByteArray &text, const QString &sender, int code, const QString &peerip) {
                notices.append({text, sender, code, peerip});
            });
    connect(m_app.get(), &ParlixApp::statusFieldChanged, this, [this](const QString &text) { statusTexts << text; });
    connect(m_app.get(), &ParlixApp::peerUnreachable, this, [this](const QString &address) { unreachable << address; });
    m_app->start();
}

RunningCopy::~RunningCopy()
{
    shutDown();
}

bool RunningCopy::hasLine(const QString &part, const QColor &colour) const
{
    for (const auto &line : lines)
        if (line.first.contains(part) && line.second == colour)
            return true;
    return false;
}

void RunningCopy::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    QSignalSpy finished(m_app.get(), &ParlixApp::finished);
    m_app->requestShutdown();
    if (finished.isEmpty())
        finished.wait(15000);
}
