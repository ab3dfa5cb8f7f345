#pragma once

#include <QPointer>
#include <QTextCharFormat>
#include <QWidget>

class FormatToolbar;
class InputEditor;
class QMenu;
class TForm10;

// The input panel: the formatting toolbar over the input editor, the input font they share, the
// picture buttons and the smiley picker, and the input's context menu.
class InputPanel : public QWidget
{
    Q_OBJECT
public:
    explicit InputPanel(QWidget *parent = nullptr);
    ~InputPanel() override;

    FormatToolbar *toolbar() const { return m_toolbar; }
    InputEditor *editor() const { return m_input; }
    QMenu *menu() const { return m_menu; }
    TForm10 *picker() const;

    // The input font: shown by the toolbar, given to the editor's insertion (and default) attributes.
    void applyInputFont(const QTextCharFormat &font);
    QTextCharFormat inputFont() const { return m_inputFont; }
    // The toolbar shows what the next typed character gets.
    void syncFontControls();
    void insertPicture(int n);
    void openPicker();

signals:
    void inputFontChanged(const QTextCharFormat &font); // from the toolbar
    void inputFontRequested();                          // "Шрифт ввода"
    void copyRequested();                               // "Копировать": the conversation's selection

private:
    void connectToolbar();
    void buildMenu();
    void changeInputFont(const QTextCharFormat &change, bool focus);

    FormatToolbar *m_toolbar = nullptr;
    InputEditor *m_input = nullptr;
    QMenu *m_menu = nullptr;
    QPointer<TForm10> m_picker;
    QTextCharFormat m_inputFont;
};
