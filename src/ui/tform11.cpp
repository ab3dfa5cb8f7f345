#include "tform11.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm11::TForm11(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(QStringLiteral("Запрос"));
    auto *layout = new QVBoxLayout(this);
    m_edit = new QLineEdit(this);
    m_edit->setMaxLength(20);
    layout->addWidget(m_edit);
    auto *button = new QPushButton(QStringLiteral("Введите метку группы"), this);
    connect(button, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(button);
    setFixedSize(sizeHint());
}

void TForm11::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_edit->setFocus();
}
