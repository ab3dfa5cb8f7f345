#pragma once

#include <QDialog>

// The settings window "конфигурация программы". It exists from start to exit: the debug log is
// written only while it exists.
class TForm3 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);
};
