#pragma once

#include <QMainWindow>
#include <QRect>

class QActionGroup;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSystemTrayIcon;
class QTextEdit;
struct OptionValues;

// The main window: conversation, roster, bottom bar with the indicators and the status chooser,
// the header strip with its debug menu, and the tray icon. It starts hidden; closing it hides it
// to the tray (or minimises it where there is no tray).
class TForm2 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);

    QTextEdit *RichEdit1() const { return m_conversation; }
    QComboBox *ComboBox1() const { return m_status; }
    QLabel *receiveIndicator() const { return m_receive; } // "Прием"
    QLabel *RxLabel2() const { return m_progress; }        // "Статус (%)"
    QLabel *RxLabel3() const { return m_transfer; }        // "Передача"
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    QMenu *debugMenu() const { return m_debugMenu; }
    bool debugMode() const { return m_debugMode; }

    void icons_refresh(int status);
    void setReceiveIndicator(bool active);
    void removeTrayIcon();
    void setTrayIgnoresClicks(bool ignore) { m_trayIgnoresClicks = ignore; }
    static bool hasTray();

    // Window placement from the options, and back into them by the saving rules.
    void applyPlacement(const OptionValues &values);
    void storePlacement(OptionValues &values) const;

signals:
    void closeRequested();           // tray "Закрыть"
    void debugWindowRequested();     // "окно отладки"
    void infoRequested();            // the green header panel
    void statusChosen(int status);   // tray radio items

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *buildHeader();
    QWidget *buildBottomBar();
    void buildTray();
    void setDebugMode(bool on);
    void rememberNormalBounds();

    QLabel *m_info = nullptr;
    QTextEdit *m_conversation = nullptr;
    QComboBox *m_status = nullptr;
    QLabel *m_receive = nullptr;
    QLabel *m_progress = nullptr;
    QLabel *m_transfer = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    QMenu *m_trayMenu = nullptr;
    QActionGroup *m_statusActions = nullptr;
    QMenu *m_debugMenu = nullptr;
    QAction *m_debugOn = nullptr;
    QAction *m_debugOff = nullptr;
    bool m_debugMode = false;
    bool m_trayIgnoresClicks = false;
    bool m_wasMaximized = false;
    QRect m_normalBounds;
};
