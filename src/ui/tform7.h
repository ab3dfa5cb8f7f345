#pragma once

#include <QDialog>

// The auto-answer window "Автоответчик". Its creation is the last step before the program
// initialises itself.
class TForm7 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm7(QWidget *parent = nullptr);
};
