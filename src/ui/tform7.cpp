#include "tform7.h"

TForm7::TForm7(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Автоответчик"));
    resize(442, 247);
}
