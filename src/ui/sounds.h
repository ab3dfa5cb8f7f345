#pragma once

#include <QObject>
#include <QString>

class QMediaPlayer;
class QAudioOutput;

// The notification sounds: the speaker beep, and the user's own sound file through the media
// player. Failures are silent.
class Sounds : public QObject
{
    Q_OBJECT
public:
    explicit Sounds(QObject *parent = nullptr);
    static void beep(int count);
    void playFile(const QString &path);

private:
    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_output = nullptr;
};
