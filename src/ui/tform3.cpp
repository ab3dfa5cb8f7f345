#include "tform3.h"

TForm3::TForm3(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("конфигурация программы"));
    setFixedSize(625, 423);
}
