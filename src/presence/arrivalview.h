#pragma once

#include <QString>
#include <QTextDocument>

#include <memory>

class QTextDocument;

// What the arrival of a message or letter needs from the windows.
class ArrivalView
{
public:
    virtual ~ArrivalView() = default;
    virtual QTextDocument *conversation() = 0;
    virtual bool mainWindowVisible() const = 0;
    virtual bool inputEmpty() const = 0;
    virtual void scrolltoend() = 0;
    // A letter window with the received rich text; shown minimised or normally, on top.
    virtual void openLetter(const QString &caption, std::unique_ptr<QTextDocument> content, bool minimised,
                            const QString &saveAs) = 0;
};
