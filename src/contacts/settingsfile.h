#pragma once

#include "inifile.h"
#include "listfile.h"
#include "optionvalues.h"

#include <functional>

class ContactTable;
class DebugLog;
class UserPrompt;

// "parlix7.ini" (section "options") and the contact list that goes with it: `loadsettings`,
// `savesettings`, `loadlist`, `savelist`, and the few keys written at the moment of use.
class SettingsFile
{
public:
    static constexpr const char *kSection = "options";

    SettingsFile(QString settingsPath, QString listPath, UserPrompt *prompt, const DebugLog *log);

    // Pure mappings between the file and the values, in the order the keys are read and written.
    static OptionValues readValues(const IniFile &ini);
    static void writeValues(const OptionValues &values, IniFile &ini);
    static ListFile::Table readLegacyList(const IniFile &ini);
    static void removeLegacyList(IniFile &ini);
    static QString legacyKey(const char *prefix, int row);

    OptionValues loadsettings(ContactTable &table) const;
    void savesettings(const OptionValues &values, const ContactTable &table) const;
    void loadlist(const IniFile &ini, ContactTable &table) const;

    // "sliderpos", "soundfile", "soundfiledir", "readfiledir": read and written on their own.
    QString readKey(const QString &key, const QString &fallback) const;
    void writeKey(const QString &key, const QString &value) const;

private:
    static void removeStaleSaves(const QString &path);
    QString m_settingsPath;
    QString m_listPath;
    UserPrompt *m_prompt;
    const DebugLog *m_log;
};
