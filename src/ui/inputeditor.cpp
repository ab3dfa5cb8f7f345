#include "inputeditor.h"

#include "platform/rtf/smileypictures.h"

#include <QKeyEvent>
#include <QTextCursor>

InputEditor::InputEditor(QWidget *parent)
    : QTextEdit(parent)
{
    setObjectName(QStringLiteral("RxRichEdit1"));
    setPlaceholderText(QStringLiteral("вводите сюда текст для отправки"));
    setToolTip(QStringLiteral("вводите сюда текст для отправки"));
    setAcceptRichText(true);
}

void InputEditor::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ControlModifier)) {
        if (!isReadOnly())
            textCursor().insertBlock();
        return;
    }
    if (enter && !m_sendButton) {
        if (!m_letterMode && !isReadOnly())
            emit sendRequested();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void InputEditor::keyReleaseEvent(QKeyEvent *event)
{
    QTextEdit::keyReleaseEvent(event);
    emit formatSyncNeeded();
}

void InputEditor::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && !textCursor().hasSelection())
        emit formatSyncNeeded();
}

void InputEditor::enterEvent(QEnterEvent *event)
{
    QTextEdit::enterEvent(event);
    emit pointerEntered();
}

void InputEditor::applyFont(const QTextCharFormat &font)
{
    setCurrentCharFormat(font);
    if (document()->isEmpty())
        m_default = font;
}

void InputEditor::changeFormat(const QTextCharFormat &change)
{
    QTextCharFormat insertion = currentCharFormat();
    insertion.merge(change);
    setCurrentCharFormat(insertion);
    if (document()->isEmpty())
        m_default.merge(change);
}

QTextCharFormat InputEditor::syncFormat()
{
    if (document()->isEmpty())
        setCurrentCharFormat(m_default);
    return currentCharFormat();
}

bool InputEditor::insertPicture(int n)
{
    QTextCursor cursor = textCursor();
    const bool inserted = SmileyPictures::insert(cursor, n, palette().color(QPalette::Base));
    setTextCursor(cursor);
    return inserted;
}
