#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

// Where a received file goes in the folder chosen for received files. Whatever name a peer sends,
// the file lands inside that folder, and a file already there is renamed, never overwritten.
class ReceivedFile
{
public:
    // The last path component of the name the peer sent ("/" and "\" both separate); names that
    // are empty, "." or "..", or hold control characters become "received-file".
    static QString safeName(const QString &sent);
    // base + "." + yyyy-mm-dd + "--" + hh-nn-ss + extension, with "(n)" before the extension
    // for n > 0: report.doc -> report.2004-04-27--15-21-51.doc.
    static QString datedName(const QString &name, const QDateTime &now, int counter = 0);
    // name(n).ext, the name for a new file when the old one cannot be moved aside.
    static QString numberedName(const QString &name, int counter);

    // Moves an existing file of that name aside under its dated name (adding a counter when that
    // is taken) and creates the new file exclusively, open for writing. Returns its path, or an
    // empty string when no file could be created.
    static QString create(const QString &folder, const QString &name, const QDateTime &now, QFile &file);

private:
    static bool createExclusive(const QString &path, QFile &file);
};
