#pragma once

#include <QString>

// How the state classes show a message box or ask a question without knowing about windows.
// The windows implement it; tests implement it to answer for the user.
class UserPrompt
{
public:
    virtual ~UserPrompt() = default;
    virtual void message(const QString &text) = 0;
    // Default answer No.
    virtual bool question(const QString &text) = 0;
};
