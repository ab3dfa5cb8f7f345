#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A profile file as Windows writes it: "[section]" header lines and "key=value" lines in
// Windows-1251 with CR LF. Every line we do not change (other sections, unknown keys, comments)
// is kept as it stands. Keys and sections match without regard to letter case, and blanks
// around keys and values are ignored, as the profile functions do.
class IniFile
{
public:
    static IniFile parse(const QByteArray &bytes);
    QByteArray serialize() const;

    // Reads the whole file; a missing or unreadable file gives an empty one.
    static IniFile load(const QString &path);
    // Writes a new file and renames it over the old one: a failure keeps the previous file.
    bool save(const QString &path) const;

    std::optional<QString> value(const QString &section, const QString &key) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    void remove(const QString &section, const QString &key);
    QStringList keys(const QString &section) const;

private:
    struct Line
    {
        QString text;      // the line as read, for lines we keep verbatim
        QString section;   // the section this line belongs to (for a header: its own name)
        QString key;       // empty for headers, comments and blank lines
        QString value;
        bool header = false;
    };
    int find(const QString &section, const QString &key) const;

    std::vector<Line> m_lines;
};
