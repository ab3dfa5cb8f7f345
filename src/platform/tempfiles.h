#pragma once

#include <QString>

class QFile;

// Temporary message, letter and list files: eight random decimal digits in the TEMP folder,
// drawn again while the name exists. TEMP is shared with every other user of the machine, so a
// file is only ever created exclusively (never through an existing file or link).
class TempFiles
{
public:
    // TEMP, else TMPDIR, else /tmp.
    static QString folder();
    // Creates a new empty file with a fresh random name in `dir` (default: folder()) and opens it
    // for writing. Returns the path, or an empty string when no file could be created.
    static QString create(QFile &file, const QString &dir = QString());
};
