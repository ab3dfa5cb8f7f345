#pragma once

#include <QString>
#include <QStringList>

// Test functions that need a real display (modal windows, the activity library): the test run
// on the offscreen platform starts an Xvfb of its own and runs such a function again in a copy of
// its executable on that server, on the xcb platform.
class OnXServer
{
public:
    // True inside the copy on the X server.
    static bool isCopy();
    // Runs the test functions in the copy and waits for it. Empty when they passed, else why not;
    // nothing is run (and `skip` says why) when Xvfb or xdotool is missing.
    static QString run(const QStringList &functions, QString *skip);
};
