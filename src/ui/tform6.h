#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

class QTextEdit;

// A letter window: one per received letter, read-only, with "Сохранить" and "Печать". Every
// minute it comes back to the front while the main window is shown, so that a letter left behind
// while the program sat in the tray is not missed.
class TForm6 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm6(const QString &caption, std::function<bool()> mainWindowVisible, QWidget *parent = nullptr);

    QTextEdit *view() const { return m_view; }
    QTimer *Timer1() { return &m_timer; }
    void save();
    void print();

private:
    QTextEdit *m_view = nullptr;
    QTimer m_timer;
    std::function<bool()> m_mainWindowVisible;
};
