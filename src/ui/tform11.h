#pragma once

#include <QDialog>

class QLineEdit;

// The group label prompt "Запрос". Created once and reused, so the field keeps its text.
class TForm11 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm11(QWidget *parent = nullptr);
    QLineEdit *Edit1() const { return m_edit; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *m_edit = nullptr;
};
