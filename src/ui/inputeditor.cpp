#include "inputeditor.h"

#include <QKeyEvent>

InputEditor::InputEditor(QWidget *parent)
    : QTextEdit(parent)
{
    setObjectName(QStringLiteral("RxRichEdit1"));
    setPlaceholderText(QStringLiteral("вводите сюда текст для отправки"));
    setToolTip(QStringLiteral("вводите сюда текст для отправки"));
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
