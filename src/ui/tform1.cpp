#include "tform1.h"

#include <QApplication>
#include <QCloseEvent>

TForm1::TForm1(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("parlix-form"));
    setGeometry(1, 1, 1, 1);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &TForm1::tick);
    m_timer.start();
    qApp->installEventFilter(this);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // A second request while the sequence runs (a signal during its waits) changes nothing.
    if (!m_closing) {
        m_closing = true;
        emit FormCloseQuery();
    }
    event->accept();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ApplicationActivate && watched == qApp)
        emit applicationActivated();
    return QWidget::eventFilter(watched, event);
}
