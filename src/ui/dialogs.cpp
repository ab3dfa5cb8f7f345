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
    box(text, QMessageBox::Ok)->exec();
}

bool Dialogs::question(const QString &text)
{
    if (headless()) {
        report(m_headlessAnswer ? QStringLiteral("question (answered Yes)") : QStringLiteral("question (answered No)"),
               text);
        return m_headlessAnswer;
    }
    const std::unique_ptr<QMessageBox> question = box(text, QMessageBox::Yes | QMessageBox::No);
    question->setIcon(QMessageBox::Question);
    question->setDefaultButton(QMessageBox::No);
    return question->exec() == QMessageBox::Yes;
}

std::unique_ptr<QMessageBox> Dialogs::box(const QString &text, QMessageBox::StandardButtons buttons)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Information, QStringLiteral("Parlix"), text, buttons);
    box->setTextFormat(Qt::PlainText);
    return box;
}
