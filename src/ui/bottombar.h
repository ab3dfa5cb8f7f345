#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

// The bar under the input: the receive/status/transmit indicators, the letter toggle, four small
// buttons for the conversation, the send-file button, the status chooser and the settings button.
class BottomBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 60;

    explicit BottomBar(QWidget *parent = nullptr);

    QLabel *receiveIndicator() const { return m_receive; }
    QLabel *progress() const { return m_progress; }
    QLabel *transfer() const { return m_transfer; }
    QToolButton *letterToggle() const { return m_letter; }
    QToolButton *sendFileButton() const { return m_sendFile; }
    QComboBox *statusChooser() const { return m_status; }
    QPushButton *settingsButton() const { return m_settings; }

    // "0" hides the settings button, the status chooser, the letter toggle or the send-file
    // button; any other value shows it.
    void applyButtonKeys(const QString &opt, const QString &stt, const QString &pct, const QString &fls);
    // Shown with its full height, or folded to one pixel and disabled.
    void setShown(bool shown);

signals:
    void conversationFontRequested();
    void clearRequested();
    void pasteRequested();
    void copyRequested();
    void sendFileRequested();
    void statusChosen(int status);
    void settingsRequested();

private:
    QToolButton *smallButton(const QString &text, const QString &hint, const QString &name);

    QLabel *m_receive = nullptr;
    QLabel *m_progress = nullptr;
    QLabel *m_transfer = nullptr;
    QToolButton *m_letter = nullptr;
    QToolButton *m_sendFile = nullptr;
    QComboBox *m_status = nullptr;
    QPushButton *m_settings = nullptr;
};
