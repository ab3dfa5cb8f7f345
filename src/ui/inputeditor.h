#pragma once

#include <QTextEdit>

// The input editor: Enter sends unless the send button is shown (then Enter makes a line break
// and only the button sends); in letter mode plain Enter does nothing; Ctrl+Enter always makes a
// line break.
class InputEditor : public QTextEdit
{
    Q_OBJECT
public:
    explicit InputEditor(QWidget *parent = nullptr);

    void setSendButtonOption(bool on) { m_sendButton = on; }
    void setLetterMode(bool on) { m_letterMode = on; }

signals:
    void sendRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_sendButton = false;
    bool m_letterMode = false;
};
