#pragma once

#include <QTextCharFormat>
#include <QTextEdit>

// The input editor: Enter sends unless the send button is shown (then Enter makes a line break
// and only the button sends); in letter mode plain Enter does nothing; Ctrl+Enter always makes a
// line break. It keeps two sets of character attributes: what the next typed character gets, and
// what an empty editor starts with.
class InputEditor : public QTextEdit
{
    Q_OBJECT
public:
    explicit InputEditor(QWidget *parent = nullptr);

    void setSendButtonOption(bool on) { m_sendButton = on; }
    void setLetterMode(bool on) { m_letterMode = on; }

    // The input font becomes the insertion attributes, and the defaults while the editor is empty.
    void applyFont(const QTextCharFormat &font);
    // One attribute changed from the toolbar: the insertion attributes, and the defaults while empty.
    void changeFormat(const QTextCharFormat &change);
    // An empty editor starts again from its defaults; returns the insertion attributes.
    QTextCharFormat syncFormat();
    QTextCharFormat defaultFormat() const { return m_default; }
    // Picture n of the smiley set at the caret, on the editor's background.
    bool insertPicture(int n);

signals:
    void sendRequested();
    void formatSyncNeeded();
    void pointerEntered();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;

private:
    bool m_sendButton = false;
    bool m_letterMode = false;
    QTextCharFormat m_default;
};
