#pragma once

#include <QDialog>

// The smiley picker: the forty pictures in eight columns and five rows of 64 x 64 cells; a click
// chooses one and closes the picker, Esc closes it. It takes every key, so nothing moves in it.
class TForm10 : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kColumns = 8;
    static constexpr int kRows = 5;
    static constexpr int kCell = 64;

    explicit TForm10(QWidget *parent = nullptr);

    // The picture number of the cell at (column, row), both from 0.
    static int pictureAt(int column, int row) { return column + row * kColumns + 1; }
    // The cell's rectangle within the picker, and where the picture of that size is drawn in it.
    static QRect cellRect(int column, int row);
    static QPoint pictureOrigin(const QRect &cell, const QSize &picture);

signals:
    void pictureChosen(int n);
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;
};
