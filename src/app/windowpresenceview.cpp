#include "windowpresenceview.h"

#include "parlixapp.h"

#include "ui/dialogs.h"
#include "ui/sounds.h"
#include "ui/tform2.h"
#include "ui/tform3.h"
#include "ui/inputeditor.h"
#include "ui/tform6.h"
#include "ui/tform7.h"
#include "platform/rtf/rtfdocument.h"

#include <QLabel>
#include <QTextCursor>
#include <QTextEdit>

WindowPresenceView::WindowPresenceView(ParlixApp &app)
    : m_app(app)
{
}

void WindowPresenceView::appendLine(const QString &text, const QTextCharFormat &format)
{
    if (TForm2 *form2 = m_app.form2())
        form2->appendConversationLine(text, format);
    emit m_app.lineAdded(text, format.foreground().color());
}

bool WindowPresenceView::mainWindowActive() const
{
    TForm2 *form2 = m_app.form2();
    return form2 && form2->isVisible() && form2->isActiveWindow();
}

bool WindowPresenceView::settingsWindowExists() const
{
    return m_app.form3() != nullptr;
}

bool WindowPresenceView::settingsWindowActive() const
{
    return m_app.form3() && m_app.form3()->isActiveWindow();
}

void WindowPresenceView::closeSettingsWindow()
{
    if (m_app.form3())
        m_app.form3()->close();
}

void WindowPresenceView::raiseMainWindow()
{
    if (TForm2 *form2 = m_app.form2())
        form2->arest();
}

void WindowPresenceView::setAttentionMark(bool on)
{
    if (TForm2 *form2 = m_app.form2())
        form2->setAttention(on);
}

void WindowPresenceView::beep(Beep kind, int count, const QString &soundFile)
{
    if (kind == Beep::SoundFile)
        m_sounds.playFile(soundFile);
    else
        Sounds::beep(count);
}

void WindowPresenceView::showOwnStatus(int status, const QColor &colour)
{
    if (TForm2 *form2 = m_app.form2())
        form2->showOwnStatus(status, colour);
}

void WindowPresenceView::askAutoAnswerText()
{
    // Offscreen nobody could close the window: it is not shown there.
    if (m_app.form7() && !Dialogs::headless())
        m_app.form7()->exec();
}

QString WindowPresenceView::progressText() const
{
    return m_app.form2() ? m_app.form2()->RxLabel2()->text() : QString();
}

void WindowPresenceView::setProgressText(const QString &text)
{
    if (m_app.form2())
        m_app.form2()->RxLabel2()->setText(text);
}

QTextDocument *WindowPresenceView::conversation()
{
    return m_app.form2()->RichEdit1()->document();
}

bool WindowPresenceView::mainWindowVisible() const
{
    return m_app.form2() && m_app.form2()->isVisible();
}

bool WindowPresenceView::inputEmpty() const
{
    return !m_app.form2() || m_app.form2()->RxRichEdit1()->document()->isEmpty();
}

void WindowPresenceView::scrolltoend()
{
    if (TForm2 *form2 = m_app.form2())
        form2->scrolltoend();
}

void WindowPresenceView::openLetter(const QString &caption, std::unique_ptr<QTextDocument> content, bool minimised,
                                    const QString &saveAs)
{
    auto *letter = new TForm6(caption, [this] { return mainWindowVisible(); });
    m_app.adoptLetter(letter);
    content->setParent(letter->view());
    letter->view()->setDocument(content.release());
    letter->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (minimised)
        letter->showMinimized();
    else
        letter->showNormal();
    letter->raise();
    if (!saveAs.isEmpty())
        RtfDocument::saveFile(*letter->view()->document(), saveAs);
}

QTextDocument *WindowPresenceView::input()
{
    return m_app.form2()->RxRichEdit1()->document();
}

void WindowPresenceView::setInputReadOnly(bool readOnly)
{
    m_app.form2()->RxRichEdit1()->setReadOnly(readOnly);
    if (!readOnly && m_app.form2()->isActiveWindow())
        m_app.form2()->RxRichEdit1()->setFocus();
}

void WindowPresenceView::leaveLetterMode()
{
    m_app.form2()->setLetterMode(false);
}
