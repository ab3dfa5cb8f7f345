#include "slicedinsert.h"

#include "platform/rtf/rtfdocument.h"

#include <QTextBlock>

#include <utility>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTimer>

SlicedInsert::SlicedInsert(std::unique_ptr<QTextDocument> source, QTextDocument *target, int position,
                           const QTextCharFormat &imposed, std::function<void()> done)
    : m_source(std::move(source))
    , m_target(target)
    , m_position(position)
    , m_imposed(imposed)
    , m_done(std::move(done))
{
    if (m_target)
        RtfDocument::handOverPictures(*m_source, *m_target);
}

bool SlicedInsert::step()
{
    const int end = m_source->characterCount() - 1; // without the document's final paragraph mark
    if (!m_target || m_sourcePosition >= end)
        return false;
    // A slice ends at a paragraph's end, so that no paragraph is split between two slices.
    int stop = qMin(end, m_sourcePosition + kSliceChars);
    const QTextBlock block = m_source->findBlock(stop);
    if (block.isValid() && stop < end)
        stop = qMin(end, block.position() + block.length());
    QTextCursor slice(m_source.get());
    slice.setPosition(m_sourcePosition);
    slice.setPosition(stop, QTextCursor::KeepAnchor);
    QTextCursor at(m_target);
    at.setPosition(qMin(m_position, m_target->characterCount() - 1));
    const int start = at.position();
    at.insertFragment(QTextDocumentFragment(slice));
    m_position = at.position();
    if (m_imposed.isValid()) {
        at.setPosition(start, QTextCursor::KeepAnchor);
        at.mergeCharFormat(m_imposed);
    }
    m_sourcePosition = stop;
    return m_sourcePosition < end;
}

void SlicedInsert::finish()
{
    while (step()) {
    }
    if (m_done)
        std::exchange(m_done, nullptr)();
}

void SlicedInsert::start()
{
    if (!step()) {
        finish();
        deleteLater();
        return;
    }
    QTimer::singleShot(0, this, &SlicedInsert::start);
}
