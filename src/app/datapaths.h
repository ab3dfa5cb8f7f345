#pragma once

#include <QString>

// Where a running copy keeps its data: "parlix7.ini", "pxusers.ini", "INCOME/" and the debug log.
class DataPaths
{
public:
    // --home, else PARLIX_HOME, else the program's folder when it already holds "parlix7.ini"
    // (a portable copy), else $XDG_CONFIG_HOME/parlix (~/.config/parlix).
    static QString chooseFolder(const QString &homeOption, const QString &programFolder);

    explicit DataPaths(QString folder);
    QString folder() const { return m_folder; }
    QString settingsFile() const;
    QString listFile() const;
    QString incomeFolder() const;
    QString logFile() const;
    // Creates the folder when missing; false when it cannot be made.
    bool ensureFolder() const;

private:
    QString m_folder;
};
