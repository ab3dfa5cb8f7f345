#include "tform5.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

TForm5::TForm5(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Информация"));
    resize(278, 317);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(m_text, 1);
    m_status = new QLabel(this);
    m_status->setFixedHeight(34);
    layout->addWidget(m_status);
    m_timer.setInterval(200);
    connect(&m_timer, &QTimer::timeout, this, &TForm5::onTimer);
    m_timer.start();
}

QString TForm5::counterText(const Counters &counters)
{
    if (counters.listening)
        return QStringLiteral("входящие=%1, исходящие=%2").arg(counters.incoming).arg(counters.outgoing);
    return QStringLiteral(" исходящие=%1").arg(counters.outgoing);
}

QString TForm5::statusText() const
{
    return m_status->text();
}

void TForm5::onTimer()
{
    m_timer.stop();
    const Counters counters = m_source ? m_source() : Counters();
    m_status->setText(counterText(counters));
    if (counters.listening)
        emit receiving(counters.incoming > 0);
    m_timer.start();
}

void TForm5::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_text->moveCursor(QTextCursor::End);
    m_text->ensureCursorVisible();
}
