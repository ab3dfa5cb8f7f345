#include "trayicon.h"

#include "platform/rtf/statuspictures.h"

#include <QActionGroup>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

TrayIcon::TrayIcon(QObject *parent)
    : QObject(parent)
    , m_tray(new QSystemTrayIcon(this))
    , m_menu(new QMenu)
    , m_statusActions(new QActionGroup(this))
    , m_animation(new QTimer(this))
{
    connect(m_animation, &QTimer::timeout, this, &TrayIcon::showNext);
    const QString names[3] = {QStringLiteral("Свободен"), QStringLiteral("Занят"), QStringLiteral("Ушел")};
    for (int status = 0; status < 3; ++status) {
        QAction *action = m_menu->addAction(QIcon(QPixmap::fromImage(StatusPictures::transparentPicture(status))),
                                            names[status]);
        action->setCheckable(true);
        action->setChecked(status == 0);
        m_statusActions->addAction(action);
        connect(action, &QAction::triggered, this, [this, status] { emit statusChosen(status); });
    }
    m_menu->addAction(QStringLiteral("------------------"))->setEnabled(false);
    connect(m_menu->addAction(QStringLiteral("Закрыть")), &QAction::triggered, this, &TrayIcon::closeRequested);
    m_tray->setContextMenu(m_menu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (!m_ignoreClicks && (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick))
            emit restoreRequested();
    });
}

TrayIcon::~TrayIcon()
{
    delete m_tray; // before the menu it points to
    delete m_menu;
}

void TrayIcon::icons_refresh(int status, bool attention)
{
    if (status < 0 || status > 2)
        status = 0;
    if (!m_built) {
        m_built = true;
        m_icons = {status + 1};
        m_animation->start();
    }
    m_animation->setInterval(attention ? 200 : 5000);
    m_icons = attention ? QList<int>{1, 2, 3} : QList<int>{status + 1};
    m_next = 0;
    showNext();
    if (attention)
        m_animation->start(); // restarted, so that the blinking starts at once
    if (!m_tray->isVisible())
        m_tray->show();
}

void TrayIcon::showNext()
{
    if (m_icons.isEmpty())
        return;
    m_tray->setIcon(StatusPictures::trayIcon(m_icons[m_next % m_icons.size()] - 1));
    m_next = (m_next + 1) % m_icons.size();
}

void TrayIcon::setChecked(int status)
{
    const QList<QAction *> actions = m_statusActions->actions();
    if (status >= 0 && status < actions.size())
        actions[status]->setChecked(true);
}

void TrayIcon::remove()
{
    m_animation->stop();
    m_tray->hide();
}

int TrayIcon::interval() const
{
    return m_animation->interval();
}

bool TrayIcon::animating() const
{
    return m_animation->isActive();
}
