#pragma once

#include <QList>
#include <QObject>

class QAction;
class QActionGroup;
class QMenu;
class QSystemTrayIcon;
class QTimer;

// The tray icon: the own status's icon, or all three in turn every 200 ms while something waits
// for the user (the attention mark); its menu sets the status or closes the program.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    // Rebuilds the icon list from the status and the attention mark and shows the icon.
    void icons_refresh(int status, bool attention);
    void setChecked(int status);
    void setIgnoresClicks(bool ignore) { m_ignoreClicks = ignore; }
    void remove();

    QSystemTrayIcon *icon() const { return m_tray; }
    QMenu *menu() const { return m_menu; }
    // The icon numbers (1..3) cycled through, and the animation's interval.
    QList<int> iconList() const { return m_icons; }
    int interval() const;
    bool animating() const;

signals:
    void statusChosen(int status);
    void closeRequested();
    void restoreRequested();

private:
    void showNext();

    QSystemTrayIcon *m_tray = nullptr;
    QMenu *m_menu = nullptr;
    QActionGroup *m_statusActions = nullptr;
    QTimer *m_animation = nullptr;
    QList<int> m_icons;
    int m_next = 0;
    bool m_built = false;
    bool m_ignoreClicks = false;
};
