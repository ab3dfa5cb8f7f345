#include "tform7.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm7::TForm7(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Автоответчик"));
    auto *layout = new QVBoxLayout(this);
    m_label = new QLabel(QStringLiteral("При желании Вы можете оставить сообщение\n"
                                        "для автоответчика (оно будет выведено на экран\n"
                                        "тому, кто напишет Вам сообщение пока Вы отсуствуете)\n"
                                        "Если Вы ничего не введете, сообщение отправлено не будет."),
                         this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    layout->addWidget(m_label);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    m_memo->setFont(font);
    // Tab leaves the field for the button, so that the window works from the keyboard alone.
    m_memo->setTabChangesFocus(true);
    layout->addWidget(m_memo, 1);
    m_button = new QPushButton(QStringLiteral("OK"), this);
    m_button->setObjectName(QStringLiteral("Button1"));
    m_button->setAutoDefault(false);
    layout->addWidget(m_button);
    connect(m_button, &QPushButton::clicked, this, &TForm7::Button1Click);
    resize(442, 247);
    m_memo->setFocus();
}

void TForm7::Button1Click()
{
    // Lines end in CR LF on the wire, as in a text typed on the peers' Windows copies.
    QString text = m_memo->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    emit answerChosen(text);
    accept();
}
