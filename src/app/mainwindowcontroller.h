#pragma once

#include <QObject>
#include <QString>

class Dialogs;
class ParlixApp;
class SettingsFile;
class TForm2;
struct OptionValues;

// Wires the main window to the running copy: the status, sending, the conversation's menu, the
// fonts, the remembered layout, the help file and the roster.
class MainWindowController : public QObject
{
    Q_OBJECT
public:
    MainWindowController(ParlixApp &app, SettingsFile &settings, Dialogs &dialogs, QString programFolder);

    // The layout read at start: placement, bottom bar, input height and input font.
    void placeWindow(const OptionValues &values);
    // What the window keeps that the settings file stores: placement and the bottom bar.
    void storeWindow(OptionValues &values) const;
    void showRoster();
    void sendFile();
    // "parlix.htm" beside the program, or where an installed copy keeps it.
    static QString helpFile(const QString &programFolder);

private:
    void connectConversation();
    void connectComposing();
    void connectWindow();
    void chooseConversationFont();
    void chooseInputFont();
    void openSettings();

    ParlixApp &m_app;
    SettingsFile &m_settings;
    Dialogs &m_dialogs;
    TForm2 &m_form2;
    QString m_programFolder;
};
