#pragma once

#include <QString>
#include <QStringList>

// The entry that starts the program at login: $XDG_CONFIG_HOME/autostart/parlix.desktop
// (default ~/.config/autostart). Its Exec line repeats the running copy's own options, so that
// the copy that starts at login uses the same data folder and address.
class Autostart
{
public:
    static QString entryPath();
    // The command the entry starts for this program file: the name it is found under on PATH
    // (an installed copy's <prefix>/bin/parlix, a link to it) when that is this very program,
    // else the file itself (a build folder, a portable copy, a second installation).
    static QString launcher(const QString &program);
    // Pure: the whole entry for a program path and its own options.
    static QByteArray entryText(const QString &program, const QStringList &arguments);
    // Writes or removes the entry. Failures are silent: they change nothing else.
    static void apply(bool on, const QString &program, const QStringList &arguments);
};
