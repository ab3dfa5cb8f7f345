#pragma once

#include "rosterpanel.h"

#include <QColor>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QTextCharFormat>

#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSplitter;
class QSystemTrayIcon;
class QTextEdit;
class QToolButton;
class BottomBar;
class FormatToolbar;
class HeaderStrip;
class InputEditor;
class InputPanel;
class TForm10;
class TrayIcon;
struct OptionValues;

// The main window: the header strip, the conversation over the input panel, the roster column,
// the bottom bar, and the tray icon the program lives in. It starts hidden; closing it hides it
// to the tray (or minimises it where there is no tray).
class TForm2 : public QMainWindow
{
    Q_OBJECT
public:
    using RosterEntry = RosterPanel::Entry;

    explicit TForm2(QWidget *parent = nullptr);

    void setLog(std::function<void(const QString &)> log) { m_log = std::move(log); }
    void setInitialised(bool on) { m_initialised = on; }

    QTextEdit *RichEdit1() const { return m_conversation; }
    InputEditor *RxRichEdit1() const { return m_input; }
    QPushButton *Button1() const;
    QToolButton *RxSpeedButton5() const; // letter mode
    QToolButton *RxSpeedButton6() const; // send file
    QComboBox *ComboBox1() const;
    QLabel *receiveIndicator() const;   // "Прием"
    QLabel *RxLabel2() const;           // "Статус (%)"
    QLabel *RxLabel3() const;           // "Передача"
    QListWidget *ListBox1() const;
    RosterPanel *roster() const { return m_roster; }
    HeaderStrip *header() const { return m_header; }
    BottomBar *bottomBar() const { return m_bottom; }
    FormatToolbar *toolbar() const { return m_toolbar; }
    TrayIcon *tray() const { return m_tray; }
    InputPanel *inputPanel() const { return m_inputPanel; }
    QSplitter *slider() const { return m_slider; }
    QMenu *conversationMenu() const { return m_conversationMenu; }
    QMenu *inputMenu() const;
    QMenu *debugMenu() const;
    bool debugMode() const;
    TForm10 *picker() const;
    QSystemTrayIcon *trayIcon() const;
    static bool hasTray();

    // Options that shape the window: colours, the bottom bar and its buttons, the send button.
    void applyOptions(const OptionValues &values);
    void setSendButtonOption(bool on);
    void setLetterMode(bool on);
    void setColourScheme(bool standard);
    void setMenuShown(bool shown);
    bool menuShown() const;
    void setInputHeight(int height);
    int inputHeight() const;

    // Conversation
    void clearConversation(); // the selection only, or everything when nothing is selected
    void copyConversation();
    void pasteIntoInput();
    void appendConversationLine(const QString &text, const QTextCharFormat &format);
    void setConversationFont(const QTextCharFormat &font);

    // Input font: shown by the toolbar, given to the editor's insertion (and default) attributes.
    void applyInputFont(const QTextCharFormat &font);
    QTextCharFormat inputFont() const;
    void syncFontControls();
    void insertPicture(int n);
    void openPicker();

    // Tray, hiding and restoring
    void icons_refresh();
    void icons_refresh(int status) { showOwnStatus(status, QColor()); }
    void amin();
    void arest();
    void a_activate();
    void scrolltoend();
    void setAttention(bool on);
    bool attention() const { return m_attention; }
    void showOwnStatus(int status, const QColor &colour);
    void setStatusColours(const QColor &free, const QColor &busy, const QColor &away);
    void showRoster(const QList<RosterEntry> &entries, const QSet<int> &selected);
    void setReceiveIndicator(bool active);
    void removeTrayIcon();
    void setTrayIgnoresClicks(bool ignore);

    // Window placement from the options, and back into them by the saving rules.
    void applyPlacement(const OptionValues &values);
    void storePlacement(OptionValues &values) const;

signals:
    void closeRequested();           // tray "Закрыть"
    void debugWindowRequested();     // "окно отладки"
    void infoRequested();            // the green header panel
    void helpRequested();            // the "?" panel
    void settingsRequested();
    void statusChosen(int status);   // tray radio items and the status chooser
    void rosterSelectionChanged(const QSet<int> &selected);
    void rosterClicked();
    void addressListRequested();     // roster menu "передать список"
    void sendRequested();            // Enter by the key rules, or the send button
    void letterModeChanged(bool on);
    void sendFileRequested();
    void conversationFontRequested(); // "Шрифт сообщений"
    void inputFontRequested();        // "Шрифт ввода"
    void inputFontChanged(const QTextCharFormat &font); // from the toolbar
    void saveConversationRequested(); // "Сохранить сообщения в файле"
    void printConversationRequested(); // "Печать сообщений"
    void linkClicked(const QString &link);
    void inputHeightChanged(int height); // the splitter was moved by the user

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *buildConversationArea();
    QWidget *buildInputPanel();
    void buildConversationMenu();
    void connectBars();
    void updateSendArea();
    void sliderMoved();
    void applyInputHeight();
    void rememberNormalBounds();
    void log(const QString &text) const;

    std::function<void(const QString &)> m_log;
    HeaderStrip *m_header = nullptr;
    QSplitter *m_columns = nullptr;
    QSplitter *m_slider = nullptr;
    QTextEdit *m_conversation = nullptr;
    InputPanel *m_inputPanel = nullptr;
    FormatToolbar *m_toolbar = nullptr;
    InputEditor *m_input = nullptr;
    RosterPanel *m_roster = nullptr;
    BottomBar *m_bottom = nullptr;
    TrayIcon *m_tray = nullptr;
    QMenu *m_conversationMenu = nullptr;
    QList<QPointer<QWidget>> m_minimised;
    QColor m_conversationBase;
    bool m_sendButtonOption = false;
    bool m_letterMode = false;
    int m_savedInputHeight = 80;
    int m_pendingInputHeight = -1;
    int m_ownStatus = 0;
    bool m_attention = false;
    bool m_restoring = false;
    bool m_initialised = false;
    bool m_wasMaximized = false;
    QRect m_normalBounds;
};
