#pragma once

#include <QWidget>

class QAction;
class QLabel;
class QMenu;

// The thin strip above the conversation: the menu toggle, the "?" panel that opens the help
// file, and the green panel that opens the information box (left button) or the debug menu
// (right button).
class HeaderStrip : public QWidget
{
    Q_OBJECT
public:
    explicit HeaderStrip(QWidget *parent = nullptr);

    QLabel *infoPanel() const { return m_info; }
    QLabel *helpPanel() const { return m_help; }
    QLabel *menuToggle() const { return m_toggle; }
    QMenu *debugMenu() const { return m_debugMenu; }
    bool debugMode() const { return m_debugMode; }

    // Lime with "выкл.меню" while the bottom bar is shown, white with "вкл. меню" while hidden.
    void showMenuState(bool barShown);
    bool barShown() const { return m_barShown; }

signals:
    void infoRequested();
    void helpRequested();
    void menuToggled(bool barShown);
    void debugWindowRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *panel(const QString &text, int width, const QString &name);
    void buildDebugMenu();
    void setDebugMode(bool on);
    void paintInfo(bool held);

    QLabel *m_info = nullptr;
    QLabel *m_help = nullptr;
    QLabel *m_toggle = nullptr;
    QMenu *m_debugMenu = nullptr;
    QAction *m_debugOn = nullptr;
    QAction *m_debugOff = nullptr;
    bool m_debugMode = false;
    bool m_barShown = true;
};
