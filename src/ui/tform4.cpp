#include "tform4.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm4::TForm4(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Info"));
    auto *layout = new QVBoxLayout(this);
    auto *text = new QPlainTextEdit(this);
    text->setReadOnly(true);
    text->setPlainText(QStringLiteral("Parlix — обмен сообщениями и файлами в локальной сети.\n"
                                      "Порт TCP 7456."));
    layout->addWidget(text);
    auto *close = new QPushButton(QStringLiteral("CLOSE"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close);
}
