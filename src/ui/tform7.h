#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The auto-answer window "Автоответчик", shown modally when the user chooses away by hand. The
// text stays in the field as typed between uses; "OK" hands it on, the close box does not.
class TForm7 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm7(QWidget *parent = nullptr);

    QLabel *Label1() const { return m_label; }
    QPlainTextEdit *Memo1() const { return m_memo; }
    QPushButton *Button1() const { return m_button; }

signals:
    // "OK" was pressed with this text in the field (blank or not: whoever arms decides).
    void answerChosen(const QString &text);

private:
    void Button1Click();

    QLabel *m_label = nullptr;
    QPlainTextEdit *m_memo = nullptr;
    QPushButton *m_button = nullptr;
};
