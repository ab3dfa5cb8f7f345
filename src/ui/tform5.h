#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QPlainTextEdit;

// The debug information window "Информация": live connection counters every 200 ms, and the
// main window's receive indicator, whether or not the window is shown.
class TForm5 : public QWidget
{
    Q_OBJECT
public:
    struct Counters
    {
        bool listening = false;
        int incoming = 0;
        int outgoing = 0;
    };

    explicit TForm5(QWidget *parent = nullptr);

    void setSource(std::function<Counters()> source) { m_source = std::move(source); }
    static QString counterText(const Counters &counters);
    QString statusText() const;
    QTimer *Timer1() { return &m_timer; }

signals:
    void receiving(bool active); // only while the listening socket is open

protected:
    void showEvent(QShowEvent *event) override;

private:
    void onTimer();

    QPlainTextEdit *m_text = nullptr;
    QLabel *m_status = nullptr;
    QTimer m_timer;
    std::function<Counters()> m_source;
};
