#pragma once

#include <QMainWindow>
#include <QColor>
#include <QList>
#include <QRect>
#include <QSet>

class QActionGroup;
class QTimer;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSystemTrayIcon;
class QListWidget;
class QTextCharFormat;
class QTextEdit;
class QPushButton;
class QToolButton;
class InputEditor;
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
    InputEditor *RxRichEdit1() const { return m_input; }
    QPushButton *Button1() const { return m_send; }
    QToolButton *RxSpeedButton5() const { return m_letter; }  // letter mode
    QToolButton *RxSpeedButton6() const { return m_sendFile; } // send file
    void setSendButtonOption(bool on);
    void setLetterMode(bool on);
    QMenu *conversationMenu() const { return m_conversationMenu; }
    // "Очистить экран сообщений": the selection only, or everything when nothing is selected.
    void clearConversation();
    void copyConversation();
    QComboBox *ComboBox1() const { return m_status; }
    QLabel *receiveIndicator() const { return m_receive; } // "Прием"
    QLabel *RxLabel2() const { return m_progress; }        // "Статус (%)"
    QLabel *RxLabel3() const { return m_transfer; }        // "Передача"
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    QMenu *debugMenu() const { return m_debugMenu; }
    bool debugMode() const { return m_debugMode; }

    struct RosterEntry
    {
        QString label;
        QColor colour;
        bool separator = false;
    };

    void icons_refresh(int status);
    void appendConversationLine(const QString &text, const QTextCharFormat &format);
    void arest();                      // back from the tray, to the front; ends the blinking
    void setAttention(bool on);
    bool attention() const { return m_attention; }
    void showOwnStatus(int status, const QColor &colour);
    void showRoster(const QList<RosterEntry> &entries, const QSet<int> &selected);
    QListWidget *ListBox1() const { return m_roster; }
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
    void statusChosen(int status);   // tray radio items and the status chooser
    void rosterSelectionChanged(const QSet<int> &selected);
    void sendRequested();            // Enter by the key rules, or the send button
    void letterModeChanged(bool on);
    void sendFileRequested();
    void conversationFontRequested();  // "Шрифт сообщений"
    void saveConversationRequested();  // "Сохранить сообщения в файле"
    void printConversationRequested(); // "Печать сообщений"
    void linkClicked(const QString &link);
    void addressListRequested();     // roster menu "передать список"

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *buildHeader();
    QWidget *buildBottomBar();
    QWidget *buildInput();
    void buildConversationMenu();
    void updateSendArea();
    void buildTray();
    void setDebugMode(bool on);
    void rememberNormalBounds();

    QLabel *m_info = nullptr;
    QTextEdit *m_conversation = nullptr;
    QListWidget *m_roster = nullptr;
    QMenu *m_conversationMenu = nullptr;
    InputEditor *m_input = nullptr;
    QPushButton *m_send = nullptr;
    QToolButton *m_letter = nullptr;
    QToolButton *m_sendFile = nullptr;
    bool m_sendButtonOption = false;
    QTimer *m_blink = nullptr;
    int m_blinkIcon = 0;
    int m_ownStatus = 0;
    bool m_attention = false;
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
