#include "sounds.h"

#include <QApplication>
#include <QFileInfo>
#include <QUrl>

#if PARLIX_HAVE_MULTIMEDIA
#include <QAudioOutput>
#include <QMediaPlayer>
#endif

Sounds::Sounds(QObject *parent)
    : QObject(parent)
{
}

void Sounds::beep(int count)
{
    for (int i = 0; i < count; ++i)
        QApplication::beep();
}

void Sounds::playFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
#if PARLIX_HAVE_MULTIMEDIA
    if (!m_player) {
        m_player = new QMediaPlayer(this);
        m_output = new QAudioOutput(this);
        m_player->setAudioOutput(m_output);
    }
    m_player->stop();
    m_player->setSource(QUrl::fromLocalFile(path));
    m_player->play();
#endif
}
