#pragma once

#include <QDialog>

// The information box "Info": a read-only text and the button "CLOSE".
class TForm4 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);
};
