#pragma once

#include <QString>
#include <QStringList>

// The program's arguments: our own options (beginning with "--") are taken out first, then the
// send mode "/SEND address sender words..." is recognised in what is left.
struct CommandLine
{
    QString home;        // --home DIR
    QString listen;      // --listen ADDRESS
    QStringList rest;    // the arguments that are not our own options
    QStringList ownOptions; // our options as given, for the autostart entry
    QString error;       // an option without its value, or an unknown "--" option

    bool sendMode() const;
    QString sendAddress() const;
    QString sendSender() const;
    // One blank before every word from the fourth argument on; empty with exactly three.
    QString sendText() const;

    static CommandLine parse(const QStringList &arguments); // without the program name
};
