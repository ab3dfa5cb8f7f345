#pragma once

#include <QObject>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextDocument>

#include <functional>
#include <memory>

// Copies a large document into another one slice by slice, one slice per turn of the event loop,
// so that a message of many megabytes never holds the window still for long. Text added to the
// target meanwhile goes after the copied part: the copy keeps its own insertion point.
class SlicedInsert : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSliceChars = 256 * 1024;

    // `imposed`, when valid, is merged over the copied text (the user's own conversation font).
    SlicedInsert(std::unique_ptr<QTextDocument> source, QTextDocument *target, int position,
                 const QTextCharFormat &imposed, std::function<void()> done);

    // Copies the next slice; false once everything is in (or the target is gone).
    bool step();
    // Copies everything now.
    void finish();
    // Starts copying on the event loop; the object deletes itself when done.
    void start();

private:
    std::unique_ptr<QTextDocument> m_source;
    QPointer<QTextDocument> m_target;
    int m_position;
    int m_sourcePosition = 0;
    QTextCharFormat m_imposed;
    std::function<void()> m_done;
};
