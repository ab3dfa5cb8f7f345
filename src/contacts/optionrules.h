#pragma once

#include <QString>

// The small rules by which the settings window's fields keep their values well-formed. Pure
// functions, so that they are tested without a window.
class OptionRules
{
public:
    static constexpr int kNameLength = 15; // what the name field of the system messages holds

    // "savedir" as the field shows it after being entered or left: an empty field is the default
    // folder, and a folder always ends with "/".
    static QString savedir(const QString &field);

    // The beep count's up-down button. A field that is no number counts as 1; down stops at 0.
    static QString countUp(const QString &field);
    static QString countDown(const QString &field);

    // A name that arrived other than by typing (pasted, dropped): without "[" and "]", which
    // would end the name field early, and cut to its first 15 characters.
    static QString pastedName(const QString &name);
    // A key that may not be typed into the name.
    static bool isNameBracket(const QString &keyText);
};
