#pragma once

#include <QString>

// Every option of the program with its default, named after its key in "parlix7.ini". The
// settings window shows and edits these values; the other parts read them from Options.
struct OptionValues
{
    bool menu_on = true;
    QString bt_opt = QStringLiteral("1");  // kept by hand: "0" hides a button
    QString bt_stt = QStringLiteral("1");
    QString bt_pct = QStringLiteral("1");
    QString bt_fls = QStringLiteral("1");
    QString usernam = QStringLiteral("User");
    QString add_inf;
    QString savedir = defaultSavedir();
    bool allaccs = true;
    QString countsn = QStringLiteral("1");
    bool hidden0 = true;
    bool autorun = true;
    QString prefiks = QStringLiteral("Вы");
    int u_free = 65280;      // colours as 0x00BBGGRR
    int u_busy = 16776960;
    int u_offl = 128;
    QString e_fontname = QStringLiteral("Arial");
    int e_fontsiz = 11;
    int e_color = 0;
    bool e_fontbld = true;
    bool e_fnt_itl = false;
    QString fontname = QStringLiteral("Arial");
    int fontsiz = 11;
    bool fontbld = false;
    bool fnt_itl = false;
    bool rb3 = true;
    bool rb4 = false;
    bool rb5 = false;
    bool rb1 = false;
    bool cb4 = true;
    bool cb2 = true;
    bool cb3 = true;
    bool showcon = true;
    bool myfonts = false;
    bool snd_awi = true;
    bool std_col = false;
    int wnd_max = 0;
    int c__left = 1;
    int c___top = 1;
    int c_width = 630;
    int c_heigh = 460;
    QString user_active_str = QStringLiteral("300");
    QString sliderpos;       // written only when the splitter moves
    bool CheckBoxBt = false;
    bool CheckBoxSaveSt = false;
    int oldstatus = 1;
    bool CheckBox6 = false;
    bool CheckBox8 = false;
    bool CheckBox_log = false;
    bool CheckBox_msg = false;
    bool CheckBox_let = false;
    bool CheckBox_usedns = false;
    bool CheckBox_iponly = false;
    QString soundfile;       // written only when a sound is chosen

    // "sliderpos" as the input area's height: 80 when empty or not a number.
    int sliderHeight() const;
    // The received-files folder for a new installation: COMMON in the user's home, with its "/".
    static QString defaultSavedir();
};
