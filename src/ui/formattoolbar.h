#pragma once

#include <QColor>
#include <QFrame>

class QComboBox;
class QFontComboBox;
class QPushButton;
class QToolButton;

// The row above the input editor: font name, colour and size of what is typed, bold and italic,
// the two picture buttons, the smiley picker button, and at the right edge the send area.
class FormatToolbar : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kHeight = 24;

    explicit FormatToolbar(QWidget *parent = nullptr);

    QFontComboBox *fontChooser() const { return m_font; }
    QComboBox *colourChooser() const { return m_colour; }
    QComboBox *sizeBox() const { return m_size; }
    QToolButton *btn_bld() const { return m_bold; }
    QToolButton *btn_itl() const { return m_italic; }
    QToolButton *pictureButton(int n) const { return n == 1 ? m_picture1 : m_picture3; }
    QToolButton *pickerButton() const { return m_picker; }
    QPushButton *Button1() const { return m_send; }

    // The controls show a font without reporting a change.
    void showFont(const QString &name, const QColor &colour, bool bold, bool italic);
    void showSize(int points);
    // The send area: the button's width plus 15 when shown, nothing otherwise.
    void setSendAreaShown(bool shown);
    int sendAreaWidth() const;
    // The size box's text as points: 12 when it is not a number.
    static int sizeFromText(const QString &text);

signals:
    void fontNameChosen(const QString &name);
    void colourChosen(const QColor &colour);
    void sizeChosen(int points);
    void boldToggled(bool on);
    void italicToggled(bool on);
    void pictureRequested(int n);
    void pickerRequested();
    void sendClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QToolButton *toolButton(const QString &text, const QString &name);
    void buildColours();
    int colourIndex(const QColor &colour);

    QFontComboBox *m_font = nullptr;
    QComboBox *m_colour = nullptr;
    QComboBox *m_size = nullptr;
    QToolButton *m_bold = nullptr;
    QToolButton *m_italic = nullptr;
    QToolButton *m_picture1 = nullptr;
    QToolButton *m_picture3 = nullptr;
    QToolButton *m_picker = nullptr;
    QWidget *m_sendArea = nullptr;
    QPushButton *m_send = nullptr;
};
