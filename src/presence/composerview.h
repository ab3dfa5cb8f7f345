#pragma once

class QTextDocument;

// What sending from the input editor needs from the main window.
class ComposerView
{
public:
    virtual ~ComposerView() = default;
    virtual QTextDocument *input() = 0;
    virtual QTextDocument *conversation() = 0;
    virtual void setInputReadOnly(bool readOnly) = 0;
    virtual void scrolltoend() = 0;
    virtual void leaveLetterMode() = 0;
};
