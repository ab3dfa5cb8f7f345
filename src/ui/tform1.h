#pragma once

#include <QTimer>
#include <QWidget>

// The hidden root window "parlix-form": owns the program's lifetime. Its one-second timer drives
// the roster rebuild and the activity poll; closing it runs the one shutdown sequence.
class TForm1 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);

    QTimer *Timer1() { return &m_timer; }

signals:
    void tick();
    // The close handler: the shutdown sequence runs inside this signal, then the window closes.
    void FormCloseQuery();
    // The user switched to the program (the application's activation notice).
    void applicationActivated();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTimer m_timer;
    bool m_closing = false;
};
