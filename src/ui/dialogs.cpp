#include "dialogs.h"

#include "app/debuglog.h"

#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

Dialogs::Dialogs(const DebugLog *log)
    : m_log(log)
{
}

bool Dialogs::headless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen")
        || QGuiApplication::platformName() == QLatin1String("minimal");
}

void Dialogs::report(const QString &kind, const QString &text) const
{
    const QString line = QStringLiteral("parlix: %1: %2").arg(kind, text);
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
    if (m_log)
        (*m_log)(line);
}

void Dialogs::message(const QString &text)
{
    if (headless()) {
        report(QStringLiteral("message"), text);
        return;
    }
    QMessageBox::information(nullptr, QStringLiteral("Parlix"), text);
}

bool Dialogs::question(const QString &text)
{
    if (headless()) {
        report(m_headlessAnswer ? QStringLiteral("question (answered Yes)") : QStringLiteral("question (answered No)"),
               text);
        return m_headlessAnswer;
    }
    return QMessageBox::question(nullptr, QStringLiteral("Parlix"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}
