#pragma once

#include <QDialog>

class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QToolButton;
class QWidget;

// The settings window "конфигурация программы". It exists from start to exit: the debug log is
// written only while it exists. It lays out its controls and keeps the rules of its own fields
// (the name's typing rule, the folder's final "/", the count's up-down button); what the values
// mean to the program is wired up by SettingsController. The controls keep the names the rest of
// the program knows them by.
class TForm3 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    // Without the activity library nobody measures idleness: the idle-seconds field is off.
    void setIdleFieldAvailable(bool available);
    void showRestartPanel(bool visible);
    bool restartPanelVisible() const;
    // The contact table model (see ContactGridModel) with the grid's column widths.
    void setGridModel(QAbstractItemModel *model);
    // The grid's current contact row (1-100), or 0 when no cell is current.
    int currentRow() const;

    QTabWidget *PageControl1 = nullptr;

    // Page "Пользователи".
    QPushButton *Button4 = nullptr; // "вставить строчку"
    QPushButton *Button5 = nullptr; // "вставить разделитель"
    QPushButton *Button3 = nullptr; // "удалить строку"
    QPushButton *Button7 = nullptr; // "переслать список"
    QTableView *StringGrid1 = nullptr;

    // Page "Настройки-1".
    QCheckBox *RxSwitch1 = nullptr;
    QCheckBox *RxSwitch2 = nullptr;
    QCheckBox *RxSwitch3 = nullptr;
    QCheckBox *RxSwitch4 = nullptr;
    QComboBox *ColorComboBox1 = nullptr;
    QComboBox *ColorComboBox2 = nullptr;
    QComboBox *ColorComboBox3 = nullptr;
    QLineEdit *Edit3 = nullptr;
    QToolButton *RxSpinButton1Top = nullptr;
    QToolButton *RxSpinButton1Bottom = nullptr;
    QLineEdit *Edit4 = nullptr;
    QCheckBox *CheckBox4 = nullptr;
    QCheckBox *CheckBox7 = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QCheckBox *CheckBox3 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QRadioButton *RadioButton3 = nullptr;
    QRadioButton *RadioButton4 = nullptr;
    QRadioButton *RadioButton5 = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QPushButton *Button6 = nullptr; // "выбрать"
    QLineEdit *Edit_savedir = nullptr;

    // Page "Настройки-2".
    QLineEdit *user_active_str = nullptr;
    QCheckBox *autorun = nullptr;
    QCheckBox *CheckBoxSaveSt = nullptr;
    QCheckBox *CheckBox6 = nullptr;
    QCheckBox *CheckBoxBt = nullptr;
    QCheckBox *CheckBox8 = nullptr;
    QCheckBox *CheckBox_log = nullptr;
    QCheckBox *CheckBox_msg = nullptr;
    QCheckBox *CheckBox_let = nullptr;
    QCheckBox *CheckBox_iponly = nullptr;
    QCheckBox *CheckBox_usedns = nullptr;

    // Bottom panel.
    QLineEdit *Edit1 = nullptr;           // own name
    QToolButton *RxSpeedButton1 = nullptr; // "OK": the name notice
    QLabel *label_ip = nullptr;
    QLineEdit *Edit_ip = nullptr;
    QLineEdit *add_inf = nullptr;
    QWidget *Panel_restart = nullptr;
    QPushButton *Button2 = nullptr;       // "нужен перезапуск!"

    // The colours a picker offers, as 0x00BBGGRR numbers; a picker shows other values too.
    static QComboBox *makeColourPicker(QWidget *parent);
    static void setPickerColour(QComboBox *picker, int bbggrr);
    static int pickerColour(const QComboBox *picker);
    // The debug log check box names the real file.
    void setLogPath(const QString &path);

signals:
    void shown();                 // FormShow
    void rowMoved(int from, int to); // a row dragged by its fixed cell, in table rows
    void usednsTouched();         // CheckBox_usedns clicked or a key pressed on it

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildUsersPage();
    QWidget *buildSettings1Page();
    QWidget *buildSettings2Page();
    QWidget *buildBottomPanel();
    void Edit1Change();
    void Edit1Edited(const QString &text);
    bool Edit1KeyPress(const QString &keyText);
    void StringGrid1RowMoved(int logicalIndex, int oldVisualIndex, int newVisualIndex);
};
